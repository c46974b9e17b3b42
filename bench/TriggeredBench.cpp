// The triggered treatment dialog at the size of a large project:
// - the save task building the records of a triggered treatment for 5,000 stands x 3 treatments,
//   against adding the same number of 8888-byte records to the same kind of host array (same run);
// - the stand list of the dialog filled with 5,000 stands by its load task: the time to the last
//   row and the longest stretch the user-interface thread spent in the task's requests without
//   returning to its event loop (the dialog takes input in between).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "HostObject.h"
#include "ResourceIds.h"
#include "ScenarioRecords.h"
#include "TriggeredDlg.h"
#include "TriggeredSaveTd.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{

constexpr int kStands = 5000;
constexpr int kTreatments = 3;

std::string StandName(int nStand) { return "Stand " + std::to_string(nStand + 1); }

// A progress window that is up at once and tells the benchmark when the task closes it.
class CBenchProgress final : public IProgressDlg
{
public:
    void AddReference() override {}
    void Release() override {}
    int Create(IDynamicPtrTemplate<IDynamic>) override { return 1; }
    void Close() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bClosed = true;
        m_closed.notify_all();
    }
    int DoModal() override
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_closed.wait(lock, [this] { return m_bClosed; });
        m_bClosed = false;
        return 1;
    }
    int IsReady() override { return 1; }
    void SetText(const char*) override {}
    void SetRange(int, int) override {}
    void StepIt() override {}

private:
    std::mutex m_lock;
    std::condition_variable m_closed;
    bool m_bClosed = false;
};

class CBenchPortData final : public IPortData
{
public:
    void AddReference() override {}
    void Release() override {}
    IWoxPortObject* GetPortObject(int) override { return nullptr; }
    int SendStandMessage(SStandMessage) override { return 0; }
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int GetProjectInfo(SProjectInfo* pInfo) override
    {
        pInfo->nFirstYear = 2025;
        pInfo->nPeriodLength = 5;
        return 1;
    }
    int GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int) override
    {
        for (int s = 0; s < kStands; ++s)
            pStands->Add(StandName(s).c_str());
        return 1;
    }
    int CheckStandMessage(SStandMessage*) override { return 0; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 0; }
};

struct SBenchSetup
{
    CWoxHost host;
    CBenchPortData port;
    HWOXMODULE hDataController = nullptr;
    char szDataController[WOX_MAX_PATH] = {};
    bool bReady = false;

    SBenchSetup()
    {
        std::string error;
        if (!host.Load(WOX_BENCH_REGISTRY, &error))
        {
            std::fprintf(stderr, "triggered bench: %s\n", error.c_str());
            return;
        }
        host.ErrorReporter()->SetQuiet(true);
        bReady = WoxLoadHostLibrary(host.LibMgr(), host.Registry(), "Data Controller Library", szDataController, hDataController);
    }

    IDynamicPtrTemplate<IArrayExt2> Array(int nElementSize)
    {
        IDynamicPtrTemplate<IArrayExt2> pArray;
        WoxCreateArrayExt2(hDataController, host.Heap(), host.LibMgr(), host.Registry(), host.ErrorReporter(), nElementSize, pArray);
        return pArray;
    }
};

SBenchSetup& Setup()
{
    static SBenchSetup setup;
    return setup;
}

void BM_SaveTask(benchmark::State& state)
{
    SBenchSetup& setup = Setup();
    if (!setup.bReady)
    {
        state.SkipWithError("no host");
        return;
    }
    IDynamicPtrTemplate<IArrayExt2> pStands = setup.Array(30);
    char szStand[30];
    for (int s = 0; s < kStands; ++s)
    {
        WoxCopyText(szStand, StandName(s).c_str());
        pStands->Add(szStand);
    }
    SScenarioTreatment work = {};
    ResetTriggerPart(work);
    work.nYear = 2030;
    work.nEndYear = 2070;
    work.nTriggers = 2;
    CBenchProgress progress;
    double dTask = 0.0, dCopy = 0.0;
    for (auto _ : state)
    {
        IDynamicPtrTemplate<IArrayExt2> pTreatments = setup.Array(sizeof(SScenarioTreatment));
        for (int t = 0; t < kTreatments; ++t)
        {
            SScenarioTreatment listed = {};
            WoxCopyText(listed.treatment.szName, ("Treatment " + std::to_string(t)).c_str());
            pTreatments->Add(&listed);
        }
        auto* pTask = new CTriggeredSaveTd(setup.host.Heap());
        if (!pTask->Initialize(setup.host.LibMgr(), setup.host.Registry(), setup.host.ErrorReporter(), &progress, pStands, &work, pTreatments))
        {
            delete pTask;
            state.SkipWithError("task");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        pTask->Submit(setup.host.ThreadPool());
        progress.DoModal();
        const double dRun = timer.nsecsElapsed() / 1e9;
        if (pTreatments->GetSize() != kStands * kTreatments)
            state.SkipWithError("wrong record count");

        // The reference: the same number of whole records added to a fresh array.
        IDynamicPtrTemplate<IArrayExt2> pCopy = setup.Array(sizeof(SScenarioTreatment));
        SScenarioTreatment record = work;
        timer.start();
        for (int i = 0; i < kStands * kTreatments; ++i)
        {
            record.nYear = 2030 + (i & 1);
            pCopy->Add(&record);
        }
        const double dRef = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(dRun);
        dTask += dRun;
        dCopy += dRef;
    }
    state.counters["task_ms"] = dTask * 1000 / static_cast<double>(state.iterations());
    state.counters["copy_ms"] = dCopy * 1000 / static_cast<double>(state.iterations());
    state.counters["ratio"] = dCopy > 0 ? dTask / dCopy : 0.0;
}

void BM_StandList(benchmark::State& state)
{
    SBenchSetup& setup = Setup();
    if (!setup.bReady)
    {
        state.SkipWithError("no host");
        return;
    }
    SScenarioData scenario;
    scenario.info.nEndYear = 2070;
    for (auto _ : state)
    {
        CTriggeredDlg dialog(setup.host.Heap());
        if (!dialog.Initialize(setup.host.LibMgr(), setup.host.Registry(), setup.host.CompMgr(), setup.host.ThreadPool(), setup.host.SpeciesMap(),
                               setup.host.ErrorReporter(), &setup.port, &scenario, nullptr, 0))
        {
            state.SkipWithError("dialog");
            return;
        }
        QApplication::processEvents();
        WoxResetPostedSlices();
        QElapsedTimer timer;
        timer.start();
        dialog.Create();
        CWnd* pList = dialog.GetDlgItem(IDC_TRIGGERED_STANDS);
        auto rows = [&] { return static_cast<CListCtrl*>(pList)->GetItemCount(); };
        while (rows() < kStands)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.counters["longest_slice_ms"] = WoxPostedSlices().dLongestMs;
        dialog.DestroyWindow();
    }
}

BENCHMARK(BM_SaveTask)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandList)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
