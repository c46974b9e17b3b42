// wox scenario check and diff on 50,000-record scenario files, each against reading the file(s)
// alone (from disk into a document, as both commands do), measured in the same iterations. The
// "ratio" counter is (read + check or diff) / read; the target is at most 3.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "Files.h"
#include "InputFile.h"
#include "ScenarioCheckCommand.h"
#include "StandVariables.h"
#include "Treatments.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{
constexpr int kRecords = 50000;
constexpr int kStands = 5000;
constexpr size_t kMaxBytes = size_t{512} << 20;

using CClock = std::chrono::steady_clock;
double Since(CClock::time_point start) { return std::chrono::duration<double>(CClock::now() - start).count(); }

// Every stand thinned from below in 2030 and 2050 and triggered from 2025 on (two conditions on
// the basal area of its Douglas-fir); ten records per stand in all. B: the same records in
// reverse order with every hundredth residual basal area changed.
struct SBenchSetup
{
    CWoxHost host;
    std::string folder, pathA, pathB;
    SScenarioCheckContext context;
    bool bReady = false;

    SBenchSetup()
    {
        std::string error;
        if (!host.Load(WOX_BENCH_REGISTRY, &error))
            return;
        host.ErrorReporter()->SetQuiet(true);
        folder = WoxMakeTempFolder("woxcheckbench");
        CScenarioDocument document;
        WoxCopyText(document.header.info.szName, "Benchmark");
        document.header.info.nEndYear = 2100;
        for (int i = 0; i < kRecords; ++i)
        {
            SScenarioTreatment record;
            std::memset(&record, 0, sizeof record);
            ResetTriggerPart(record);
            const int nStand = i % kStands, nKind = i / kStands;
            std::snprintf(record.szStand, sizeof record.szStand, "ST-%05d", nStand);
            record.nYear = 2025 + 5 * nKind;
            record.treatment.guidComponent = g_guidThinBelow;
            WoxCopyText(record.treatment.szName, "Thinning from below");
            record.treatment.nDataSize = sizeof(SThinBelowParameters);
            if (nKind % 2)
            {
                record.bTriggered = 1;
                record.nEndYear = 2100;
                record.nTriggers = 2;
                for (int k = 0; k < 2; ++k)
                {
                    SScenarioTriggerSpec& spec = record.triggers[k];
                    WoxCopyText(spec.szVariable, "Basal Area (m2/ha)");
                    spec.nFunction = STAND_BASAL_AREA;
                    spec.nOperator = k ? TRIGGER_LESS : TRIGGER_GREATER;
                    spec.dValue = k ? 70.0 : 38.0;
                    spec.bInclude = 1;
                    spec.nSpecies = 1;
                    WoxCopyText(spec.szSpecies[0], "PSME");
                }
            }
            const double dResidual = 20.0 + nKind;
            document.records.push_back(record);
            document.blocks.emplace_back(reinterpret_cast<const uint8_t*>(&dResidual), reinterpret_cast<const uint8_t*>(&dResidual) + sizeof dResidual);
            context.stands.insert(record.szStand);
        }
        CScenarioDocument changed = document;
        std::reverse(changed.records.begin(), changed.records.end());
        std::reverse(changed.blocks.begin(), changed.blocks.end());
        for (size_t i = 0; i < changed.blocks.size(); i += 100)
            changed.blocks[i][0] ^= 1;
        pathA = folder + "/a.scenario";
        pathB = folder + "/b.scenario";
        if (!Write(pathA, document) || !Write(pathB, changed))
            return;
        context.components = {g_guidThinBelow, g_guidThinAbove, g_guidClearcut, g_guidPlanting};
        context.fnKnownSpecies = [this](const std::string& code) { return !host.SpeciesMap()->Canonical(code.c_str()).empty(); };
        context.fnPlausibleRange = StandVariableRange;
        context.fnCheckParameters = [this](const GUID& guid, const CByteVector& block, std::string& why) {
            return CheckTreatmentBlock(guid, block.data(), static_cast<uint32_t>(block.size()), host.SpeciesMap(), why);
        };
        bReady = true;
    }
    ~SBenchSetup()
    {
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }
    bool Write(const std::string& path, const CScenarioDocument& document)
    {
        CByteVector bytes;
        if (!ScenarioDocumentBytes(host.Heap(), document, bytes))
            return false;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }
    bool Read(const std::string& path, CScenarioDocument& document)
    {
        CByteVector bytes;
        return WoxReadFile(path, kMaxBytes, bytes, nullptr) && ReadScenarioBytes(host.Heap(), std::move(bytes), document, nullptr) &&
               document.records.size() == kRecords;
    }
};

SBenchSetup& Setup()
{
    static SBenchSetup setup;
    return setup;
}

void BM_CheckVsRead(benchmark::State& state)
{
    SBenchSetup& s = Setup();
    if (!s.bReady)
        return state.SkipWithError("setup failed");
    double dRead = 0.0, dCheck = 0.0;
    size_t nFindings = 0;
    for (auto _ : state)
    {
        CScenarioDocument plain, checked;
        auto start = CClock::now();
        if (!s.Read(s.pathA, plain))
            return state.SkipWithError("read failed");
        dRead += Since(start);
        start = CClock::now();
        if (!s.Read(s.pathA, checked))
            return state.SkipWithError("read failed");
        nFindings += CheckScenario(checked, s.context).size();
        dCheck += Since(start);
    }
    if (nFindings != 0)
        return state.SkipWithError("the benchmark scenario should be clean");
    state.counters["read_s"] = dRead / static_cast<double>(state.iterations());
    state.counters["check_s"] = dCheck / static_cast<double>(state.iterations());
    state.counters["ratio"] = dCheck / dRead;
}
BENCHMARK(BM_CheckVsRead)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DiffVsRead(benchmark::State& state)
{
    SBenchSetup& s = Setup();
    if (!s.bReady)
        return state.SkipWithError("setup failed");
    double dRead = 0.0, dDiff = 0.0;
    for (auto _ : state)
    {
        {
            CScenarioDocument a, b;
            auto start = CClock::now();
            if (!s.Read(s.pathA, a) || !s.Read(s.pathB, b))
                return state.SkipWithError("read failed");
            dRead += Since(start);
        }
        CScenarioDocument a, b;
        auto start = CClock::now();
        if (!s.Read(s.pathA, a) || !s.Read(s.pathB, b))
            return state.SkipWithError("read failed");
        const SScenarioDiff diff = DiffScenarios(a, b, TreatmentParameterText);
        benchmark::DoNotOptimize(DiffToText(diff, s.pathA, s.pathB));
        dDiff += Since(start);
        if (diff.records.size() != kRecords / 100)
            return state.SkipWithError("unexpected difference");
    }
    state.counters["read_s"] = dRead / static_cast<double>(state.iterations());
    state.counters["diff_s"] = dDiff / static_cast<double>(state.iterations());
    state.counters["ratio"] = dDiff / dRead;
}
BENCHMARK(BM_DiffVsRead)->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK_MAIN();
