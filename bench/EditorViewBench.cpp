// Filling the Scenario Editor's views from a 50,000-record scenario (5,000 stands x 10 periods):
// the time from submitting the load task until the last item is shown, for the tree by year and
// the grid by stand, each against inserting the same labels straight into the same Qt widget on
// the user-interface thread (same run). Also the longest slice the user-interface thread spent in
// posted requests without returning to its event loop, and the peak resident size.
//
// The editor window itself: opening the same scenario from its file until the grid by stand is
// filled, against reading the file with the scenario file object alone; and saving it, against
// writing it in place with the scenario file object alone, without and with a flush to disk
// afterwards (the save flushes its file before it replaces the old one), all in the same run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Automation.h"
#include "EditorDlg.h"
#include "EditorListCtrlEx.h"
#include "EditorLoadViewTd.h"
#include "EditorTreeCtrlEx.h"
#include "Files.h"
#include "HostObject.h"
#include "ResourceIds.h"
#include "ScenarioFile.h"
#include "ScenarioRecords.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{

constexpr int kStands = 5000;
constexpr int kPeriods = 10;
constexpr int kFirstYear = 2000;
constexpr int kPeriodLength = 5;

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
        WoxCopyText(pInfo->szScenarioFolder, m_folder.c_str());
        pInfo->nFirstYear = kFirstYear;
        pInfo->nPeriodLength = kPeriodLength;
        return 1;
    }
    int GetStandList(IDynamicPtrTemplate<IStatusExt>, int) override { return 0; }
    int CheckStandMessage(SStandMessage*) override { return 0; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 0; }

    std::string m_folder;
};

std::string StandName(int nStand) { return "Stand " + std::to_string(nStand + 1); }
int YearOf(int nPeriod) { return kFirstYear + nPeriod * kPeriodLength; }

// The scenario's records in a plain array: the load task reads them through the host array
// interface, and making 50,000 records this way takes a moment instead of most of the run.
class CRecordArray final : public IArrayExt2
{
public:
    void AddReference() override {}
    void Release() override {}
    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*, int) override { return 1; }
    int Add(const void* pElement, int, WoxStopEvent) override
    {
        m_records.push_back(*static_cast<const SScenarioTreatment*>(pElement));
        return 1;
    }
    int Copy(IArrayExt2*, int, int, WoxStopEvent) override { return 0; }
    int RemoveAt(int, int, int, WoxStopEvent) override { return 0; }
    void* GetAt(int nIndex, int, int, WoxStopEvent) override
    {
        return nIndex >= 0 && nIndex < static_cast<int>(m_records.size()) ? &m_records[nIndex] : nullptr;
    }
    int GetSize(int, WoxStopEvent) override { return static_cast<int>(m_records.size()); }
    int SetAt(int, int, const void*, int, WoxStopEvent) override { return 0; }
    int RemoveAll(int, int, WoxStopEvent) override { return 0; }

    std::vector<SScenarioTreatment> m_records;
};

// The host, the scenario's treatment array (stand by stand, each stand's periods in a row) and
// the application, made once.
struct SBenchSetup
{
    CWoxHost host;
    CBenchPortData port;
    CRecordArray records;
    IDynamicPtrTemplate<IArrayExt2> pTreatments;
    bool bReady = false;

    SBenchSetup()
    {
        std::string error;
        if (!host.Load(WOX_BENCH_REGISTRY, &error))
        {
            std::fprintf(stderr, "editor view bench: %s\n", error.c_str());
            return;
        }
        host.ErrorReporter()->SetQuiet(true);
        pTreatments = &records;
        records.m_records.reserve(kStands * kPeriods);
        QElapsedTimer timer;
        timer.start();
        for (int s = 0; s < kStands; ++s)
        {
            for (int p = 0; p < kPeriods; ++p)
            {
                SScenarioTreatment record{};
                ResetTriggerPart(record);
                record.nYear = YearOf(p);
                WoxCopyText(record.szStand, StandName(s).c_str());
                WoxCopyText(record.treatment.szName, p % 2 ? "Thinning from below" : "Thinning from above");
                WoxCopyText(record.treatment.szDescription, "to 25 m2/ha");
                pTreatments->Add(&record);
            }
        }
        bReady = pTreatments->GetSize() == kStands * kPeriods;
        std::fprintf(stderr, "editor view bench: %d records made in %.1f s\n", pTreatments->GetSize(), timer.nsecsElapsed() / 1e9);
    }
};

