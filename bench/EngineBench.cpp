// Costs of the treatment engine, each reported beside a baseline measured in the same run:
// - a period run over a long treatment list with nothing due, against a plain walk over the same
//   list (GetSize and GetAt of every record) timed alternately with it, and with everything due;
// - a trigger check with two conditions on a 1,000-tree stand, against computing the same two
//   variables directly for the same stand: its trees fetched once from the port data and both
//   functions evaluated on them, with one enumerator made beforehand. The check starts from the
//   stand as well and must fetch its trees, so the fetch belongs to both sides; the evaluation
//   alone and the fetch alone are reported beside it.
// The ratios are printed after the benchmarks by a reporter that collects the figures.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>

#include "Module.h"
#include "ScenarioImp.h"
#include "ScenarioRecords.h"
#include "TestFunctionLibrary.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{
const GUID kBenchGuid = {0x0BE0C000, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
constexpr int32_t kRunYear = 2005;

class CBenchEngine : public CScenarioImp
{
public:
    explicit CBenchEngine(void* hHeap) : CScenarioImp(hHeap) {}
    using CScenarioImp::CheckTrigger;
    using CScenarioImp::CreateArrayExt;
    using CScenarioImp::CreateArrayTreatments;
};

// Host objects that do no work of their own, so that the figures are the engine's.
class CBenchPortObject final : public IWoxPortObject
{
public:
    int StandTreated(int32_t, const char*) override { return 1; }
};

class CBenchPortData final : public IPortData
{
public:
    void AddReference() override {}
    void Release() override {}
    IWoxPortObject* GetPortObject(int) override { return &m_portObject; }
    int SendStandMessage(SStandMessage) override { return 1; }
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t, const char*) override
    {
        pTrees->RemoveAll(0);
        for (const SInventory& tree : m_trees)
            pTrees->Add(&tree);
        return 1;
    }
    int GetProjectInfo(SProjectInfo*) override { return 0; }
    int GetStandList(IDynamicPtrTemplate<IStatusExt>, int) override { return 0; }
    int CheckStandMessage(SStandMessage*) override { return 1; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 1; }

    std::vector<SInventory> m_trees;

private:
    CBenchPortObject m_portObject;
};

class CBenchView final : public IWoxView
{
public:
    void AddReference() override {}
    void Release() override {}
    int ShowStandMessage(SStandMessage*) override { return 1; }
};

