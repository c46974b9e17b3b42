#include "CommandLine.h"

#include <cstdio>

#include "CompareCommand.h"
#include "DemoProjectCommand.h"
#include "EditCommand.h"
#include "ExplainCommand.h"
#include "HostContext.h"
#include "InfoCommand.h"
#include "ProjectCommand.h"
#include "RunCommand.h"
#include "ScenarioCheckCommand.h"
#include "ScenarioCommand.h"

namespace
{
// Appends the option with its value when the line gave it.
void AddGiven(std::vector<std::string>& args, const CLI::Option* pOption, const std::string& value)
{
    if (pOption->count() > 0)
    {
        args.push_back(pOption->get_name());
        args.push_back(value);
    }
}
}

CWoxCommandLine::CWoxCommandLine() : m_app("The stand-in host program of the Wox Suite scenario component.", "wox")
{
    // At most one command; a missing one is reported after parsing, so that an unknown word is
    // named as such rather than taken for a missing command.
    m_app.require_subcommand(0, 1);
    m_app.footer("A command's own arguments: wox COMMAND --help.");
    m_app.add_option("--registry", m_registry, "host registry (default: $WOX_REGISTRY, else wox.ini beside the program)");

    m_app.add_subcommand("info", "load the scenario component through the host and print its identity")->callback([this] {
        Choose([](CHostContext& host, int, char**) { return RunInfoCommand(host); }, {"info"});
    });
    DefineScenario();
    DefineProject();

    CLI::App* pDemo = m_app.add_subcommand("demo-project", "write the demo forest and its three scenarios");
    pDemo->add_option("DIR", m_folder, "folder of the new project")->required();
    pDemo->callback([this] { Choose(RunDemoProjectCommand, {"demo-project", m_folder}); });

    DefineRun();
    DefineCompare();
    DefineExplain();
    DefineEdit();
}

void CWoxCommandLine::DefineExplain()
{
    CLI::App* pExplain = m_app.add_subcommand("explain", "why triggered treatments fired or not: the trigger checks of a run with --explain");
    pExplain->add_option("RESULTS", m_folder, "results folder of the run (or its results.db)")->required();
    pExplain->add_option("--stand", m_stand, "stand")->required();
    CLI::Option* pYear = pExplain->add_option("--year", m_nYear, "only this period's year")->check(CLI::Range(1, 9999));
    pExplain->callback([this, pYear] {
        std::vector<std::string> args{"explain", m_folder, "--stand", m_stand};
        AddGiven(args, pYear, std::to_string(m_nYear));
        Choose(RunExplainCommand, std::move(args));
    });
}

void CWoxCommandLine::DefineEdit()
{
    CLI::App* pEdit = m_app.add_subcommand("edit", "open the Scenario Editor on a project's scenarios (needs a display)");
    pEdit->add_option("PROJECT", m_project, "project folder")->required();
    pEdit->add_option("--replay", m_replay, "carry out the steps of an editor session file (offscreen without a display)");
    pEdit->add_option("--screens", m_screens, "with --replay: write a PNG of the windows after each step into DIR");
    pEdit->callback([this] {
        std::vector<std::string> args{"edit", m_project};
        if (!m_replay.empty())
            args.insert(args.end(), {"--replay", m_replay});
        if (!m_screens.empty())
            args.insert(args.end(), {"--screens", m_screens});
        Choose(RunEditCommand, std::move(args));
    });
}

