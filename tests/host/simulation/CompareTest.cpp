// Forest-level figures weighted by stand area, and "wox compare" on scenarios of known outcome.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "ChildProcess.h"
#include "CompareCommand.h"
#include "CompareResults.h"
#include "ForestFigures.h"
#include "HostContext.h"
#include "RunCommand.h"
#include "ScenarioCommand.h"
#include "TestHost.h"

namespace
{
// Two stands of 1 and 3 ha: the larger one weighs three times the smaller in every figure.
TEST(ForestFiguresTest, StandsCountWithTheirArea)
{
    SRunResults results;
    results.standYears = {{2025, "small", 10.0, 10.0, 0, 0, 0, 100.0, 0, 0, 0, 100.0, 1.0},
                          {2025, "large", 30.0, 20.0, 0, 0, 0, 300.0, 0, 40.0, 0, 340.0, 3.0}};
    results.treatments = {{2025, "large", "Thin", "Thinning from below", 50.0, 40.0}};
    const std::vector<SForestYear> years = ForestFigures(results);
    ASSERT_EQ(1u, years.size());
    EXPECT_DOUBLE_EQ(25.0, years[0].basalAreaBefore.dMean);
    EXPECT_DOUBLE_EQ(17.5, years[0].basalArea.dMean);
    EXPECT_DOUBLE_EQ(10.0, years[0].basalAreaBefore.dP10);
    EXPECT_DOUBLE_EQ(30.0, years[0].basalAreaBefore.dMedian);   // three quarters of the area stand at 30
    EXPECT_DOUBLE_EQ(250.0, years[0].dVolume);
    EXPECT_DOUBLE_EQ(30.0, years[0].dRemovedVolume);
    EXPECT_EQ(1, years[0].nTreatments);
    // Volumes over the forest are per-hectare figures times the area: 4 ha.
    const SScenarioSummary summary = SummariseScenario(results);
    EXPECT_DOUBLE_EQ(120.0, summary.dRemovedVolume);
    EXPECT_DOUBLE_EQ(1000.0, summary.dFinalVolume);
}

SProject TwoStands()
{
    SProject project{"Two", 2025, 5, {}};
    for (auto [pszStand, dArea] : {std::pair{"small", 1.0}, std::pair{"large", 3.0}})
    {
        SProjectStand stand{pszStand, dArea, 32.0, {}};
        for (int i = 0; i < 12; ++i)
            stand.trees.push_back(MakeTree(pszStand, std::to_string(i + 1), "PSME", 14.0 + 2.0 * i, 13.0 + 1.2 * i, 50.0));
        project.stands.push_back(stand);
    }
    return project;
}

// A scenario without records, and one that clears both stands in the first year.
std::string ScenarioJson(const std::string& name, bool bClearcut)
{
    std::string records;
    for (const char* pszStand : {"small", "large"})
        if (bClearcut)
            records += std::string(records.empty() ? "" : ",") + R"({"year": 2025, "stand": ")" + pszStand +
                       R"(", "triggered": 0, "endYear": -1, "flags": 0, "triggerPartDefaults": true, "triggerCount": 0, "triggers": [],
                  "treatment": {"component": "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000003}", "name": "Cut", "description": "",
                  "data": "0000000000000000"}})";
    return R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": ")" + name +
           R"(", "description": "", "endYear": 2060}, "records": [)" + records + "]}";
}

class CCompareTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_host.Load(WOX_BIN_REGISTRY, &error)) << error;
        m_host.ErrorReporter()->SetQuiet(true);
        m_project = m_folder.File("two");
        ASSERT_TRUE(WriteProject(m_project, TwoStands(), &error)) << error;
        for (auto [pszName, bClearcut] : {std::pair{"Let grow", false}, std::pair{"Clear all", true}})
        {
            const std::string json = m_folder.File(std::string(pszName) + ".json"), out = m_project + "/scenarios/" + pszName + ".scenario";
            std::ofstream(json) << ScenarioJson(pszName, bClearcut);
            std::vector<std::string> args{"scenario", "import", json, out};
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            ASSERT_EQ(0, RunScenarioCommand(m_host, 4, argv.data()));
        }
    }

    CHostContext m_host;
    CTempFolder m_folder;
    std::string m_project;
};

// Both scenarios start from the same forest: the clearcut removes exactly what stands unmanaged
// in the first year, and no management removes nothing.
TEST_F(CCompareTest, ClearcutRemovesWhatStandsUnmanaged)
{
    SRunOptions options;
    options.project = m_project;
    options.nPeriods = 3;
    std::vector<SRunResults> runs;
    std::string error;
    ASSERT_TRUE(RunScenarios(m_host, options, {"Let grow", "Clear all"}, runs, &error)) << error;
    ASSERT_EQ(2u, runs.size());
    const SScenarioSummary grow = SummariseScenario(runs[0]), cut = SummariseScenario(runs[1]);
    EXPECT_EQ("Let grow", grow.scenario);
    EXPECT_EQ(0, grow.nTreatments);
    EXPECT_EQ(0.0, grow.dRemovedVolume);
    EXPECT_EQ(2, cut.nTreatments);
    const SForestYear first = ForestFigures(runs[0]).front();
    ASSERT_GT(first.dVolume, 0.0);
    EXPECT_NEAR(first.dVolume * 4.0, cut.dRemovedVolume, 1e-6 * cut.dRemovedVolume);
    EXPECT_GT(grow.dFinalVolume, first.dVolume * 4.0);
}

// The command as a user runs it: the three files and the summary; a lone scenario is refused.
TEST_F(CCompareTest, CommandWritesTheComparison)
{
    const std::string out = m_folder.File("cmp");
    SChildResult run = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "compare", m_project, "--scenario", "Let grow", "--scenario",
                                 "Clear all", "--periods", "2", "--out", out});
    ASSERT_TRUE(ExitedWith(run, 0));
    EXPECT_NE(std::string::npos, run.out.find("Clear all")) << run.out;
    EXPECT_EQ(std::string::npos, run.err.find("XDG_RUNTIME_DIR")) << run.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(out + "/compare.png"));
    std::ifstream csv(out + "/compare.csv");
    int nLines = 0;
    for (std::string line; std::getline(csv, line);)
        ++nLines;
    EXPECT_EQ(1 + 2 * 3, nLines);   // header, two scenarios of three years
    sqlite3* pDb = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2((out + "/compare.db").c_str(), &pDb, SQLITE_OPEN_READONLY, nullptr));
    int nScenarios = 0;
    sqlite3_exec(pDb, "SELECT count(*) FROM scenarios WHERE removed_volume_m3 > 0", [](void* p, int, char** v, char**) {
        *static_cast<int*>(p) = std::atoi(v[0]);
        return 0;
    }, &nScenarios, nullptr);
    sqlite3_close(pDb);
    EXPECT_EQ(1, nScenarios);

    SChildResult lone = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "compare", m_project, "--scenario", "Let grow"});
    EXPECT_TRUE(ExitedWith(lone, 2));
}
}