class CBenchTreatment final : public ITreatmentComponent
{
public:
    void AddReference() override {}
    void Release() override {}
    int Create(IWoxLibMgr*, IWoxThreadPool*, IWoxRegistry*, IWoxErrorReporter*, ISpeciesMap*, ICompMgr*) override { return 1; }
    void* GetInterface(ENWoxCompInterface) override { return nullptr; }
    int GetDefaultValues(SComponentValue*) override { return 1; }
    int GetDisplayInfo(SComponentDisplay*) override { return 0; }
    GUID GetGUID() override { return kBenchGuid; }
    ENDesignator GetType() override { return WOX_DESIGNATOR_TREATMENT; }
    int InstallComponent() override { return 1; }
    int UninstallComponent() override { return 1; }
    int NeedsInitialConfig() override { return 0; }
    int SetupComponent(SComponentData*, IDynamicPtrTemplate<IArrayExt2>) override { return 1; }
    int ShowComponentConfig(SComponentData*, int*) override { return 1; }
    int ShowComponentTool(SComponentData*) override { return 0; }
    int HasTool() override { return 0; }
    int RunComponent(SComponentData*, SStandMessage*) override { return 1; }
    int ShowComponentEditor(SComponentData*) override { return 0; }
    int ModifyTreatment(SComponentData*, int) override { return 0; }
    int DefineTreatments(SComponentData*, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int DefineTriggeredTreatment(SComponentData*, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
};

class CBenchCompMgr final : public ICompMgr
{
public:
    IDynamic* GetComponent(GUID guid) override { return guid == kBenchGuid ? &m_treatment : nullptr; }
    int GetComponentCount() override { return 1; }
    IDynamic* GetComponentAt(int) override { return &m_treatment; }

private:
    CBenchTreatment m_treatment;
};

// One host and one component for the whole program.
struct SBenchHost
{
    CWoxHost host;
    CBenchCompMgr compMgr;
    CBenchPortData port;
    CBenchView view;
    CBenchEngine* pEngine = nullptr;
    bool bReady = false;

    SBenchHost()
    {
        std::string error;
        if (!host.Load(WOX_BENCH_REGISTRY, &error))
        {
            std::fprintf(stderr, "engine bench: %s\n", error.c_str());
            return;
        }
        host.ErrorReporter()->SetQuiet(true);
        pEngine = new CBenchEngine(host.Heap());
        pEngine->AddReference();
        bReady = pEngine->Create(host.LibMgr(), host.ThreadPool(), host.Registry(), host.ErrorReporter(), host.SpeciesMap(), &compMgr) != 0;
        // A run makes its hand-over arrays before any trigger check; the tree lists rely on that.
        IDynamicPtrTemplate<IArrayExt2> pFirst;
        bReady = bReady && pEngine->CreateArrayTreatments(pFirst);
    }
    ~SBenchHost()
    {
        if (pEngine)
            pEngine->Release();
    }
};

SBenchHost& Bench()
{
    static SBenchHost bench;
    return bench;
}

SScenarioTreatment BenchRecord(int32_t nYear, int nStand)
{
    SScenarioTreatment record = {};
    ResetTriggerPart(record);
    record.nYear = nYear;
    WoxCopyText(record.szStand, ("Stand " + std::to_string(nStand)).c_str());
    record.treatment.guidComponent = kBenchGuid;
    WoxCopyText(record.treatment.szName, "Thinning");
    return record;
}

bool FillList(SScenarioData& scenario, int nRecords, int32_t nYear)
{
    if (!scenario.pTreatments && !Bench().pEngine->CreateArrayTreatments(scenario.pTreatments))
        return false;
    scenario.pTreatments->RemoveAll(0);
    for (int i = 0; i < nRecords; ++i)
    {
        SScenarioTreatment record = BenchRecord(nYear, i % 500);
        if (!scenario.pTreatments->Add(&record))
            return false;
    }
    return true;
}

void PerRecord(benchmark::State& state, int nRecords)
{
    state.counters["per_record"] =
        benchmark::Counter(static_cast<double>(nRecords) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// GetSize and GetAt of every record, the walk a run makes when nothing is due.
int64_t PlainWalk(IArrayExt2* pList)
{
    int64_t nDue = 0;
    const int n = pList->GetSize();
    for (int i = 0; i < n; ++i)
    {
        const auto* pRecord = static_cast<const SScenarioTreatment*>(pList->GetAt(i, 0));
        nDue += pRecord && pRecord->nYear <= kRunYear;
    }
    return nDue;
}

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void BM_PlainWalk(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    SScenarioData scenario;
    if (!Bench().bReady || !FillList(scenario, nRecords, kRunYear + 100))
        return state.SkipWithError("no host");
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainWalk(scenario.pTreatments.Get()));
    PerRecord(state, nRecords);
}

// A run with nothing due against a plain walk of the same list, measured alternately in each
// iteration. A walk over 100,000 records of 8,888 bytes touches a new page for every record, so
// it waits on memory and its speed follows whatever else the machine does at the moment; timed
// in separate benchmarks (on separate lists) the two drifted apart by up to 1.8x. Alternating
// on one list gives both the same conditions. The "ratio" counter is run / walk (CPU time).
void BM_RunNothingDue(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    SScenarioData scenario;
    if (!Bench().bReady || !FillList(scenario, nRecords, kRunYear + 100))
        return state.SkipWithError("no host");
    scenario.nRunYear = kRunYear;
    SComponentData data = {};
    data.pData = &scenario;
    data.pPortData = &Bench().port;
    double dRun = 0.0, dWalk = 0.0;
    bool bRunFirst = true;
    for (auto _ : state)
    {
        for (int nPart = 0; nPart < 2; ++nPart)
        {
            const double dStart = CpuSeconds();
            if ((nPart == 0) == bRunFirst)
            {
                benchmark::DoNotOptimize(Bench().pEngine->RunComponent(&data, &Bench().view));
                dRun += CpuSeconds() - dStart;
            }
            else
            {
                benchmark::DoNotOptimize(PlainWalk(scenario.pTreatments.Get()));
                dWalk += CpuSeconds() - dStart;
            }
        }
        bRunFirst = !bRunFirst;
    }
    if (scenario.pTreatments->GetSize() != nRecords)
        state.SkipWithError("a waiting record was applied");
    const double dRecords = static_cast<double>(nRecords) * static_cast<double>(state.iterations());
    state.counters["run_ns"] = dRun / dRecords * 1e9;
    state.counters["walk_ns"] = dWalk / dRecords * 1e9;
    state.counters["ratio"] = dWalk > 0.0 ? dRun / dWalk : 0.0;
}

void BM_RunAllDue(benchmark::State& state)
{
    const int nRecords = static_cast<int>(state.range(0));
    SScenarioData scenario;
    if (!Bench().bReady)
        return state.SkipWithError("no host");
    scenario.nRunYear = kRunYear;
    SComponentData data = {};
    data.pData = &scenario;
    data.pPortData = &Bench().port;
    for (auto _ : state)
    {
        state.PauseTiming();
        if (!FillList(scenario, nRecords, kRunYear - 5))
            return state.SkipWithError("cannot fill the list");
        state.ResumeTiming();
        benchmark::DoNotOptimize(Bench().pEngine->RunComponent(&data, &Bench().view));
        if (scenario.pTreatments->GetSize() != 0)
            return state.SkipWithError("a due record was left");
    }
    PerRecord(state, nRecords);
}

std::vector<SInventory> BenchStand()
{
    std::vector<SInventory> trees;
    const char* const kSpecies[] = {"PSME", "TSHE", "THPL", "ABGR"};
    for (int i = 0; i < 1000; ++i)
    {
        SInventory tree = {};
        WoxCopyText(tree.szSpecies, kSpecies[i % 4]);
        tree.dDbh = 10.0 + (i % 50);
        tree.dHeight = 8.0 + (i % 30);
        tree.dTpha = 2.5;
        trees.push_back(tree);
    }
    return trees;
}

void BM_TriggerCheck(benchmark::State& state)
{
    if (!Bench().bReady)
        return state.SkipWithError("no host");
    Bench().port.m_trees = BenchStand();
    SScenarioTreatment record = BenchRecord(kRunYear, 1);
    record.bTriggered = 1;
    for (int nFunction : {TEST_FUNCTION_BASAL_AREA, TEST_FUNCTION_MEAN_HEIGHT})
    {
        SScenarioTriggerSpec& spec = record.triggers[record.nTriggers++];
        std::string library = WOX_BENCH_FUNCTION_LIBRARY;
        library.resize(sizeof(spec.szLibrary));
        WoxCopyText(spec.szLibrary, library.c_str());
        spec.nFunction = nFunction;
        spec.nOperator = 2;
        spec.dValue = 0.0;
    }
    for (auto _ : state)
        if (!Bench().pEngine->CheckTrigger(&Bench().port, &record, kRunYear))
            return state.SkipWithError("the conditions did not hold");
}

// Both variables of the check's two conditions, evaluated on a tree array with one enumerator
// made beforehand.
class CDirectEvaluation
{
public:
    bool Make()
    {
        auto pfnCreate = WoxModuleFunction<PFN_CreateFuncEnum>(Bench().host.LibMgr()->OpenLibrary(WOX_BENCH_FUNCTION_LIBRARY), "CreateFuncEnum");
        if (!Bench().bReady || !pfnCreate || !Bench().pEngine->CreateArrayExt(m_pTrees))
            return false;
        m_pEnum = pfnCreate(Bench().host.Heap());
        return static_cast<bool>(m_pEnum);
    }
    IDynamicPtrTemplate<IInventoryExt>& Trees() { return m_pTrees; }
    void Evaluate()
    {
        SFunctionValue value = {};
        m_pEnum->EvaluateFunction(TEST_FUNCTION_BASAL_AREA, m_pTrees, &value, {});
        benchmark::DoNotOptimize(value.dValue);
        m_pEnum->EvaluateFunction(TEST_FUNCTION_MEAN_HEIGHT, m_pTrees, &value, {});
        benchmark::DoNotOptimize(value.dValue);
    }

private:
    IDynamicPtrTemplate<IInventoryExt> m_pTrees;
    IDynamicPtrTemplate<IFuncEnum> m_pEnum;
};

// The evaluation alone, on trees fetched once before.
void BM_DirectVariables(benchmark::State& state)
{
    CDirectEvaluation direct;
    if (!direct.Make())
        return state.SkipWithError("no host or function library");
    for (const SInventory& tree : BenchStand())
        direct.Trees()->Add(&tree);
    for (auto _ : state)
        direct.Evaluate();
}

// The direct computation of the two variables a check compares: what a host that wants them for
// a stand does, without filters, conditions or the component.
void BM_DirectFromStand(benchmark::State& state)
{
    CDirectEvaluation direct;
    if (!direct.Make())
        return state.SkipWithError("no host or function library");
    Bench().port.m_trees = BenchStand();
    for (auto _ : state)
    {
        if (!Bench().port.GetStandInventory(direct.Trees(), kRunYear, "Stand 1"))
            return state.SkipWithError("no trees");
        direct.Evaluate();
    }
}

// The part of a check that is the host's: the port data copies the stand's trees into an array.
void BM_StandFetch(benchmark::State& state)
{
    if (!Bench().bReady)
        return state.SkipWithError("no host");
    Bench().port.m_trees = BenchStand();
    IDynamicPtrTemplate<IInventoryExt> pTrees;
    if (!Bench().pEngine->CreateArrayExt(pTrees))
        return state.SkipWithError("no tree array");
    for (auto _ : state)
        benchmark::DoNotOptimize(Bench().port.GetStandInventory(pTrees, kRunYear, "Stand 1"));
}

BENCHMARK(BM_PlainWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunNothingDue)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RunAllDue)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TriggerCheck)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DirectFromStand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DirectVariables)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StandFetch)->Unit(benchmark::kMicrosecond);