void CWoxCommandLine::DefineScenario()
{
    auto fnScenario = [](CHostContext& host, int argc, char** argv) { return RunScenarioCommand(host, argc, argv); };
    CLI::App* pScenario = m_app.add_subcommand("scenario", "scenario files: show, export and import as text or JSON, check, diff");
    pScenario->require_subcommand(0, 1);

    CLI::App* pShow = pScenario->add_subcommand("show", "print a scenario file as text (never modifies it)");
    pShow->add_option("FILE", m_file, "scenario file")->required();
    pShow->callback([this, fnScenario] { Choose(fnScenario, {"scenario", "show", m_file}); });

    CLI::App* pExport = pScenario->add_subcommand("export", "write a scenario file as JSON, data blocks in hex");
    pExport->add_option("FILE", m_file, "scenario file")->required();
    CLI::Option* pOut = pExport->add_option("OUT", m_out, "JSON file to write (default: standard output)");
    pExport->callback([this, fnScenario, pOut] {
        std::vector<std::string> args{"scenario", "export", m_file};
        if (pOut->count() > 0)
            args.push_back(m_out);
        Choose(fnScenario, std::move(args));
    });

    CLI::App* pImport = pScenario->add_subcommand("import", "write a scenario file from JSON");
    pImport->add_option("JSON", m_json, "JSON file")->required();
    pImport->add_option("OUT", m_out, "scenario file to write")->required();
    pImport->callback([this, fnScenario] { Choose(fnScenario, {"scenario", "import", m_json, m_out}); });
    DefineScenarioCheck(pScenario);
}

void CWoxCommandLine::DefineScenarioCheck(CLI::App* pScenario)
{
    CLI::App* pCheck = pScenario->add_subcommand("check", "list what is wrong with a project's scenarios, one line each (never modifies them)");
    pCheck->add_option("PROJECT", m_project, "project folder")->required();
    CLI::Option* pWhich = pCheck->add_option("SCENARIO", m_scenario, "scenario name or file (default: every scenario of the project)");
    CLI::Option* pCheckJson = pCheck->add_flag("--json")->description("findings as JSON");
    pCheck->callback([this, pWhich, pCheckJson] {
        std::vector<std::string> args{"scenario", "check", m_project};
        if (pWhich->count() > 0)
            args.push_back(m_scenario);
        if (pCheckJson->count() > 0)
            args.push_back("--json");
        Choose([](CHostContext& host, int argc, char** argv) { return RunScenarioCheck(host, argc - 1, argv + 1, stdout, stderr); }, std::move(args));
    });

    CLI::App* pDiff = pScenario->add_subcommand("diff", "list the records added, removed and changed between two scenario files");
    pDiff->add_option("A", m_file, "scenario file")->required();
    pDiff->add_option("B", m_out, "scenario file")->required();
    CLI::Option* pDiffJson = pDiff->add_flag("--json")->description("differences as JSON");
    pDiff->callback([this, pDiffJson] {
        std::vector<std::string> args{"scenario", "diff", m_file, m_out};
        if (pDiffJson->count() > 0)
            args.push_back("--json");
        Choose([](CHostContext& host, int argc, char** argv) { return RunScenarioDiff(host, argc - 1, argv + 1, stdout, stderr); }, std::move(args));
    });
}

void CWoxCommandLine::DefineProject()
{
    CLI::App* pProject = m_app.add_subcommand("project", "project folders");
    pProject->require_subcommand(0, 1);
    CLI::App* pImport = pProject->add_subcommand("import", "create a project from a stand and a tree CSV file");
    pImport->add_option("STANDS", m_stands, "stand CSV file")->required();
    pImport->add_option("TREES", m_trees, "tree CSV file")->required();
    pImport->add_option("PROJECT", m_project, "folder of the new project")->required();
    CLI::Option* pName = pImport->add_option("--name", m_name, "project name (default: the folder's name)");
    CLI::Option* pFirstYear = pImport->add_option("--first-year", m_nFirstYear, "first year")->check(CLI::Range(1, 9999));
    CLI::Option* pPeriodLength =
        pImport->add_option("--period-length", m_nPeriodLength, "years per period")->check(CLI::Range(1, 100));
    CLI::Option* pSpeciesMap = pImport->add_option("--species-map", m_speciesMap, "CSV file of code,species: the catalogue species an unknown code grows as");
    CLI::Option* pSkip = pImport->add_flag("--skip-bad-rows")->description("import the good rows; write the refused ones to NAME.rejects.csv beside each input");
    pImport->callback([this, pName, pFirstYear, pPeriodLength, pSpeciesMap, pSkip] {
        std::vector<std::string> args{"project", "import", m_stands, m_trees, m_project};
        AddGiven(args, pName, m_name);
        AddGiven(args, pFirstYear, std::to_string(m_nFirstYear));
        AddGiven(args, pPeriodLength, std::to_string(m_nPeriodLength));
        AddGiven(args, pSpeciesMap, m_speciesMap);
        if (pSkip->count() > 0)
            args.push_back("--skip-bad-rows");
        Choose([](CHostContext& host, int argc, char** argv) { return RunProjectCommand(host, argc, argv); }, std::move(args));
    });
}

