// Scenario file throughput: write and read back 20,000 records with 64-byte data blocks through
// CScenarioFile and the host's IO Library, against a plain sequential write and read of the same
// number of bytes with the same binary-file object, measured in the same run. The "ratio"
// counter is scenario throughput / plain throughput.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Files.h"
#include "Module.h"
#include "ScenarioFile.h"
#include "WoxHost.h"

namespace
{
constexpr int kRecords = 20000;
constexpr uint32_t kBlockSize = 64;
constexpr size_t kChunk = sizeof(SScenarioTreatment) + kBlockSize;

struct SBenchSetup
{
    CWoxHost host;
    std::string folder;
    SScenarioData data;
    bool bReady = false;

    SBenchSetup()
    {
        std::string error;
        if (!host.Load(WOX_BENCH_REGISTRY, &error))
            return;
        host.ErrorReporter()->SetQuiet(true);
        folder = WoxMakeTempFolder("woxbench");
        CScenarioFile file(host.Heap());
        if (!file.Initialize(host.LibMgr(), host.Registry(), host.ErrorReporter()) || !file.CreateTreatmentArray(data.pTreatments))
            return;
        std::strcpy(data.info.szName, "Benchmark");
        data.info.nEndYear = 2100;
        SScenarioTreatment record;
        std::memset(&record, 0, sizeof record);
        for (int i = 0; i < kRecords; ++i)
        {
            record.nYear = 2000 + i % 100;
            std::snprintf(record.szStand, sizeof record.szStand, "STAND-%05d", i);
            record.treatment.nDataSize = kBlockSize;
            record.treatment.pData = host.Heap()->Alloc(kBlockSize);
            std::memset(host.Heap()->Data(record.treatment.pData), i & 0xFF, kBlockSize);
            data.pTreatments->Add(&record);
        }
        bReady = true;
    }
    ~SBenchSetup()
    {
        FreeTreatmentBlocks(host.Heap(), data.pTreatments.Get());
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }

    IDynamicPtrTemplate<IWoxBinary> NewBinary()
    {
        char szPath[WOX_MAX_PATH] = {};
        IDynamicPtrTemplate<IWoxBinary> pBinary;
        host.Registry()->ReadString("Libraries", "IO Library", szPath, WOX_MAX_PATH);
        if (auto pfn = WoxModuleFunction<PFN_CreateWoxBinary>(host.LibMgr()->OpenLibrary(szPath), "CreateWoxBinary"))
            pBinary = pfn();
        if (pBinary)
            pBinary->Initialize(host.ErrorReporter());
        return pBinary;
    }
};

SBenchSetup& Setup()
{
    static SBenchSetup setup;
    return setup;
}

// One save and one full read of the scenario; seconds.
double ScenarioRoundTrip(SBenchSetup& s)
{
    auto start = std::chrono::steady_clock::now();
    std::string path = s.folder + "/bench.scenario";
    {
        CScenarioFile file(s.host.Heap());
        if (!file.Initialize(s.host.LibMgr(), s.host.Registry(), s.host.ErrorReporter()) || !file.Create(path.c_str()) || !file.WriteRecords(&s.data))
            return -1;
    }
    CScenarioFile file(s.host.Heap());
    SScenarioData back;
    if (!file.Initialize(s.host.LibMgr(), s.host.Registry(), s.host.ErrorReporter()) || !file.Open(path.c_str()) ||
        !file.CreateTreatmentArray(back.pTreatments) || !file.ReadRecords(&back) || back.pTreatments->GetSize() != kRecords)
        return -1;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    FreeTreatmentBlocks(s.host.Heap(), back.pTreatments.Get());
    return seconds;
}

// The same bytes written and read back sequentially in record-sized chunks; seconds.
double PlainRoundTrip(SBenchSetup& s)
{
    static std::vector<char> buffer(kChunk, 'x');
    auto start = std::chrono::steady_clock::now();
    std::string path = s.folder + "/plain.bin";
    auto pBinary = s.NewBinary();
    uint32_t nDone = 0;
    if (!pBinary || !pBinary->Open(path.c_str(), 2, 1) || !pBinary->Write(buffer.data(), &nDone, 512))
        return -1;
    for (int i = 0; i < kRecords; ++i)
        if (!pBinary->Write(buffer.data(), &nDone, kChunk))
            return -1;
    pBinary->Close();
    if (!pBinary->Open(path.c_str(), 2, 0) || !pBinary->Read(buffer.data(), &nDone, 512))
        return -1;
    for (int i = 0; i < kRecords; ++i)
        if (!pBinary->Read(buffer.data(), &nDone, kChunk))
            return -1;
    pBinary->Close();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ScenarioVsPlain(benchmark::State& state)
{
    SBenchSetup& s = Setup();
    if (!s.bReady)
    {
        state.SkipWithError("host not loaded");
        return;
    }
    double scenarioSeconds = 0, plainSeconds = 0;
    for (auto _ : state)
    {
        double a = ScenarioRoundTrip(s), b = PlainRoundTrip(s);
        if (a < 0 || b < 0)
        {
            state.SkipWithError("file operation failed");
            return;
        }
        scenarioSeconds += a;
        plainSeconds += b;
    }
    const double bytes = 2.0 * (512 + double(kRecords) * kChunk) * double(state.iterations());
    state.counters["scenario_MBps"] = bytes / scenarioSeconds / 1e6;
    state.counters["plain_MBps"] = bytes / plainSeconds / 1e6;
    state.counters["ratio"] = plainSeconds / scenarioSeconds;
}
BENCHMARK(BM_ScenarioVsPlain)->Unit(benchmark::kMillisecond)->Iterations(5);
}

BENCHMARK_MAIN();
