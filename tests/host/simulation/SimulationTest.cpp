// End-to-end runs of a tiny project through the scenario component and the treatment
// components, and the error exits of "wox run".

#include <gtest/gtest.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>

#include "FolderLock.h"
#include "ForestFigures.h"
#include "ChildProcess.h"
#include "HostContext.h"
#include "RunCommand.h"
#include "ScenarioCommand.h"
#include "Results.h"
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
        SProjectStand stand{pszStand, pszStand[0] == 'A' ? 1.0 : 3.0, 32.0, {}};
        const double dTpha = pszStand[0] == 'A' ? 46.0 : 55.0;
        for (int i = 0; i < 12; ++i)
            stand.trees.push_back(MakeTree(pszStand, std::to_string(i + 1), "PSME", 12.0 + 2.0 * i, 12.0 + 1.2 * i, dTpha));
        project.stands.push_back(stand);
    }
    return project;
}

class CSimulationTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_host.Load(WOX_BIN_REGISTRY, &error)) << error;
        m_host.ErrorReporter()->SetQuiet(true);
    }

    // Writes the tiny project with its scenario; answers the project folder.
    std::string WriteTinyProject(std::string library = {})
    {
        const std::string folder = m_folder.File("tiny");
        std::string error;
        EXPECT_TRUE(WriteProject(folder, TinyProject(), &error)) << error;
        if (library.empty())
            library = m_host.Registry()->Get("General", "Function Directory") + "/libWoxStandVariables.so";
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

// Forest figures weigh each stand by its area (A has 1 ha, B 3 ha); stand rows carry the figures
// before and after the year's treatments; the tree list holds every stand's records per year.
TEST_F(CSimulationTest, OutputsWeighStandsByAreaAndListTrees)
{
    SRunOptions options;
    options.project = WriteTinyProject();
    options.scenario = "Tiny";
    options.nPeriods = 7;
    options.treeList = m_folder.File("tree_list.csv");
    SRunResults results;
    std::string error;
    ASSERT_TRUE(RunSimulation(m_host, options, results, nullptr, nullptr, &error)) << error;

    std::map<std::pair<int, std::string>, SStandYear> rows;
    for (const SStandYear& row : results.standYears)
    {
        rows[{row.nYear, row.stand}] = row;
        const bool bTreated = row.dRemovedStems > 0.0;
        EXPECT_EQ(bTreated, row.dBasalAreaBefore > row.dBasalArea + 1e-9) << row.stand << " " << row.nYear;
        EXPECT_EQ(bTreated, row.dStemsBefore > row.dStems) << row.stand << " " << row.nYear;
        EXPECT_NEAR(row.dVolumeBefore - row.dRemovedVolume, row.dVolume, 1e-6) << row.stand << " " << row.nYear;
    }
    std::map<int, double> speciesBasalArea;
    for (const SSpeciesYear& species : results.speciesYears)
        speciesBasalArea[species.nYear] += species.dBasalArea;
    const std::vector<SForestYear> years = ForestFigures(results);
    ASSERT_EQ(8u, years.size());
    for (const SForestYear& year : years)
    {
        const SStandYear& a = rows[{year.nYear, "A"}];
        const SStandYear& b = rows[{year.nYear, "B"}];
        EXPECT_DOUBLE_EQ(4.0, year.dArea);
        EXPECT_NEAR((a.dBasalArea + 3.0 * b.dBasalArea) / 4.0, year.basalArea.dMean, 1e-9) << year.nYear;
        EXPECT_NEAR((a.dVolumeBefore + 3.0 * b.dVolumeBefore) / 4.0, year.dVolumeBefore, 1e-9) << year.nYear;
        EXPECT_NEAR(a.dRemovedVolume + 3.0 * b.dRemovedVolume, year.dRemovedVolumeTotal, 1e-9) << year.nYear;
        EXPECT_NEAR(year.basalArea.dMean, speciesBasalArea[year.nYear], 1e-9) << year.nYear;
    }

    // Each stand's basal area in each year, summed again from the listed records.
    std::ifstream list(options.treeList);
    std::string line;
    std::getline(list, line);
    EXPECT_EQ("year,stand_id,tree_id,species,dbh_cm,height_m,crown_ratio,tpha", line);
    std::map<std::pair<int, std::string>, double> listed;
    while (std::getline(list, line))
    {
        std::istringstream fields(line);
        std::string year, stand, tree, species, dbh, height, crown, tpha;
        std::getline(fields, year, ',');
        std::getline(fields, stand, ',');
        std::getline(fields, tree, ',');
        std::getline(fields, species, ',');
        std::getline(fields, dbh, ',');
        std::getline(fields, height, ',');
        std::getline(fields, crown, ',');
        std::getline(fields, tpha, ',');
        listed[{std::stoi(year), stand}] += std::stod(tpha) * TreeBasalArea(std::stod(dbh));
    }
    ASSERT_EQ(rows.size(), listed.size());
    for (const auto& [key, dBasalArea] : listed)
        EXPECT_NEAR(rows[key].dBasalArea, dBasalArea, 0.002 * rows[key].dBasalArea + 1e-3) << key.first << " " << key.second;
}

// A scenario made where the function library lay elsewhere still finds it by its file name in the
// function directory; conditions whose library or function is missing are counted once each.
TEST_F(CSimulationTest, ConditionsFindMovedLibrariesAndCountFailures)
{
    SRunOptions options;
    options.project = WriteTinyProject("/gone/functions/libWoxStandVariables.so");
    options.scenario = "Tiny";
    options.nPeriods = 7;
    SRunResults results;
    std::string error;
    ASSERT_TRUE(RunSimulation(m_host, options, results, nullptr, nullptr, &error)) << error;
    size_t nTriggered = 0;
    for (const SAppliedTreatment& applied : results.treatments)
        nTriggered += applied.stand == "B";
    EXPECT_GE(nTriggered, 2u);
    EXPECT_TRUE(results.unevaluated.empty());

    // Stand B's condition on a library that is nowhere, stand A's on a function the library lacks.
    std::string json = TinyScenarioJson(m_folder.File("libGone.so"));
    auto replace = [&json](const std::string& from, const std::string& to) { json.replace(json.find(from), from.size(), to); };
    const std::string library = m_host.Registry()->Get("General", "Function Directory") + "/libWoxStandVariables.so";
    replace(R"("stand": "A", "triggered": 0, "endYear": -1)", R"("stand": "A", "triggered": 1, "endYear": 2060)");
    replace(R"("triggerCount": 0, "triggers": [])",
            R"("triggerCount": 1, "triggers": [{"variable": "X", "descriptorA": 5, "descriptorB": 1, "descriptorC": 9, "library": ")" + library +
                R"(", "function": 99, "value": 1, "operator": 2, "include": 0, "speciesCount": 0, "species": [], "dbhMax": 999.0,
                "dbhMin": 0.0, "heightMax": 999.0, "heightMin": 0.0}])");
    replace(R"("name": "Tiny")", R"("name": "Lost")");
    std::ofstream(m_folder.File("lost.json")) << json;
    std::string in = m_folder.File("lost.json"), out = options.project + "/scenarios/lost.scenario";
    char szScenario[] = "scenario", szImport[] = "import";
    char* argv[] = {szScenario, szImport, in.data(), out.data(), nullptr};
    ASSERT_EQ(0, RunScenarioCommand(m_host, 4, argv));
    SChildResult run = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "run", options.project, "--scenario", "Lost", "--periods", "3"});
    EXPECT_TRUE(ExitedWith(run, 3)) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("libGone.so: no such file (3 condition checks)")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("stand variables: no function 99 in ")) << run.err;
    EXPECT_EQ(run.err.find("libGone.so"), run.err.rfind("libGone.so")) << run.err;
    EXPECT_TRUE(std::filesystem::exists(options.project + "/results/stand_years.csv"));
}

