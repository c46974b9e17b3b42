#pragma once
// The modal "Specify Treatment Trigger" dialog: one condition of a triggered treatment, a stand
// variable offered by the host's function libraries, a comparison, a threshold, and the filter
// of the tree records the variable is computed on (species included or excluded, diameter and
// height bounds). The variable box fills in the background (CTriggerDefLoadViewTd) while the
// dialog takes input. Works on a copy of the condition; the caller reads it back after OK.
// User-interface thread.

#include <memory>

#include "ComboBoxEx.h"
#include "ComboBoxEx2.h"
#include "Containers.h"
#include "Dialog.h"
#include "Edit.h"
#include "HostServices.h"
#include "ScenarioData.h"

class CTriggerDefLoadViewTd;
class QListWidget;

class CTriggerDefDlg : public CDialog
{
public:
    CTriggerDefDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);
    // Ends the load task (waiting for a run in progress) before the window goes.
    ~CTriggerDefDlg() override;

    // Copies the condition (none keeps the zero-filled one), loads the Data Controller Library and
    // makes the array of function descriptors. 0 on any failure; the dialog must then not be shown.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxThreadPool* pThreadPool, ISpeciesMap* pSpeciesMap,
                   IWoxErrorReporter* pErrorReporter, const SScenarioTriggerSpec* pSpec);
    // Copies the condition (536 bytes) out; after OK it holds what the user chose.
    void GetTriggerSpec(SScenarioTriggerSpec* pSpec) const;

    BOOL OnInitDialog() override;
    // Takes the chosen variable's descriptor and the entries; stays open without a variable (no
    // message: the list may still be filling) and, with one message, on entries it cannot take.
    void OnOK() override;
    BOOL OnCommand(int nId) override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;


private:
    // Keeps a number edit's text ending in a digit or '.': a typed other character goes again.
    void DropTypedNonNumber(int nId);
    void AddSpecies();
    void RemoveSpecies();
    QListWidget* SpeciesList();
    std::string EditText(int nId);

    CComboBoxEx m_conditionBox;
    CComboBoxEx2 m_variableBox;
    CEdit m_valueEdit;
    std::unique_ptr<CTriggerDefLoadViewTd> pLoadTask;
    HWOXHEAP m_hHeap;
    HWOXMODULE hDataController = nullptr;
    IDynamicPtrTemplate<IArrayExt2> pVariables;
    IWoxErrorReporter* pErrorReporter = nullptr;
    IWoxLibMgr* pLibMgr = nullptr;
    IWoxRegistry* pRegistry = nullptr;
    IWoxThreadPool* pThreadPool = nullptr;
    ISpeciesMap* pSpeciesMap = nullptr;
    SScenarioTriggerSpec spec;
    char szDataController[WOX_MAX_PATH];
    CComboBoxEx m_speciesModeBox;
};
