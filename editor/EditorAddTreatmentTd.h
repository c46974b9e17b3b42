#pragma once
// The Scenario Editor's add task: waits on its queue for new treatment records for the whole life
// of the editor window, shows each in the active view and appends it to the editor's treatment
// array. The window thread pushes records (add normal, add from an array); the pool thread waits,
// shows, appends and removes the head, so every record is appended exactly once.
//
// The treatment array is the editor's own, shared by reference: the host array serialises every
// operation itself, so the task appends without a lock of its own while the load task reads and
// the window removes and replaces records.

#include "ComponentInterface.h"
#include "Containers.h"
#include "PortData.h"
#include "ScenarioData.h"
#include "ThreadBase.h"
#include "Wnd.h"

class CEditorAddTreatmentTd final : public CWoxThreadBase
{
public:
    explicit CEditorAddTreatmentTd(HWOXHEAP hHeap);
    ~CEditorAddTreatmentTd() override;

    // InitThread, then keeps the rest, makes the queue and reads the project information. 0 on
    // any failure.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData,
                   HWOXWND hGridIn, HWOXWND hTreeIn, int nViewTypeIn, int nViewByIn, int bHideUntreatedIn,
                   IDynamicPtrTemplate<IArrayExt2> pTreatmentsIn);

    // Window thread; each waits for the run mutex.
    void SetHideUntreated(int bHide);
    void SetViewBy(int nViewByIn);
    void SetViewType(int nViewTypeIn);

    // One record per year, stand and treatment of the selection, in that nesting order, with the
    // trigger part at its defaults, pushed into the queue. 0 when the queue refuses one.
    int AddNormalTreatments(const STreatmentData& selection);
    // Pushes every 8888-byte record of the array, then lets go of it. 0 when the queue refuses one.
    int AddTreatments(IDynamicPtrTemplate<IArrayExt2> pRecords);

    // Records waiting in the queue (any thread).
    int QueuedCount();

    int RunThread() override;

private:
    bool ShowRecord(const SScenarioTreatment& record);

    int32_t bHideUntreated = 1;   // kept in step by the window, not read here
    int32_t nViewBy = 1;
    int32_t nViewType = 0;
    HWOXHEAP hTaskHeap = 0;
    HWOXMODULE hDataController = nullptr;
    HWOXWND hGrid = 0;
    HWOXWND hTree = 0;
    IDynamicPtrTemplate<IArrayExt2> pTreatments;
    IWoxErrorReporter* pTaskErrorReporter = nullptr;
    IWoxLibMgr* pTaskLibMgr = nullptr;
    IWoxRegistry* pTaskRegistry = nullptr;
    IDynamicPtrTemplate<IPortData> pPortData;
    IDynamicPtrTemplate<IQueueExt2> pQueue;
    SProjectInfo project = {};
    char szDataController[WOX_MAX_PATH] = {};
};