// An explaining run records, per period, the basal area its check compared on stand B (the one
// the growth left before the period's treatments) and what became of the record; wox explain
// prints it back from the results.
TEST_F(CSimulationTest, ExplainedRunRecordsWhatEachCheckCompared)
{
    SRunOptions options;
    options.project = WriteTinyProject();
    options.scenario = "Tiny";
    options.nPeriods = 7;
    options.bExplain = true;
    SRunResults results;
    std::string error;
    ASSERT_TRUE(RunSimulation(m_host, options, results, nullptr, nullptr, &error)) << error;
    std::map<int, double> before;
    for (const SStandYear& row : results.standYears)
        if (row.stand == "B")
            before[row.nYear] = row.dBasalAreaBefore;
    ASSERT_EQ(7u, results.triggerChecks.size());
    int nFired = 0, nNotFired = 0;
    STriggerCheckRow fired, quiet;
    for (const STriggerCheckRow& row : results.triggerChecks)
    {
        EXPECT_EQ("B", row.stand);
        EXPECT_EQ(1, row.nCondition);
        EXPECT_TRUE(row.nTrees > 0 && row.nTrees <= 12) << row.nTrees;   // thinnings take trees away
        EXPECT_NEAR(before[row.nYear], row.dValue, 1e-9) << row.nYear;
        EXPECT_EQ(row.dValue > kTrigger, row.bHolds) << row.nYear;
        EXPECT_EQ(row.bHolds ? "fired" : "condition failed", row.outcome);
        EXPECT_EQ(row.bHolds ? "applied" : "", row.treatmentResult);
        (row.bHolds ? fired : quiet) = row;
        ++(row.bHolds ? nFired : nNotFired);
    }
    ASSERT_GT(nFired, 0);
    ASSERT_GT(nNotFired, 0);

    const std::string out = m_folder.File("out");
    ASSERT_TRUE(WriteResults(out, results, &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(out + "/trigger_checks.csv"));
    char szFired[160], szQuiet[160];
    std::snprintf(szFired, sizeof szFired, "%d  Basal Area (m2/ha) (%d trees) = %.2f > 32.00  holds  \u2192 Thin B applied\n", fired.nYear,
                  fired.nTrees, fired.dValue);
    std::snprintf(szQuiet, sizeof szQuiet, "%d  Basal Area (m2/ha) (%d trees) = %.2f > 32.00  fails  \u2192 Thin B not fired\n", quiet.nYear,
                  quiet.nTrees, quiet.dValue);
    SChildResult year = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "explain", out, "--stand", "B", "--year", std::to_string(fired.nYear)});
    EXPECT_TRUE(ExitedWith(year, 0)) << year.err;
    EXPECT_EQ(szFired, year.out);
    SChildResult all = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "explain", out + "/results.db", "--stand", "B"});
    EXPECT_TRUE(ExitedWith(all, 0)) << all.err;
    EXPECT_EQ(7, std::count(all.out.begin(), all.out.end(), '\n'));
    EXPECT_NE(std::string::npos, all.out.find(szQuiet)) << all.out;
    // Stand A has no triggered record; a plain run keeps no checks.
    EXPECT_TRUE(ExitedWith(RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "explain", out, "--stand", "A"}), 1));
    results.bExplained = false;
    ASSERT_TRUE(WriteResults(out, results, &error)) << error;
    SChildResult plain = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "explain", out, "--stand", "B"});
    EXPECT_TRUE(ExitedWith(plain, 1));
    EXPECT_NE(std::string::npos, plain.err.find("run the simulation with --explain")) << plain.err;
}

