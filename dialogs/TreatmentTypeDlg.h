#pragma once
// The modal "Treatment Types" dialog: lists the project's treatment components (as the port data
// object lists them, in its order) and answers the GUID of the one chosen. User-interface thread.

#include "ComponentInterface.h"
#include "Containers.h"
#include "Dialog.h"
#include "HostServices.h"
#include "ListCtrl.h"
#include "PortData.h"

class CTreatmentTypeDlg : public CDialog
{
public:
    explicit CTreatmentTypeDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);
    ~CTreatmentTypeDlg() override;

    // Loads the Data Controller Library (once) and makes the type array. 0 on any failure: the
    // dialog must then not be shown.
    int Initialize(IWoxLibMgr* pLibMgr, ICompMgr* pCompMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                   IDynamicPtrTemplate<IPortData> pPortData);

    // Copies the chosen component's GUID (all zero unless the dialog ended with OK); answers 1.
    int GetTreatmentType(GUID* pGuid) const;

    BOOL OnInitDialog() override;
    // Takes the selected row's GUID and closes; without a selected row the dialog stays open.
    void OnOK() override;

    CListCtrl& List() { return m_list; }

private:
    CListCtrl m_list;
    GUID m_guidChosen = {};
    HWOXHEAP m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    IDynamicPtrTemplate<IArrayExt2> m_pTypes;   // row i answers element i
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    ICompMgr* m_pCompMgr = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IDynamicPtrTemplate<IPortData> m_pPortData;
    char m_szDataController[WOX_MAX_PATH] = {};
};
