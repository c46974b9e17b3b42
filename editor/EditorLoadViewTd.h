#pragma once
// The Scenario Editor's load task: lays out and fills the active view (tree or grid, by stand or
// by year) from the editor's scenario on a pool thread, through posted requests only. Setters run
// on the window thread and take the run mutex, so they never change a running body's parameters;
// the window's pattern is StopThread(1), setters, submit.
//
// A partial reload (set by the window after a delete or modify) clears and refills only the items
// of one (year, stand) pair and keeps the rest of the view. A stopped run leaves the view partly
// filled; the next full run starts with a clear.
//
// The treatment array is the editor's own, shared by reference: the host array serialises every
// operation itself, so this task reads it without a lock of its own while the add task appends
// and the window removes.

#include "Containers.h"
#include "PortData.h"
#include "ScenarioData.h"
#include "ThreadBase.h"
#include "Wnd.h"

class CEditorLoadViewTd final : public CWoxThreadBase
{
public:
    explicit CEditorLoadViewTd(HWOXHEAP hHeap);
    ~CEditorLoadViewTd() override;

    // InitThread, then keeps the rest, loads the Data Controller Library and reads the project
    // information. 0 on any failure.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData,
                   HWOXWND hGridIn, HWOXWND hTreeIn, int nViewTypeIn, int nViewByIn, int bHideUntreatedIn);

    // Window thread; each waits for the run mutex. Those marked so then post the clear of the
    // active view.
    void SetHideUntreated(int bHide);             // posts the clear
    void SetViewBy(int nViewByIn);
    void SetViewType(int nViewTypeIn);            // posts the clear of the new active view
    void SetPartialReload(int nYear, const char* pszStand);
    void SetScenario(const SScenarioData& data);  // copies; the treatment array is shared; posts the clear

    int RunThread() override;

private:
    void PostClearOfActiveView();
    // Posts the rows and columns (grid) or nodes (tree) of every stand and year. False when the
    // stand list or the project cannot be read, or the run is stopped.
    bool PostSkeleton();
    void Fill(int nReloadYear, const char* pszReloadStand);
    // One item per year the record is shown in; false when the view is gone or a stop came.
    // Posts the record's items: in every year it shows, or in nOnlyYear alone (-1: every year).
    bool PostRecord(const SScenarioTreatment& record, int nOnlyYear = -1);

    int32_t bHideUntreated = 1;
    char szReloadStand[30] = {};
    int32_t nViewType = 0;
    int32_t nViewBy = 1;
    HWOXHEAP hTaskHeap = 0;
    HWOXMODULE hDataController = nullptr;
    HWOXWND hGrid = 0;
    HWOXWND hTree = 0;
    IWoxErrorReporter* pTaskErrorReporter = nullptr;
    IWoxLibMgr* pTaskLibMgr = nullptr;
    IWoxRegistry* pTaskRegistry = nullptr;
    IDynamicPtrTemplate<IPortData> pPortData;
    int32_t nReloadYear = -1;
    SProjectInfo project = {};
    SScenarioData scenario;
    char szDataController[WOX_MAX_PATH] = {};
};