// A results folder the run could not replace is refused before the first period is simulated.
TEST_F(CSimulationTest, ExplainingRunIntoAFolderItCannotWriteSimulatesNothing)
{
    const std::string project = WriteTinyProject(), out = m_folder.File("mine");
    std::filesystem::create_directories(out);
    std::ofstream(out + "/notes.txt") << "my own notes";
    SChildResult run = RunChild({WOX_PROGRAM, "--registry", WOX_BIN_REGISTRY, "run", project, "--scenario", "Tiny", "--out", out, "--explain"});
    EXPECT_TRUE(ExitedWith(run, 1));
    EXPECT_NE(std::string::npos, run.err.find("notes.txt")) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find("period")) << run.err;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(out))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ((std::vector<std::string>{"notes.txt"}), left);
}

// "wox run" as a user runs it: one line on stderr and a non-zero exit, no results folder.
class CRunErrorTest;
struct SErrorCase
{
    const char* pszName;
    // Makes the project (and what else the case needs); answers the project folder.
    std::function<std::string(CRunErrorTest&)> prepare;
    const char* pszExpected;
};

void PrintTo(const SErrorCase& c, std::ostream* pStream) { *pStream << c.pszName; }

class CRunErrorTest : public CSimulationTest, public ::testing::WithParamInterface<SErrorCase>
{
public:
    // The tiny project with one more scenario from JSON text.
    std::string WithScenario(const std::string& json)
    {
        std::string project = WriteTinyProject();
        std::ofstream(m_folder.File("extra.json")) << json;
        std::string in = m_folder.File("extra.json"), out = project + "/scenarios/extra.scenario";
        char szScenario[] = "scenario", szImport[] = "import";
        char* argv[] = {szScenario, szImport, in.data(), out.data(), nullptr};
        EXPECT_EQ(0, RunScenarioCommand(m_host, 4, argv));
        return project;
    }
    // A copy of the test registry with one value changed.
    void ChangeRegistry(const std::string& value, const std::string& text)
    {
        m_registry = m_folder.File("wox.ini");
        std::ifstream in(WOX_BIN_REGISTRY);
        std::ofstream out(m_registry);
        for (std::string line; std::getline(in, line);)
            out << (line.rfind(value + "=", 0) == 0 ? value + "=" + text : line) << "\n";
    }

