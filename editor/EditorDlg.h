#pragma once
// The Scenario Editor window: shows one scenario file's treatments as a tree or a grid, by year or
// by stand, and offers the file commands (new, open, save, close) and the treatment commands (add
// normal, add triggered, delete, modify, change end year). The window changes the scenario data
// (through the editor base), runs the small dialogs, keeps the menu and the title in step and
// restarts its two tasks; the tasks fill the views on pool threads.
//
// Everything here runs on the user-interface thread. Before changing view modes, the end year or
// the scenario it stops the tasks (StopThread(1)); Delete and Modify remove or change records of
// the shared treatment array and submit partial reloads without stopping the add task.
//
// Parameter blocks: every record of the scenario's array owns its block. Delete frees the block of
// a removed record and Close frees the blocks of all records before emptying the array.
//
// Undo and redo (Ctrl+Z; Ctrl+Shift+Z or Ctrl+Y) step through the changes of add, delete, modify
// and end year within the open file; Save keeps the history, Close, New and Open drop it.

#include <memory>
#include <string>

#include "Dialog.h"
#include "EditorBase.h"
#include "EditorHistory.h"
#include "EditorListCtrlEx.h"
#include "EditorTreeCtrlEx.h"
#include "Menu.h"

class CEditorAddTreatmentTd;
class CEditorLoadViewTd;

class CEditorDlg : public CDialog, private CEditorBase
{
public:
    explicit CEditorDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);
    // Closes an open file (with its save prompt), then ends both tasks.
    ~CEditorDlg() override;

    // The services of the host and its port object; 0 (nothing shown) when the editor base, the
    // registry, the grid, the project information or the treatment array fail.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, ICompMgr* pCompMgr, IWoxRegistry* pRegistry,
                   IWoxErrorReporter* pErrorReporter, ISpeciesMap* pSpeciesMap, IDynamicPtrTemplate<IPortData> pPortData);

    BOOL OnInitDialog() override;
    BOOL OnCommand(int nId) override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;
    void OnSize(int nWidth, int nHeight) override;
    void OnContextMenu(int x, int y) override;

    // What the window shows, for the host's automation and for tests.
    bool IsModified() const { return bModified != 0; }
    bool IsFileOpen() const { return bFileOpen != 0; }
    int ViewBy() const { return nViewBy; }
    int ViewType() const { return nViewType; }
    bool HasTasks() const { return pAddTask && pLoadTask; }
    CMenu& Menu() { return menu; }
    CEditorTreeCtrlEx& Tree() { return tree; }
    CEditorListCtrlEx& Grid() { return grid; }
    const SScenarioData& Scenario() const { return m_scenario; }
    // Waits until the load task has carried out every run submitted so far.
    void WaitForLoad();
    // Ctrl+Z and Ctrl+Shift+Z / Ctrl+Y; false when there was nothing to undo or redo.
    bool Undo() { return StepHistory(true); }
    bool Redo() { return StepHistory(false); }
    const CEditorHistory& History() const { return history; }

    // The confirmation text of a delete for the chosen records (SScenarioTreatment), limited as
    // the message box shows it.
    static std::string DeleteConfirmationText(IArrayExt2* pChosen);

protected:
    void OnScenarioModified() override { SetModified(1); }
    // The editor base overwrote or removed a stored record (Modify): remembered for undo, then
    // the base frees the block.
    void OnRecordReplaced(int nIndex, const SScenarioTreatment& old, const SScenarioTreatment& now) override;
    void OnRecordRemoved(int nIndex, const SScenarioTreatment& old) override;
    // Shows the context menu at a screen point and answers the chosen command, 0 for none.
    virtual int TrackContextMenu(CMenu& popup, int x, int y);

private:
    void SetModified(int flag);
    void SetFileMenu(int open);
    // Greys what needs the tasks when they could not be made, and puts the view marks on.
    void UpdateMenuMarks();
    bool CreateTasks();
    // Stops both tasks, hands the load task the scenario and submits the add task, then the load task.
    void RestartTasks();
    void SubmitTasks();

    // Waits (bounded) until the add task has appended every record queued so far.
    void WaitForAdds();
    void OnNew();
    void OnOpen();
    bool OnSave();
    void OnClose();
    void OnExit();
    void OnChangeEndYear();
    void OnViewCommand(int nId);
    void OnAddNormal();
    void OnAddTriggered();
    void OnDelete();
    void OnModify();
    // The active view's selection as 36-byte keys; false when the keys cannot be had.
    bool SelectedKeys(IDynamicPtrTemplate<IArrayExt2>& pKeys);
    // Every scenario record under the selection, without duplicates, into pFound.
    bool SelectedTreatments(IDynamicPtrTemplate<IArrayExt2>& pFound);
    // The records the user picks for a delete (mode 0, confirmed) or an edit (mode 1).
    bool ChooseTreatments(int nMode, IDynamicPtrTemplate<IArrayExt2>& pChosen);
    // Reloads the view items of a record: its year for a normal record, every period year from
    // its year to its end year for a triggered one.
    void ReloadRecordYears(const SScenarioTreatment& record);
    void EmptyScenario();
    // Records the records the add task appended from index nFrom on as one undo step.
    void RecordAdded(int nFrom);
    bool StepHistory(bool bUndo);
    bool ShowSaveFailure(const std::string& reason);

    int32_t bModified = 0;
    int32_t bFileOpen = 0;
    std::unique_ptr<CEditorAddTreatmentTd> pAddTask;
    std::unique_ptr<CEditorLoadViewTd> pLoadTask;
    CEditorListCtrlEx grid;
    CEditorTreeCtrlEx tree;
    CMenu menu;
    int32_t nViewBy = 1;
    int32_t nViewType = 0;
    int32_t nClientHeight = -1;
    int32_t nClientWidth = -1;
    SProjectInfo projectInfo = {};
    // The tasks' hide-untreated state, so that a freshly loaded menu shows it.
    int32_t bHideUntreated = 1;
    CEditorHistory history;
    int32_t bReloadAll = 0;   // Modify changed a triggered record: the whole view reloads after it
};