void CWoxCommandLine::DefineRun()
{
    CLI::App* pRun = m_app.add_subcommand("run", "simulate a project with a scenario; results in --out");
    pRun->add_option("PROJECT", m_project, "project folder")->required();
    CLI::Option* pScenario = pRun->add_option("--scenario", m_scenario, "scenario to pick in the Open Scenario dialog");
    CLI::Option* pPeriods = pRun->add_option("--periods", m_nPeriods, "periods to simulate (default 10)")->check(CLI::Range(1, 200));
    CLI::Option* pOut = pRun->add_option("--out", m_folder, "results folder (default: PROJECT/results)");
    CLI::Option* pTreeList = pRun->add_flag("--tree-list")->description("also write every stand's tree records per period to tree_list.csv");
    CLI::Option* pExplain = pRun->add_flag("--explain")->description("also record every trigger check with the values it compared (see wox explain)");
    pRun->callback([this, pScenario, pPeriods, pOut, pTreeList, pExplain] {
        std::vector<std::string> args{"run", m_project};
        AddGiven(args, pScenario, m_scenario);
        AddGiven(args, pPeriods, std::to_string(m_nPeriods));
        AddGiven(args, pOut, m_folder);
        if (pTreeList->count() > 0)
            args.push_back("--tree-list");
        if (pExplain->count() > 0)
            args.push_back("--explain");
        Choose(RunRunCommand, std::move(args));
    });
}

void CWoxCommandLine::DefineCompare()
{
    CLI::App* pCompare = m_app.add_subcommand("compare", "run several scenarios from the same starting forest and compare them");
    pCompare->add_option("PROJECT", m_project, "project folder")->required();
    pCompare->add_option("--scenario", m_scenarios, "a scenario to compare (give two or more)")->required()->take_all()->allow_extra_args(false);
    CLI::Option* pPeriods = pCompare->add_option("--periods", m_nPeriods, "periods to simulate (default 10)")->check(CLI::Range(1, 200));
    CLI::Option* pOut = pCompare->add_option("--out", m_folder, "folder of compare.db, compare.csv and compare.png (default: PROJECT/compare)");
    pCompare->callback([this, pPeriods, pOut] {
        std::vector<std::string> args{"compare", m_project};
        for (const std::string& scenario : m_scenarios)
            args.insert(args.end(), {"--scenario", scenario});
        AddGiven(args, pPeriods, std::to_string(m_nPeriods));
        AddGiven(args, pOut, m_folder);
        Choose(RunCompareCommand, std::move(args));
    });
}

void CWoxCommandLine::Choose(FnCommand fnRun, std::vector<std::string> args)
{
    m_fnRun = std::move(fnRun);
    m_args = std::move(args);
}

int CWoxCommandLine::Parse(int argc, char** argv)
{
    try
    {
        m_app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        std::fputs(m_app.help().c_str(), stdout);
        return 0;
    }
    catch (const CLI::ParseError& e)
    {
        std::fprintf(stderr, "wox: %s (see wox --help)\n", e.what());
        return 2;
    }
    if (m_fnRun)
        return -1;
    // The deepest command given still needs one of its own.
    const CLI::App* pParent = &m_app;
    while (!pParent->get_subcommands().empty())
        pParent = pParent->get_subcommands().front();
    std::string names, path = pParent == &m_app ? "wox" : "wox " + pParent->get_name();
    for (const CLI::App* pCommand : pParent->get_subcommands({}))
        names += (names.empty() ? "" : ", ") + pCommand->get_name();
    std::fprintf(stderr, "%s: a command is needed: %s (see %s --help)\n", path.c_str(), names.c_str(), path.c_str());
    return 2;
}

int CWoxCommandLine::Run(CHostContext& host)
{
    std::vector<char*> argv;
    for (std::string& arg : m_args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return m_fnRun(host, static_cast<int>(m_args.size()), argv.data());
}
