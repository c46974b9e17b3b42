// The wox command line: every spelling of a command reaches its function in the one spelling the
// function reads, and every wrong line ends in a usage status before the host is loaded.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLine.h"

namespace
{
struct SLineCase
{
    const char* pszName;
    std::vector<std::string> line;       // after the program name
    int nStatus;                         // -1: a command runs
    std::vector<std::string> arguments;  // what the command receives
};

class CCommandLineTest : public ::testing::TestWithParam<SLineCase>
{
};

TEST_P(CCommandLineTest, ParsesToStatusAndArguments)
{
    const SLineCase& c = GetParam();
    std::vector<std::string> words{"wox"};
    words.insert(words.end(), c.line.begin(), c.line.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    CWoxCommandLine commandLine;
    EXPECT_EQ(commandLine.Parse(static_cast<int>(argv.size()), argv.data()), c.nStatus);
    if (c.nStatus < 0)
    {
        EXPECT_EQ(commandLine.Arguments(), c.arguments);
    }
}

const SLineCase kLines[] = {
    {"RunOptionsInAnyOrderAndSpelling", {"run", "--periods=5", "P", "--tree-list", "--out", "O", "--scenario", "Thin"}, -1,
     {"run", "P", "--scenario", "Thin", "--periods", "5", "--out", "O", "--tree-list"}},
    {"RunExplaining", {"run", "P", "--explain"}, -1, {"run", "P", "--explain"}},
    {"ExplainOneYear", {"explain", "R", "--year=2035", "--stand", "B"}, -1, {"explain", "R", "--stand", "B", "--year", "2035"}},
    {"ExplainWithoutStand", {"explain", "R"}, 2, {}},
    {"RegistryBeforeCommand", {"--registry", "r.ini", "scenario", "export", "F"}, -1, {"scenario", "export", "F"}},
    {"ExportToFile", {"scenario", "export", "F", "O.json"}, -1, {"scenario", "export", "F", "O.json"}},
    {"ProjectImportOptions", {"project", "import", "s.csv", "t.csv", "P", "--period-length", "10"}, -1,
     {"project", "import", "s.csv", "t.csv", "P", "--period-length", "10"}},
    {"CompareScenariosAroundTheProject", {"compare", "--scenario", "A", "P", "--scenario=B C", "--periods", "3"}, -1,
     {"compare", "P", "--scenario", "A", "--scenario", "B C", "--periods", "3"}},
    {"ScenarioCheckJsonFirst", {"scenario", "check", "--json", "P", "Thin"}, -1, {"scenario", "check", "P", "Thin", "--json"}},
    {"ScenarioDiff", {"scenario", "diff", "A", "B"}, -1, {"scenario", "diff", "A", "B"}},
    {"ScenarioDiffOneFile", {"scenario", "diff", "A"}, 2, {}},
    {"Info", {"info"}, -1, {"info"}},
    {"Edit", {"edit", "P"}, -1, {"edit", "P"}},
    {"EditWithoutProject", {"edit"}, 2, {}},
    {"Help", {"--help"}, 0, {}},
    {"CommandHelp", {"run", "--help"}, 0, {}},
    {"Nothing", {}, 2, {}},
    {"UnknownCommand", {"bogus"}, 2, {}},
    {"UnknownOption", {"--bogus", "info"}, 2, {}},
    {"MissingSubcommand", {"scenario"}, 2, {}},
    {"MissingPositional", {"scenario", "import", "J"}, 2, {}},
    {"ExtraPositional", {"demo-project", "D", "E"}, 2, {}},
    {"PeriodsOutOfRange", {"run", "P", "--periods", "0"}, 2, {}},
    {"FirstYearNotANumber", {"project", "import", "s", "t", "P", "--first-year", "x"}, 2, {}},
};
INSTANTIATE_TEST_SUITE_P(Lines, CCommandLineTest, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<SLineCase>& info) { return std::string(info.param.pszName); });
}