// Prints the console report and, at the end, the ratios between figures of this run.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
            {
                m_cpuTime[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
                auto ratio = run.counters.find("ratio");
                if (ratio != run.counters.end())
                    m_ratios[run.benchmark_name()] = ratio->second.value;
            }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios (CPU time, same run):\n");
        Measured("run, nothing due / plain walk, 100000 records", "BM_RunNothingDue/100000/min_time:2.000", 1.5);
        Measured("run, nothing due / plain walk, 10000 records", "BM_RunNothingDue/10000/min_time:2.000", 1.5);
        Ratio("run, all due, 100000 / 10000 records", "BM_RunAllDue/100000/iterations:5", "BM_RunAllDue/10000/iterations:5", 12.0);
        Ratio("run, all due / plain walk, 100000 records", "BM_RunAllDue/100000/iterations:5", "BM_PlainWalk/100000", 0.0);
        Ratio("trigger check / direct computation, 1000 trees", "BM_TriggerCheck", "BM_DirectFromStand", 3.0);
        Ratio("trigger check / evaluation alone, 1000 trees", "BM_TriggerCheck", "BM_DirectVariables", 0.0);
        Ratio("host's tree fetch / evaluation alone, 1000 trees", "BM_StandFetch", "BM_DirectVariables", 0.0);
    }

