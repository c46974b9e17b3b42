// A whole simulation of a synthetic project: 5,000 stands of 200 tree records, 10 periods, every
// stand with a repeatable basal-area-triggered thinning. Reports seconds per stand-period for
// growth, trigger checks (the scenario component's runs less the treatments) and treatments, and
// the whole run's seconds without (argument 0) and with (1) the tree list written as it goes;
// and the run with --explain (results written) against the same run without it.

#include <benchmark/benchmark.h>


#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "DemoForest.h"
#include "HostContext.h"
#include "Results.h"
#include "RunCommand.h"
#include "ScenarioCommand.h"

namespace
{
constexpr int kStands = 5000;
constexpr int kTrees = 200;
constexpr int kPeriods = 10;

// The triggered-thinning scenario for every stand of the synthetic project.
std::string ScenarioJson(const SProject& project, const std::string& library)
{
    std::ostringstream json;
    json << R"json({"format": "wox-scenario", "formatVersion": 1, "info": {"name": "Bench", "description": "", "endYear": 2100}, "records": [)json";
    for (size_t i = 0; i < project.stands.size(); ++i)
        json << (i ? "," : "") << R"json({"year": 2025, "stand": ")json" << project.stands[i].id
             << R"json(", "triggered": 1, "endYear": 2100, "flags": 1, "triggerPartDefaults": true, "triggerCount": 1,
               "triggers": [{"variable": "Basal Area (m2/ha)", "descriptorA": 5, "descriptorB": 1, "descriptorC": 9,
               "library": ")json"
             << library << R"json(", "function": 1, "value": 38.0, "operator": 2, "include": 0, "speciesCount": 0, "species": [],
               "dbhMax": 999.0, "dbhMin": 0.0, "heightMax": 999.0, "heightMin": 0.0}],
               "treatment": {"component": "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}", "name": "Thin", "description": "",
               "data": "0000000000003A40"}})json";
    json << "]}";
    return json.str();
}

// Writes the synthetic project with its scenario into folder; false with *pError.
bool WriteBenchProject(CHostContext& host, const std::string& folder, std::string* pError)
{
    std::filesystem::remove_all(folder);
    SDemoForestOptions options;
    options.nStands = kStands;
    options.nTreesPerStand = kTrees;
    SProject project = MakeDemoForest(options);
    if (!WriteProject(folder, project, pError))
        return false;
    const std::string json = folder + "/bench.json", scenario = folder + "/scenarios/bench.scenario";
    std::ofstream(json) << ScenarioJson(project, host.Registry()->Get("General", "Function Directory") + "/libWoxStandVariables.so");
    char szScenario[] = "scenario", szImport[] = "import";
    char* argv[] = {szScenario, szImport, const_cast<char*>(json.c_str()), const_cast<char*>(scenario.c_str()), nullptr};
    if (RunScenarioCommand(host, 4, argv) == 0)
        return true;
    *pError = "cannot import the scenario";
    return false;
}

void BM_SimulationPeriods(benchmark::State& state)
{
    CHostContext host;
    std::string error;
    if (!host.Load(WOX_BENCH_REGISTRY, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "wox-simulation-bench").string();
    if (!WriteBenchProject(host, folder, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    SRunTimings total;
    size_t nTreatments = 0;
    double dRunSeconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        SRunOptions run;
        run.project = folder;
        run.scenario = "Bench";
        run.nPeriods = kPeriods;
        if (state.range(0) != 0)
            run.treeList = folder + "/tree_list.csv";
        SRunResults results;
        SRunTimings timings;
        if (!RunSimulation(host, run, results, &timings, nullptr, &error))
        {
            state.SkipWithError(error.c_str());
            break;
        }
        dRunSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        total.dGrowth += timings.dGrowth;
        total.dScenarioRuns += timings.dScenarioRuns;
        total.dTreatments += timings.dTreatments;
        total.nStandPeriods += timings.nStandPeriods;
        nTreatments += results.treatments.size();
    }
    if (total.nStandPeriods > 0)
    {
        const double n = total.nStandPeriods;
        state.counters["growth_s_per_stand_period"] = total.dGrowth / n;
        state.counters["triggers_s_per_stand_period"] = (total.dScenarioRuns - total.dTreatments) / n;
        state.counters["treatments_s_per_stand_period"] = total.dTreatments / n;
        state.counters["treatments_applied"] = static_cast<double>(nTreatments);
        state.counters["stand_periods"] = n;
        state.counters["run_s"] = dRunSeconds / static_cast<double>(state.iterations());
    }
    std::filesystem::remove_all(folder);
}
// One iteration: a run loads the components into its host, so a second run would need a new one.
BENCHMARK(BM_SimulationPeriods)->Arg(0)->Arg(1)->ArgName("tree_list")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The plain run and the explaining run, each in a host of its own and with its results written;
// the ratio explain_to_plain is the cost of --explain.
void BM_ExplainingRun(benchmark::State& state)
{
    const std::string folder = (std::filesystem::temp_directory_path() / "wox-explain-bench").string();
    double seconds[2] = {0.0, 0.0};
    size_t nRows = 0;
    for (auto _ : state)
    {
        for (int bExplain = 0; bExplain < 2; ++bExplain)
        {
            CHostContext host;
            std::string error;
            if (!host.Load(WOX_BENCH_REGISTRY, &error) || (bExplain == 0 && !WriteBenchProject(host, folder, &error)))
            {
                state.SkipWithError(error.c_str());
                return;
            }
            SRunOptions run;
            run.project = folder;
            run.scenario = "Bench";
            run.nPeriods = kPeriods;
            run.bExplain = bExplain != 0;
            SRunResults results;
            const auto start = std::chrono::steady_clock::now();
            if (!RunSimulation(host, run, results, nullptr, nullptr, &error) || !WriteResults(folder + "/results", results, &error))
            {
                state.SkipWithError(error.c_str());
                return;
            }
            seconds[bExplain] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            nRows += results.triggerChecks.size();
        }
    }
    state.counters["plain_s"] = seconds[0];
    state.counters["explain_s"] = seconds[1];
    state.counters["explain_to_plain"] = seconds[1] / seconds[0];
    state.counters["trigger_check_rows"] = static_cast<double>(nRows);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExplainingRun)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}
