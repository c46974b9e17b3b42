// "wox scenario check" and "wox scenario diff" on the demo project with the host's own species
// map and treatment components: exit statuses, the outputs tools read, and files left as they were.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "DemoProjectCommand.h"
#include "HostContext.h"
#include "ScenarioCheckCommand.h"
#include "ScenarioCommand.h"
#include "TestHost.h"

namespace
{
class CScenarioCheckCommandTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_host.Load(WOX_BIN_REGISTRY, &error)) << error;
        m_host.ErrorReporter()->SetQuiet(true);
        m_project = m_folder.File("demo");
        ASSERT_EQ(Run(RunDemoProjectCommand, {"demo-project", m_project}), 0);
    }

    typedef int (*FnCommand)(CHostContext&, int, char**);
    int Run(FnCommand fnCommand, std::vector<std::string> args) { return Call([&](int argc, char** argv) { return fnCommand(m_host, argc, argv); }, args); }
    // check and diff with their streams caught in m_out and m_err.
    int Run(bool bCheck, std::vector<std::string> args)
    {
        std::FILE* pOut = std::tmpfile();
        std::FILE* pErr = std::tmpfile();
        args.insert(args.begin(), bCheck ? "check" : "diff");
        int nStatus = Call([&](int argc, char** argv) { return (bCheck ? RunScenarioCheck : RunScenarioDiff)(m_host, argc, argv, pOut, pErr); }, args);
        m_out = Slurp(pOut);
        m_err = Slurp(pErr);
        return nStatus;
    }
    template <typename F>
    static int Call(F fn, std::vector<std::string>& args)
    {
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        return fn(static_cast<int>(args.size()), argv.data());
    }
    static std::string Slurp(std::FILE* pFile)
    {
        std::string text;
        std::rewind(pFile);
        for (int c; (c = std::fgetc(pFile)) != EOF;)
            text += static_cast<char>(c);
        std::fclose(pFile);
        return text;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string Scenario(const char* pszFile) const { return m_project + "/scenarios/" + pszFile; }

    CHostContext m_host;
    CTempFolder m_folder;
    std::string m_project, m_out, m_err;
};

TEST_F(CScenarioCheckCommandTest, DemoScenariosAreCleanAndAFaultyOneIsNamed)
{
    EXPECT_EQ(Run(true, {m_project}), 0) << m_out << m_err;
    EXPECT_EQ(m_out, "3 scenario(s) checked: 0 error(s), 0 warning(s)\n");
    EXPECT_EQ(Run(true, {m_project, "Triggered Thinning"}), 0) << m_out << m_err;

    // A stand the project lacks and a component the host lacks, through the real host.
    const std::string json = m_folder.File("faulty.json"), faulty = m_folder.File("faulty.scenario");
    std::ofstream(json) << R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": "Faulty", "description": "", "endYear": 2050},
      "records": [{"year": 2030, "stand": "NOPE", "triggered": 0, "endYear": -1, "flags": 0, "triggerPartDefaults": true,
        "triggerCount": 0, "triggers": [], "treatment": {"component": "{00000000-0000-0000-0000-00000000000F}", "name": "Thin",
        "description": "", "data": ""}}]})";
    ASSERT_EQ(Run(RunScenarioCommand, {"scenario", "import", json, faulty}), 0);
    EXPECT_EQ(Run(true, {m_project, faulty, "--json"}), 1) << m_err;
    EXPECT_NE(m_out.find(R"("kind": "unknown-stand")"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find(R"("kind": "unknown-component")"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find(R"("errors": 2)"), std::string::npos) << m_out;
}

TEST_F(CScenarioCheckCommandTest, DiffOfDemoScenarios)
{
    EXPECT_EQ(Run(false, {Scenario("fixed-thinning.scenario"), Scenario("fixed-thinning.scenario")}), 0) << m_err;
    EXPECT_NE(m_out.find("the scenarios are equal"), std::string::npos) << m_out;
    EXPECT_EQ(Run(false, {Scenario("fixed-thinning.scenario"), Scenario("triggered-thinning.scenario"), "--json"}), 1) << m_err;
    EXPECT_NE(m_out.find(R"("equal": false)"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find(R"("added": 50)"), std::string::npos) << m_out;
}

// A file that cannot be read: exit 2, one line naming it, the file as it was.
TEST_F(CScenarioCheckCommandTest, UnreadableFilesEndWithStatusTwo)
{
    const std::string damaged = Scenario("damaged.scenario");
    std::ofstream(damaged, std::ios::binary) << std::string(100, '\x01');
    EXPECT_EQ(Run(true, {m_project}), 2);
    EXPECT_EQ(std::count(m_err.begin(), m_err.end(), '\n'), 1) << m_err;
    EXPECT_NE(m_err.find(damaged), std::string::npos) << m_err;
    EXPECT_EQ(Run(false, {Scenario("fixed-thinning.scenario"), damaged}), 2);
    EXPECT_NE(m_err.find(damaged), std::string::npos) << m_err;
    EXPECT_EQ(Run(false, {Scenario("fixed-thinning.scenario"), m_folder.File("missing.scenario")}), 2);
    EXPECT_EQ(Run(true, {m_folder.File("no-project")}), 2);
    EXPECT_EQ(Read(damaged), std::string(100, '\x01'));
}
}
