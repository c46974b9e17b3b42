// wox compare's runs of three scenarios on a synthetic project of 5,000 stands of 200 tree records,
// 10 periods: side by side on the host's thread pool (RunScenarios) against the same three
// scenarios run one after the other in the same process (RunSimulation each). The ratio of the
// two is the counter compare_to_sequential; the *_cpu_s counters give the process's processor time
// in each, so that a machine busy with other work shows as cpu close to wall time in both.

#include <benchmark/benchmark.h>


#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CompareCommand.h"
#include "DemoForest.h"
#include "HostContext.h"
#include "RunCommand.h"
#include "ScenarioCommand.h"

namespace
{
constexpr int kStands = 5000;
constexpr int kTrees = 200;
constexpr int kPeriods = 10;

// A repeatable thinning to 24 m2/ha of every stand whose basal area exceeds the threshold; no
// records at all without one.
std::string ScenarioJson(const std::string& name, const SProject& project, const std::string& library, double dThreshold)
{
    std::ostringstream json;
    json << R"json({"format": "wox-scenario", "formatVersion": 1, "info": {"name": ")json" << name
         << R"json(", "description": "", "endYear": 2100}, "records": [)json";
    for (size_t i = 0; dThreshold > 0.0 && i < project.stands.size(); ++i)
        json << (i ? "," : "") << R"json({"year": 2025, "stand": ")json" << project.stands[i].id
             << R"json(", "triggered": 1, "endYear": 2100, "flags": 1, "triggerPartDefaults": true, "triggerCount": 1,
               "triggers": [{"variable": "Basal Area (m2/ha)", "descriptorA": 5, "descriptorB": 1, "descriptorC": 9,
               "library": ")json"
             << library << R"json(", "function": 1, "value": )json" << dThreshold << R"json(, "operator": 2, "include": 0, "speciesCount": 0,
               "species": [], "dbhMax": 999.0, "dbhMin": 0.0, "heightMax": 999.0, "heightMin": 0.0}],
               "treatment": {"component": "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}", "name": "Thin", "description": "",
               "data": "0000000000003840"}})json";
    json << "]}";
    return json.str();
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_CompareThreeScenarios(benchmark::State& state)
{
    CHostContext host;
    std::string error;
    if (!host.Load(WOX_BENCH_REGISTRY, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "wox-compare-bench").string();
    std::filesystem::remove_all(folder);
    SDemoForestOptions forest;
    forest.nStands = kStands;
    forest.nTreesPerStand = kTrees;
    const SProject project = MakeDemoForest(forest);
    if (!WriteProject(folder, project, &error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string library = host.Registry()->Get("General", "Function Directory") + "/libWoxStandVariables.so";
    const std::vector<std::pair<std::string, double>> scenarios = {{"Thin at 38", 38.0}, {"Thin at 32", 32.0}, {"Let grow", 0.0}};
    std::vector<std::string> names;
    for (const auto& [name, dThreshold] : scenarios)
    {
        std::string json = folder + "/" + name + ".json", out = folder + "/scenarios/" + name + ".scenario";
        std::ofstream(json) << ScenarioJson(name, project, library, dThreshold);
        char szScenario[] = "scenario", szImport[] = "import";
        char* argv[] = {szScenario, szImport, json.data(), out.data(), nullptr};
        if (RunScenarioCommand(host, 4, argv) != 0)
        {
            state.SkipWithError("cannot import a scenario");
            return;
        }
        names.push_back(name);
    }
    SRunOptions options;
    options.project = folder;
    options.nPeriods = kPeriods;
    double dSequential = 0.0, dCompare = 0.0, dSequentialCpu = 0.0, dCompareCpu = 0.0;
    for (auto _ : state)
    {
        auto start = std::chrono::steady_clock::now();
        std::clock_t cpu = std::clock();
        for (const std::string& name : names)
        {
            SRunOptions one = options;
            one.scenario = name;
            SRunResults results;
            if (!RunSimulation(host, one, results, nullptr, nullptr, &error))
            {
                state.SkipWithError(error.c_str());
                return;
            }
        }
        dSequential += Seconds(start);
        dSequentialCpu += static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        start = std::chrono::steady_clock::now();
        cpu = std::clock();
        std::vector<SRunResults> runs;
        if (!RunScenarios(host, options, names, runs, &error))
        {
            state.SkipWithError(error.c_str());
            return;
        }
        dCompare += Seconds(start);
        dCompareCpu += static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    }
    state.counters["sequential_s"] = dSequential / state.iterations();
    state.counters["compare_s"] = dCompare / state.iterations();
    state.counters["compare_to_sequential"] = dCompare / dSequential;
    state.counters["sequential_cpu_s"] = dSequentialCpu / state.iterations();
    state.counters["compare_cpu_s"] = dCompareCpu / state.iterations();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CompareThreeScenarios)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}
