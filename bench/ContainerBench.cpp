// Walking a large array of scenario-sized records with and without removing as it goes. A
// simulation period walks the treatment list and removes each applied record in place
// (RemoveAt(i, 1) without advancing i); removal must cost no more than the walk itself, so the
// array moves element pointers, never whole records.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstring>
#include <vector>

#include "DataController.h"

namespace
{
constexpr int kRecords = 100000;
constexpr int kRecordSize = 8888;

struct SRecord
{
    int32_t nYear;
    char szBody[kRecordSize - 4];
};
static_assert(sizeof(SRecord) == kRecordSize);

using ArrayPtr = IDynamicPtrTemplate<IArrayExt2>;

ArrayPtr FilledArray()
{
    ArrayPtr pArray(WoxCreateArrayExt2(nullptr));
    pArray->Initialize(nullptr, nullptr, nullptr, kRecordSize);
    static SRecord record{};
    for (int i = 0; i < kRecords; ++i)
    {
        record.nYear = 2000 + i % 50;
        pArray->Add(&record);
    }
    return pArray;
}

// Reads each record's year, as the engine does when it decides whether a record is due.
int64_t Walk(IArrayExt2* pArray)
{
    int64_t nSum = 0;
    for (int i = 0; i < pArray->GetSize(); ++i)
        if (auto* pRecord = static_cast<SRecord*>(pArray->GetAt(i, 0)))
            nSum += pRecord->nYear;
    return nSum;
}

int64_t WalkRemovingAll(IArrayExt2* pArray)
{
    int64_t nSum = 0;
    for (int i = 0; i < pArray->GetSize();)
    {
        if (auto* pRecord = static_cast<SRecord*>(pArray->GetAt(i, 0)))
            nSum += pRecord->nYear;
        pArray->RemoveAt(i, 1);
    }
    return nSum;
}

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Processor time of the process: unlike wall time it leaves out the time the benchmark waits
// for a processor on a busy machine.
double CpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Both walks over the same kind of freshly filled array, in one run; the counters give the time
// per element of each and their ratio (removing walk / plain walk), and the time per element
// of giving the emptied array's memory back afterwards.
void BM_WalkVersusRemovingWalk(benchmark::State& state)
{
    double dWalk = 0, dRemoving = 0, dRelease = 0, dWalkCpu = 0, dRemovingCpu = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        ArrayPtr pArray = FilledArray();
        // One untimed pass first, so that both timed walks start from the same cache state.
        benchmark::DoNotOptimize(Walk(pArray.Get()));
        state.ResumeTiming();
        double c0 = CpuSeconds();
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Walk(pArray.Get()));
        auto t1 = std::chrono::steady_clock::now();
        double c1 = CpuSeconds();
        benchmark::DoNotOptimize(WalkRemovingAll(pArray.Get()));
        auto t2 = std::chrono::steady_clock::now();
        double c2 = CpuSeconds();
        dWalkCpu += c1 - c0;
        dRemovingCpu += c2 - c1;
        // The removed records' blocks are kept for reuse until the array lets go of them.
        pArray.Clear();
        auto t3 = std::chrono::steady_clock::now();
        dWalk += Seconds(t1 - t0);
        dRemoving += Seconds(t2 - t1);
        dRelease += Seconds(t3 - t2);
        state.SetIterationTime(Seconds(t2 - t0));
    }
    double nElements = static_cast<double>(state.iterations()) * kRecords;
    state.counters["walk_ns"] = dWalk / nElements * 1e9;
    state.counters["removing_walk_ns"] = dRemoving / nElements * 1e9;
    state.counters["release_ns"] = dRelease / nElements * 1e9;
    state.counters["ratio"] = dRemoving / dWalk;
    state.counters["cpu_ratio"] = dRemovingCpu / dWalkCpu;
}
BENCHMARK(BM_WalkVersusRemovingWalk)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// The plain walk alone, on one array filled once.
void BM_Walk(benchmark::State& state)
{
    ArrayPtr pArray = FilledArray();
    for (auto _ : state)
        benchmark::DoNotOptimize(Walk(pArray.Get()));
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond);

// For comparison: the same removing walk over a plain vector of element pointers, where every
// removal at the front shifts all the pointers behind it.
void BM_PointerVectorRemovingWalk(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        std::vector<SRecord*> records;
        for (int i = 0; i < kRecords; ++i)
            records.push_back(new SRecord{2000 + i % 50, {}});
        state.ResumeTiming();
        int64_t nSum = 0;
        for (size_t i = 0; i < records.size();)
        {
            nSum += records[i]->nYear;
            delete records[i];
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
        }
        benchmark::DoNotOptimize(nSum);
    }
}
BENCHMARK(BM_PointerVectorRemovingWalk)->Iterations(2)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