    std::string m_scenario = "Tiny";
    std::string m_registry = WOX_BIN_REGISTRY;
    CFolderLock m_lock;
};

TEST_P(CRunErrorTest, ExitsNonZeroWithOneLine)
{
    const std::string project = GetParam().prepare(*this);
    SChildResult run = RunChild({WOX_PROGRAM, "--registry", m_registry, "run", project, "--scenario", m_scenario, "--periods", "2"});
    EXPECT_TRUE(ExitedWith(run, 1));
    std::istringstream lines(run.err);
    std::string line, last;
    while (std::getline(lines, line))
        if (line.rfind("wox run: ", 0) == 0 && line.find("period") == std::string::npos)
            last = line;
    EXPECT_NE(std::string::npos, last.find(GetParam().pszExpected)) << run.err;
    EXPECT_FALSE(std::filesystem::exists(project + "/results"));
}

// A scenario of one record for stand Z of the tiny project (which has A and B).
std::string OneRecordJson(const std::string& name, const std::string& stand, const std::string& component, const std::string& data)
{
    return R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": ")" + name + R"(", "description": "", "endYear": 2060},
      "records": [{"year": 2030, "stand": ")" + stand + R"(", "triggered": 0, "endYear": -1, "flags": 0, "triggerPartDefaults": true,
        "triggerCount": 0, "triggers": [], "treatment": {"component": ")" + component + R"(", "name": "Odd", "description": "",
        "data": ")" + data + R"("}}]})";
}

const char* kThinBelow = "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}";
const char* kPlanting = "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000004}";

