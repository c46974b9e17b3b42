// End-to-end runs of a tiny project through the scenario component and the treatment
// components, the growth model's rates, and the error exits of "wox run".

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "DemoForest.h"
#include "GrowthModel.h"
#include "HostContext.h"
#include "RunCommand.h"
#include "ScenarioCommand.h"
#include "StandVariables.h"
#include "TestHost.h"

namespace
{
constexpr double kTrigger = 32.0;

// Stand A (about 25 m2/ha) gets a normal thinning in 2030; stand B (about 30 m2/ha) a triggered
// thinning to 24 m2/ha whenever its basal area exceeds 32, allowed to fire repeatedly.
std::string TinyScenarioJson(const std::string& library)
{
    std::ostringstream json;
    json << R"json({"format": "wox-scenario", "formatVersion": 1,
      "info": {"name": "Tiny", "description": "one normal, one triggered", "endYear": 2060},
      "records": [
        {"year": 2030, "stand": "A", "triggered": 0, "endYear": -1, "flags": 0, "triggerPartDefaults": true,
         "triggerCount": 0, "triggers": [],
         "treatment": {"component": "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}", "name": "Thin A", "description": "",
                       "data": "0000000000002E40"}},
        {"year": 2025, "stand": "B", "triggered": 1, "endYear": 2060, "flags": 1, "triggerPartDefaults": true,
         "triggerCount": 1, "triggers": [{"variable": "Basal Area (m2/ha)", "descriptorA": 5, "descriptorB": 1,
           "descriptorC": 9, "library": ")json"
         << library << R"json(", "function": 1, "value": )json" << kTrigger << R"json(, "operator": 2, "include": 0,
           "speciesCount": 0, "species": [], "dbhMax": 999.0, "dbhMin": 0.0, "heightMax": 999.0, "heightMin": 0.0}],
         "treatment": {"component": "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}", "name": "Thin B", "description": "",
                       "data": "0000000000003840"}}]})json";
    return json.str();
}

SProject TinyProject()
{
    SProject project;
    project.name = "Tiny";
    project.nFirstYear = 2025;
    project.nPeriodLength = 5;
    for (const char* pszStand : {"A", "B"})
    {
        SProjectStand stand{pszStand, 2.0, 32.0, {}};
        const double dTpha = pszStand[0] == 'A' ? 46.0 : 55.0;
        for (int i = 0; i < 12; ++i)
            stand.trees.push_back(MakeTree(pszStand, std::to_string(i + 1), "PSME", 12.0 + 2.0 * i, 12.0 + 1.2 * i, dTpha));
        project.stands.push_back(stand);
    }
    return project;
}

class CSimulationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_host.Load(WOX_BIN_REGISTRY, &error)) << error;
        m_host.ErrorReporter()->SetQuiet(true);
    }

    // Writes the tiny project with its scenario; answers the project folder.
    std::string WriteTinyProject()
    {
        const std::string folder = m_folder.File("tiny");
        std::string error;
        EXPECT_TRUE(WriteProject(folder, TinyProject(), &error)) << error;
        const std::string library = m_host.Registry()->Get("General", "Function Directory") + "/libWoxStandVariables.so";
        std::ofstream(m_folder.File("tiny.json")) << TinyScenarioJson(library);
        std::string json = m_folder.File("tiny.json"), out = folder + "/scenarios/tiny.scenario";
        char szScenario[] = "scenario", szImport[] = "import";
        char* argv[] = {szScenario, szImport, json.data(), out.data(), nullptr};
        EXPECT_EQ(0, RunScenarioCommand(m_host, 4, argv));
        return folder;
    }

    CHostContext m_host;
    CTempFolder m_folder;
};

TEST_F(CSimulationTest, NormalAndTriggeredRecordsApplyInTheirYears)
{
    SRunOptions options;
    options.project = WriteTinyProject();
    options.scenario = "Tiny";
    options.nPeriods = 7;
    SRunResults results;
    std::string error;
    ASSERT_TRUE(RunSimulation(m_host, options, results, nullptr, nullptr, &error)) << error;
    EXPECT_EQ("Tiny", results.scenario);
    ASSERT_EQ(2u * 8u, results.standYears.size());

    std::map<int, std::vector<std::string>> appliedByYear;
    for (const SAppliedTreatment& applied : results.treatments)
    {
        appliedByYear[applied.nYear].push_back(applied.stand + ":" + applied.treatment);
        EXPECT_EQ("Thinning from below", applied.component);
    }
    // Year by year: A only in 2030; B exactly when its basal area before the run exceeded 32.
    int nTriggered = 0;
    for (const SStandYear& row : results.standYears)
    {
        if (row.nYear == 2060)
            continue;   // measured only
        const auto& applied = appliedByYear[row.nYear];
        bool bApplied = std::find(applied.begin(), applied.end(), row.stand + ":Thin " + row.stand) != applied.end();
        if (row.stand == "A")
            EXPECT_EQ(row.nYear == 2030, bApplied) << row.nYear;
        else
        {
            EXPECT_EQ(row.dBasalAreaBefore > kTrigger, bApplied) << row.nYear << " " << row.dBasalAreaBefore;
            if (bApplied)
            {
                ++nTriggered;
                EXPECT_NEAR(24.0, row.dBasalArea, 1e-6);
                EXPECT_GT(row.dRemovedVolume, 0.0);
            }
        }
    }
    EXPECT_GE(nTriggered, 2) << "the triggered record should fire more than once";
    EXPECT_EQ(appliedByYear[2025].size(), 0u);
}

