#pragma once
// The modal "Open Scenario" dialog: lists the scenario files of the project's scenario folder,
// filled in the background by COpenScenarioLoadViewTd, and answers the chosen file's full path.
// User-interface thread.

#include <memory>

#include "Containers.h"
#include "Dialog.h"
#include "HostServices.h"
#include "ListCtrlEx.h"
#include "PortData.h"

class COpenScenarioLoadViewTd;

class COpenScenarioDlg : public CDialog
{
public:
    explicit COpenScenarioDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);
    ~COpenScenarioDlg() override;

    // Loads the Data Controller Library (once) and makes the shared path array. False on any
    // failure: the dialog must then not be shown.
    bool Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                    IDynamicPtrTemplate<IPortData> pPortData);

    // The chosen file's full path; empty until OK succeeded.
    const char* GetChosenPath() const { return m_szChosenPath; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;

    CListCtrlEx& List() { return m_list; }

private:
    CListCtrlEx m_list;
    std::unique_ptr<COpenScenarioLoadViewTd> m_pTask;
    HWOXHEAP m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    char m_szDataController[WOX_MAX_PATH] = {};
    IDynamicPtrTemplate<IArrayExt2> m_pPaths;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxThreadPool* m_pThreadPool = nullptr;
    IDynamicPtrTemplate<IPortData> m_pPortData;
    char m_szChosenPath[WOX_MAX_PATH] = {};
};