const SErrorCase kErrorCases[] = {
    {"UnknownScenario", [](CRunErrorTest& t) { t.m_scenario = "Missing"; return t.WriteTinyProject(); }, "no scenario named \"Missing\""},
    {"EmptyProject",
     [](CRunErrorTest& t) {
         SProject empty{"Empty", 2025, 5, {}};
         EXPECT_TRUE(WriteProject(t.m_folder.File("p"), empty, nullptr));
         return t.m_folder.File("p");
     },
     "has no stands"},
    {"UnreadableDatabase",
     [](CRunErrorTest& t) {
         std::filesystem::create_directories(t.m_folder.File("p/scenarios"));
         std::ofstream(t.m_folder.File("p/project.db")) << "this is not a database";
         return t.m_folder.File("p");
     },
     "cannot read the project database"},
    {"NoScenarioComponent",
     [](CRunErrorTest& t) {
         t.ChangeRegistry("Scenario Component", t.m_folder.File("libNone.so"));
         return t.WriteTinyProject();
     },
     "libNone.so\" named in [Components] of the registry does not exist"},
    {"NoIoLibrary",
     [](CRunErrorTest& t) {
         t.ChangeRegistry("IO Library", t.m_folder.File("libNone.so"));
         return t.WriteTinyProject();
     },
     "the IO Library \""},
    {"TwoScenariosOfOneName", [](CRunErrorTest& t) { return t.WithScenario(OneRecordJson("Tiny", "A", kThinBelow, "")); },
     "2 scenario files are named \"Tiny\": "},
    {"RecordForAnUnknownStand",
     [](CRunErrorTest& t) {
         t.m_scenario = "Stray";
         return t.WithScenario(OneRecordJson("Stray", "Z", kThinBelow, ""));
     },
     "1 record of the scenario name 1 stand the project does not have: Z (1); 1 of them would be due in the run"},
    // A planting of 1 cm trees 1e200 m tall (40-byte block: "PSME", padding, 1000 stems, dbh, height).
    {"AbsurdPlantingBlock",
     [](CRunErrorTest& t) {
         t.m_scenario = "Tall";
         return t.WithScenario(OneRecordJson("Tall", "A", kPlanting, "50534D450000000000000000000000000000000000408F40000000000000F03F5A62D7D718E77469"));
     },
     "the record \"Odd\" of 2030 for stand \"A\": height 1e+200 m is outside 0 to 150 m"},
    {"ResultsFolderInUse",
     [](CRunErrorTest& t) {
         std::string project = t.WriteTinyProject();
         EXPECT_TRUE(t.m_lock.Acquire(project + "/results", nullptr));
         return project;
     },
     "/results is in use by another run"},
};
INSTANTIATE_TEST_SUITE_P(Exits, CRunErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<SErrorCase>& info) { return std::string(info.param.pszName); });

// The chart's value axis stays a handful of round steps for any value, however large; values that
// are no numbers are refused rather than drawn.
TEST(ResultChartTest, AxisStaysBoundedAndNonNumbersAreRefused)
{
    for (double dLargest : {0.0, 7.0, 45.0, 61.0, 1e6, 1e200, 1.7e308})
    {
        SChartScale scale = ChartScale(dLargest);
        EXPECT_GE(scale.dTop, std::max(dLargest, 10.0)) << dLargest;
        EXPECT_LE(scale.nTicks, 8) << dLargest;
        EXPECT_GE(scale.nTicks, 2) << dLargest;
    }
    EXPECT_EQ(ChartScale(45.0).dStep, 10.0);
    CTempFolder folder;
    SRunResults results;
    results.standYears.push_back({2025, "A", 20.0, 1e200, 0, 0, 0, 0, 0, 0});
    std::string error;
    EXPECT_TRUE(WriteResultChart(folder.File("huge.png"), results, &error)) << error;
    results.standYears.push_back({2030, "A", 20.0, std::numeric_limits<double>::infinity(), 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(WriteResultChart(folder.File("inf.png"), results, &error));
    EXPECT_EQ(error, "cannot draw the chart: the basal area of stand A in 2030 is not a finite number");
}
}
