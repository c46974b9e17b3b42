#pragma once
// The wox program's command line, defined once: the help text, the check of commands and options
// and the dispatch all come from this one definition. A command function receives its arguments
// in the one spelling it reads (argv[0] is the command's name), whichever spelling the user chose
// ("--periods=5" or "--periods 5", options before or after the positionals).

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

class CHostContext;

class CWoxCommandLine
{
public:
    CWoxCommandLine();
    CWoxCommandLine(const CWoxCommandLine&) = delete;
    CWoxCommandLine& operator=(const CWoxCommandLine&) = delete;

    // Parses the line. Answers -1 when a command is to run; otherwise the exit status: 0 after
    // --help (printed to standard output), 2 after one line on standard error.
    int Parse(int argc, char** argv);

    // The registry given with --registry; empty when none was.
    const std::string& Registry() const { return m_registry; }
    // The chosen command's arguments as its function will receive them.
    const std::vector<std::string>& Arguments() const { return m_args; }
    // Runs the chosen command and answers the process exit status.
    int Run(CHostContext& host);

private:
    typedef std::function<int(CHostContext&, int, char**)> FnCommand;

    void DefineScenario();
    void DefineScenarioCheck(CLI::App* pScenario);
    void DefineProject();
    void DefineRun();
    void DefineCompare();
    void DefineEdit();
    void DefineExplain();
    // Called by the parser when it has read a whole command.
    void Choose(FnCommand fnRun, std::vector<std::string> args);

    CLI::App m_app;
    std::string m_registry;
    FnCommand m_fnRun;
    std::vector<std::string> m_args;

    // What the parser read, for the callbacks that choose a command.
    std::string m_file, m_out, m_json, m_stands, m_trees, m_project, m_name, m_scenario, m_folder, m_speciesMap, m_replay, m_screens;
    std::vector<std::string> m_scenarios;
    int m_nFirstYear = 0, m_nPeriodLength = 0, m_nPeriods = 0, m_nYear = 0;
    std::string m_stand;
};
