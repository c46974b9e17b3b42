#pragma once
// The modal "Select the Treatments" dialog: lists treatment records (year or year range, stand,
// treatment) and copies the rows the user picks into the caller's result array. In mode 0 its
// first button deletes, in mode 1 it edits; Enter cancels. User-interface thread.

#include "Button.h"
#include "Containers.h"
#include "Dialog.h"
#include "HostServices.h"
#include "ListCtrl.h"

class CTrtSelectDlg : public CDialog
{
public:
    enum : int
    {
        MODE_DELETE = 0,
        MODE_EDIT = 1,
    };

    CTrtSelectDlg(HWOXHEAP hHeap, int nMode, CWnd* pParent = nullptr);

    // Keeps the services and both arrays (of SScenarioTreatment) and reads the Data Controller
    // Library's path. 0 when an array is missing or the registry does not answer.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                   IDynamicPtrTemplate<IArrayExt2> pSource, IDynamicPtrTemplate<IArrayExt2> pResult);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CListCtrl& List() { return m_list; }

private:
    CListCtrl m_list;
    int m_nMode;
    HWOXHEAP m_hHeap;
    IDynamicPtrTemplate<IArrayExt2> m_pResult;
    IDynamicPtrTemplate<IArrayExt2> m_pSource;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    char m_szDataController[WOX_MAX_PATH] = {};
    CButton m_firstButton;
};