SBenchSetup& Setup()
{
    static SBenchSetup setup;
    return setup;
}

void Pump() { QApplication::processEvents(QEventLoop::AllEvents); }

// Runs the load task into a fresh shown view until bDone holds; answers the seconds taken.
template <class View, class Widget, class Done>
double FillThroughTask(int nViewType, int nViewBy, View& view, Done bDone)
{
    SBenchSetup& setup = Setup();
    QWidget window;
    window.resize(1000, 700);
    view.Attach(new Widget(&window));
    view.GetWidget()->setGeometry(0, 0, 1000, 700);
    window.show();
    Pump();
    CEditorLoadViewTd load(setup.host.Heap());
    HWOXWND hTree = nViewType == 0 ? view.GetSafeHwnd() : 0;
    HWOXWND hGrid = nViewType == 1 ? view.GetSafeHwnd() : 0;
    if (!load.Initialize(setup.host.LibMgr(), setup.host.Registry(), setup.host.ErrorReporter(), &setup.port, hGrid, hTree, nViewType, nViewBy, 1))
        return -1.0;
    SScenarioData scenario;
    scenario.info.nEndYear = YearOf(kPeriods - 1);
    scenario.pTreatments = setup.pTreatments;
    load.SetScenario(scenario);
    Pump();
    WoxResetPostedSlices();

    QElapsedTimer timer;
    timer.start();
    load.Submit(setup.host.ThreadPool());
    // The user-interface thread waits in its event loop as the editor's does, instead of spinning
    // beside the task for the two cores; a timer wakes it now and then to look at the view.
    QTimer tick;
    tick.start(5);
    while (!bDone() || WoxPendingPostedMessages() > 0)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    Pump();   // the last items painted
    const double dSeconds = timer.nsecsElapsed() / 1e9;
    load.WaitUntilIdle();
    view.Detach();
    return dSeconds;
}

void ReportCounters(benchmark::State& state, double dTask, double dStraight, int nRuns, double dCold)
{
    state.counters["task_s"] = dTask / nRuns;
    state.counters["straight_s"] = dStraight / nRuns;
    state.counters["ratio"] = dStraight > 0 ? dTask / dStraight : 0.0;
    state.counters["cold_task_s"] = dCold;
    state.counters["peak_rss_MiB"] = WoxPeakResidentKiB() / 1024.0;
}

// Inserts the same labels straight into a fresh shown widget on this thread, laid out as the
// task lays them out; answers the seconds until they are painted.
template <class Widget, class Insert>
double StraightInsert(Insert insert)
{
    QWidget window;
    window.resize(1000, 700);
    auto* pWidget = new Widget(&window);
    pWidget->setGeometry(0, 0, 1000, 700);
    window.show();
    Pump();
    QElapsedTimer timer;
    timer.start();
    insert(pWidget);
    Pump();
    return timer.nsecsElapsed() / 1e9;
}

double StraightTree()
{
    return StraightInsert<QTreeWidget>([](QTreeWidget* pTree) {
        std::vector<QTreeWidgetItem*> years;
        for (int p = 0; p < kPeriods; ++p)
        {
            years.push_back(new QTreeWidgetItem(pTree, QStringList(QString::number(YearOf(p)))));
            years.back()->setExpanded(true);
        }
        QTreeWidgetItem* pLeaf = nullptr;
        for (int s = 0; s < kStands; ++s)
        {
            for (int p = 0; p < kPeriods; ++p)
            {
                auto* pStand = new QTreeWidgetItem(years[p], QStringList(QString::fromStdString(StandName(s))));
                pStand->setExpanded(true);
                pLeaf = new QTreeWidgetItem(pStand, QStringList(p % 2 ? "Thinning from below [to 25 m2/ha]" : "Thinning from above [to 25 m2/ha]"));
            }
        }
        pTree->setCurrentItem(pLeaf);
        pTree->scrollToItem(pLeaf);
    });
}

