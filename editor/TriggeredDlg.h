#pragma once
// The modal "Triggered Treatment Definition" dialog: one or more treatments for one or more
// stands, applied only when all of up to 15 conditions hold, tested from a start year to an end
// year. It never writes into the scenario: after OK, GetTreatments answers one complete record
// per selected stand and listed treatment, all with the same years, flags and conditions. In edit
// mode it works on the records of an existing triggered treatment, which keep their stands.
//
// User-interface thread. Two tasks work for it: CTriggeredLoadViewTd fills the stand list while
// the dialog is up (destroyed with the dialog), and CTriggeredSaveTd builds the result records
// at OK while the host's progress dialog is shown (it deletes itself).

#include <memory>
#include <vector>

#include "Button.h"
#include "Dialog.h"
#include "EditorBase.h"
#include "ListCtrlEx.h"

class CTriggeredLoadViewTd;

// The stand list: knows while a row from the load task goes in, so that row's selection is not
// taken for the user's.
class CTriggeredStandList final : public CListCtrlEx
{
public:
    long InsertItem(const LVITEM* pItem) override;
    bool IsInserting() const { return m_bInserting; }

private:
    bool m_bInserting = false;
};

class CTriggeredDlg : public CDialog, private CEditorBase
{
public:
    CTriggeredDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);
    ~CTriggeredDlg() override;

    // The editor base's services, the scenario (read for its end year), the records to start
    // from (none for a new triggered treatment) and the mode. Loads the Common Control Library
    // and makes the stand and treatment arrays. 0 on any failure: the dialog must not be shown.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, ICompMgr* pCompMgr, IWoxThreadPool* pThreadPool, ISpeciesMap* pSpeciesMap,
                   IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData, SScenarioData* pScenarioData,
                   IArrayExt2* pSource, int bEditMode);

    // The listed treatments while the dialog runs; the result records after OK.
    IDynamicPtrTemplate<IArrayExt2> GetTreatments() const { return m_pTreatments; }
    // The selected stands (30-byte identifiers) in the order they were selected.
    IDynamicPtrTemplate<IArrayExt2> GetStands() const { return m_pStands; }
    // Edit mode, after OK: per result record, the index of the source record it was made from.
    const std::vector<int>& GetSourceRows() const { return m_sourceRows; }
    // Years, flags and conditions of the triggered treatment being defined.
    const SScenarioTreatment& GetWorkingRecord() const { return m_recWork; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(int nId) override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;

    // Shown on the disabled Add... of the conditions while 15 are listed.
    static constexpr const char* kTriggerLimitTip = "A treatment holds at most 15 conditions.";
    static constexpr const char* kNoPeriodsText =
        "The project's period length is not a positive number of years, so there are no period years to choose from.";

protected:
    // Lets the user define one condition in the trigger definition dialog; 1 when it ended with
    // OK and spec holds the condition.
    virtual int EditTrigger(SScenarioTriggerSpec& spec);

private:
    // A treatment's parameters changed in the list (the editor base wrote them back).
    void OnScenarioModified() override;
    // A listed treatment got a new parameter block from its component: the dialog owns the new
    // one and frees the one it replaced only when it was its own, since in edit mode the others
    // still belong to the scenario's records.
    void OnRecordReplaced(int nIndex, const SScenarioTreatment& old, const SScenarioTreatment& now) override;
    bool OwnsBlock(uint32_t hBlock) const;
    void FreeOwnedBlock(uint32_t hBlock);

    int StartLoadTask();
    // Sets the four texts of a condition row; nRow past the end appends a row.
    void SetTriggerRow(int nRow, const SScenarioTriggerSpec& spec);
    void InsertTreatmentRow(int nRow, const SScenarioTreatment& record);
    void UpdateTriggerAdd();
    void OnStandSelectionChanged();

    void OnAddTrigger();
    void OnEditTrigger();
    void OnDeleteTrigger();
    void OnAddTreatments();
    void OnDeleteTreatments();
    void OnEditTreatments();
    void OnMoveTreatment(int nStep);
    void OnChangeYearParam();

    int32_t m_bEditMode = 0;
    CButton m_add;
    CButton m_delete;
    CButton m_down;
    CButton m_up;
    CButton m_yearParam;
    CTriggeredStandList m_standList;
    CListCtrlEx m_treatmentList;
    std::unique_ptr<CTriggeredLoadViewTd> m_pLoadTask;
    HWOXMODULE m_hCommonControl = nullptr;
    IDynamicPtrTemplate<IArrayExt2> m_pStands;
    IDynamicPtrTemplate<IArrayExt2> m_pTreatments;
    SScenarioData* m_pScenarioData = nullptr;
    SScenarioTreatment m_recWork;
    char m_szCommonControl[WOX_MAX_PATH] = {};
    CButton m_multiple;
    CListCtrlEx m_triggerList;
    CButton m_addTrigger;
    std::vector<char> m_standSelected;   // each stand row's selection as last seen
    // Per treatment row, the source record it shows (-1 for a row added here).
    std::vector<int> m_sourceRows;
    // Edit mode: blocks the component made during this dialog, not yet handed to the caller.
    std::vector<uint32_t> m_ownedBlocks;
    bool m_bAccepted = false;
};