private:
    void Ratio(const char* pszWhat, const std::string& measured, const std::string& baseline, double dTarget)
    {
        auto it = m_cpuTime.find(measured);
        auto itBase = m_cpuTime.find(baseline);
        if (it == m_cpuTime.end() || itBase == m_cpuTime.end() || itBase->second <= 0.0)
        {
            std::printf("  %-50s n/a\n", pszWhat);
            return;
        }
        Print(pszWhat, it->second / itBase->second, dTarget);
    }

    // A ratio the benchmark measured itself (its "ratio" counter).
    void Measured(const char* pszWhat, const std::string& name, double dTarget)
    {
        auto it = m_ratios.find(name);
        if (it == m_ratios.end())
        {
            std::printf("  %-50s n/a\n", pszWhat);
            return;
        }
        Print(pszWhat, it->second, dTarget);
    }

    void Print(const char* pszWhat, double dRatio, double dTarget)
    {
        if (dTarget > 0.0)
            std::printf("  %-50s %8.2fx (target %.1fx: %s)\n", pszWhat, dRatio, dTarget, dRatio <= dTarget ? "met" : "NOT met");
        else
            std::printf("  %-50s %8.2fx\n", pszWhat, dRatio);
    }

    std::map<std::string, double> m_cpuTime;
    std::map<std::string, double> m_ratios;
};
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