double StraightGrid()
{
    return StraightInsert<QTableWidget>([](QTableWidget* pTable) {
        pTable->setRowCount(kPeriods);
        pTable->setColumnCount(kStands + 1);
        pTable->setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
        for (int p = 0; p < kPeriods; ++p)
            pTable->setItem(p, 0, new QTableWidgetItem(QString::number(YearOf(p))));
        for (int s = 0; s < kStands; ++s)
        {
            pTable->setHorizontalHeaderItem(s + 1, new QTableWidgetItem(QString::fromStdString(StandName(s))));
            pTable->setColumnWidth(s + 1, 100);
            for (int p = 0; p < kPeriods; ++p)
                pTable->setItem(p, s + 1, new QTableWidgetItem(p % 2 ? "Thinning from below" : "Thinning from above"));
        }
        pTable->scrollToItem(pTable->item(kPeriods - 1, kStands));
    });
}

double FillTree()
{
    CEditorTreeCtrlEx tree;
    const int nItems = kPeriods + 2 * kStands * kPeriods;   // years, stands under each, leaves
    return FillThroughTask<CEditorTreeCtrlEx, QTreeWidget>(0, 1, tree, [&]() { return tree.GetCount() >= nItems; });
}

double FillGrid()
{
    // Initialised as the editor window does it, so that each filled cell becomes the selection.
    CEditorListCtrlEx grid(Setup().host.Heap());
    grid.Initialize(Setup().host.LibMgr(), Setup().host.Registry(), Setup().host.ErrorReporter());
    return FillThroughTask<CEditorListCtrlEx, QTableWidget>(1, 0, grid, [&]() {
        return grid.GetItemCount() == kPeriods && grid.GetColumnCount() == kStands + 1 &&
               !grid.GetItemText(kPeriods - 1, kStands).empty();
    });
}

// The first fill of a view in a process also pays for loading fonts and mapping fresh memory,
// which the straight insert after it finds done. One untimed round of both comes first, so that
// the ratio compares like with like; the cold fill's time is reported beside it, and its slices
// count towards the longest.
template <class Fill, class Straight>
void RunViewBench(benchmark::State& state, Fill fill, Straight straight)
{
    if (!Setup().bReady)
    {
        state.SkipWithError("no host");
        return;
    }
    const double dCold = fill();
    double dLongest = WoxPostedSlices().dLongestMs;
    straight();
    double dTask = 0.0;
    double dStraight = 0.0;
    int64_t nSlices = 0;
    int nRuns = 0;
    for (auto _ : state)
    {
        const double dRun = fill();
        dLongest = std::max(dLongest, WoxPostedSlices().dLongestMs);
        nSlices += WoxPostedSlices().nSlices;
        dStraight += straight();
        dTask += dRun;
        ++nRuns;
        state.SetIterationTime(dRun);
    }
    ReportCounters(state, dTask, dStraight, nRuns, dCold);
    state.counters["longest_slice_ms"] = dLongest;
    state.counters["slices"] = static_cast<double>(nSlices) / nRuns;
}

void BM_TreeByYear(benchmark::State& state) { RunViewBench(state, FillTree, StraightTree); }
void BM_GridByStand(benchmark::State& state) { RunViewBench(state, FillGrid, StraightGrid); }

// Picks the scenario "Big" in the Open Scenario dialog and answers No to the save prompt.
class CBenchAutomation final : public IWoxAutomation
{
public:
    CBenchAutomation() { m_pPrevious = WoxSetAutomation(this); }
    ~CBenchAutomation() { WoxSetAutomation(m_pPrevious); }
    void OnDialog(CWoxDialogDriver& driver) override
    {
        driver.WaitUntil([&] { return driver.GetRowCount(IDC_OPEN_SCENARIO_LIST) > 0; }, 30000);
        driver.SelectRow(IDC_OPEN_SCENARIO_LIST, 0);
        driver.PressButton(IDOK);
    }
    int OnMessageBox(const char*, const char*, UINT) override { return IDNO; }

private:
    IWoxAutomation* m_pPrevious = nullptr;
};

double OpenInEditor(CEditorDlg& editor)
{
    CBenchAutomation automation;
    QElapsedTimer timer;
    timer.start();
    editor.OnCommand(ID_FILE_OPEN);
    editor.WaitForLoad();
    while (WoxPendingPostedMessages() > 0)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    Pump();
    return timer.nsecsElapsed() / 1e9;
}