TEST(GrowthModelTest, RatesArePlausibleAndThinningShows)
{
    SDemoForestOptions demo;
    demo.nStands = 5;
    demo.nTreesPerStand = 100;
    SProject project = MakeDemoForest(demo);
    for (const SProjectStand& stand : project.stands)
    {
        std::vector<SInventory> untreated = stand.trees, thinned = stand.trees;
        for (auto& tree : thinned)
            tree.dTpha *= 0.5;
        const double dBasal = ComputeStandVariable(STAND_BASAL_AREA, untreated);
        CGrowthModel::Grow(untreated, stand.dSiteIndex, 10);
        CGrowthModel::Grow(thinned, stand.dSiteIndex, 10);
        const double dGrowth = (ComputeStandVariable(STAND_BASAL_AREA, untreated) - dBasal) / 10.0;
        EXPECT_GT(dGrowth, 0.05) << stand.id;
        EXPECT_LT(dGrowth, 2.0) << stand.id;
        // Thinned trees grow faster in diameter, and the stand stays below the untreated one.
        EXPECT_GT(ComputeStandVariable(STAND_QMD, thinned), ComputeStandVariable(STAND_QMD, untreated)) << stand.id;
        EXPECT_LT(ComputeStandVariable(STAND_BASAL_AREA, thinned), ComputeStandVariable(STAND_BASAL_AREA, untreated)) << stand.id;
        EXPECT_LT(ComputeStandVariable(STAND_STEMS, untreated), ComputeStandVariable(STAND_STEMS, stand.trees)) << "no mortality";
    }
}

// "wox run" as a user runs it: one line on stderr and a non-zero exit, no results folder.
struct SErrorCase
{
    const char* pszName;
    const char* pszExpected;
};

void PrintTo(const SErrorCase& c, std::ostream* pStream) { *pStream << c.pszName; }

class CRunErrorTest : public CSimulationTest, public ::testing::WithParamInterface<SErrorCase>
{
};

TEST_P(CRunErrorTest, ExitsNonZeroWithOneLine)
{
    const SErrorCase& c = GetParam();
    std::string project = m_folder.File("p");
    std::string scenario = "Tiny";
    std::string registry = WOX_BIN_REGISTRY;
    if (std::string(c.pszName) == "UnknownScenario")
    {
        project = WriteTinyProject();
        scenario = "Missing";
    }
    else if (std::string(c.pszName) == "NoScenarioComponent")
    {
        // The host registry names a scenario component module that is not there.
        project = WriteTinyProject();
        registry = m_folder.File("wox.ini");
        std::ifstream in(WOX_BIN_REGISTRY);
        std::ofstream out(registry);
        for (std::string line; std::getline(in, line);)
            out << (line.rfind("Scenario Component=", 0) == 0 ? "Scenario Component=" + m_folder.File("libNone.so") : line) << "\n";
    }
    else if (std::string(c.pszName) == "EmptyProject")
    {
        SProject empty;
        empty.name = "Empty";
        empty.nFirstYear = 2025;
        empty.nPeriodLength = 5;
        ASSERT_TRUE(WriteProject(project, empty, nullptr));
    }
    else
    {
        std::filesystem::create_directories(project + "/scenarios");
        std::ofstream(project + "/project.db") << "this is not a database";
    }
    const std::string errors = m_folder.File("errors.txt");
    std::string command = "\"" WOX_PROGRAM "\" --registry \"" + registry + "\" run \"" + project + "\" --scenario " + scenario +
                          " --periods 2 > /dev/null 2> \"" + errors + "\"";
    const int nStatus = std::system(command.c_str());
    std::ifstream in(errors);
    std::string line, last, all;
    while (std::getline(in, line))
    {
        all += line + "\n";
        if (line.rfind("wox run: ", 0) == 0 && line.find("period") == std::string::npos)
            last = line;
    }
    // A failing case shows everything the child wrote, sanitizer reports included.
    SCOPED_TRACE("stderr of wox:\n" + all);
    EXPECT_NE(0, nStatus);
    EXPECT_NE(std::string::npos, last.find(c.pszExpected)) << last;
    EXPECT_FALSE(std::filesystem::exists(project + "/results"));
}

const SErrorCase kErrorCases[] = {
    {"UnknownScenario", "no scenario named \"Missing\""},
    {"EmptyProject", "has no stands"},
    {"UnreadableDatabase", "cannot read the project database"},
    {"NoScenarioComponent", "libNone.so\" named in [Components] of the registry does not exist"},
};
INSTANTIATE_TEST_SUITE_P(Exits, CRunErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<SErrorCase>& info) { return std::string(info.param.pszName); });
}