void BM_EditorOpenAndSave(benchmark::State& state)
{
    SBenchSetup& setup = Setup();
    QTemporaryDir folder;
    if (!setup.bReady || !folder.isValid())
    {
        state.SkipWithError("no host or no temporary folder");
        return;
    }
    const std::string path = folder.filePath(QStringLiteral("Big.scenario")).toStdString();
    const std::string barePath = folder.filePath(QStringLiteral("bare.tmp")).toStdString();
    SScenarioData scenario;
    WoxCopyText(scenario.info.szName, "Big");
    scenario.info.nEndYear = YearOf(kPeriods - 1);
    scenario.pTreatments = setup.pTreatments;
    CScenarioFile file(setup.host.Heap());
    std::string error;
    if (!file.Initialize(setup.host.LibMgr(), setup.host.Registry(), setup.host.ErrorReporter()) || !file.Save(path.c_str(), &scenario, &error))
    {
        state.SkipWithError(("cannot write the scenario: " + error).c_str());
        return;
    }
    setup.port.m_folder = folder.path().toStdString();
    CEditorDlg editor(setup.host.Heap());
    if (!editor.Initialize(setup.host.LibMgr(), setup.host.ThreadPool(), setup.host.CompMgr(), setup.host.Registry(), setup.host.ErrorReporter(),
                           setup.host.SpeciesMap(), &setup.port) ||
        !editor.Create())
    {
        state.SkipWithError("the editor does not start");
        return;
    }
    // The view modes outlive a close: the timed opens fill the grid by stand.
    OpenInEditor(editor);
    editor.OnCommand(ID_VIEW_GRID);
    editor.OnCommand(ID_VIEW_BY_STAND);
    editor.WaitForLoad();
    double dOpen = 0, dRead = 0, dSave = 0, dWrite = 0, dFlush = 0;
    int nRuns = 0;
    for (auto _ : state)
    {
        {
            CBenchAutomation answerNo;
            editor.OnCommand(ID_FILE_CLOSE);
        }
        Pump();
        const double dRun = OpenInEditor(editor);
        dOpen += dRun;
        QElapsedTimer timer;
        timer.start();
        editor.OnCommand(ID_FILE_SAVE);
        dSave += timer.nsecsElapsed() / 1e9;

        CScenarioFile reader(setup.host.Heap());
        SScenarioData read;
        reader.Initialize(setup.host.LibMgr(), setup.host.Registry(), setup.host.ErrorReporter());
        reader.CreateTreatmentArray(read.pTreatments);
        timer.restart();
        reader.Open(path.c_str());
        reader.ReadRecords(&read);
        reader.Close();
        dRead += timer.nsecsElapsed() / 1e9;

        CScenarioFile writer(setup.host.Heap());
        writer.Initialize(setup.host.LibMgr(), setup.host.Registry(), setup.host.ErrorReporter());
        timer.restart();
        writer.Create(barePath.c_str());
        writer.WriteRecords(&scenario);
        writer.Close();
        dWrite += timer.nsecsElapsed() / 1e9;
        timer.restart();
        WoxSyncFile(barePath);
        dFlush += timer.nsecsElapsed() / 1e9;
        ++nRuns;
        state.SetIterationTime(dRun);
    }
    state.counters["open_show_s"] = dOpen / nRuns;
    state.counters["bare_read_s"] = dRead / nRuns;
    state.counters["open_ratio"] = dRead > 0 ? dOpen / dRead : 0.0;
    state.counters["save_s"] = dSave / nRuns;
    state.counters["bare_write_s"] = dWrite / nRuns;
    state.counters["save_ratio"] = dWrite > 0 ? dSave / dWrite : 0.0;
    state.counters["bare_write_flush_s"] = (dWrite + dFlush) / nRuns;
    state.counters["save_ratio_flushed"] = dWrite + dFlush > 0 ? dSave / (dWrite + dFlush) : 0.0;
    CBenchAutomation answerNo;
    editor.OnCommand(ID_FILE_EXIT);
    editor.DestroyWindow();
}

BENCHMARK(BM_TreeByYear)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridByStand)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOpenAndSave)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
