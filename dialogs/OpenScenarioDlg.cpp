#include "OpenScenarioDlg.h"

#include "MessageBox.h"
#include "HostObject.h"
#include "OpenScenarioLoadViewTd.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"
#include "WoxText.h"

namespace
{
constexpr int kColumnWidth = 175;
}

COpenScenarioDlg::COpenScenarioDlg(HWOXHEAP hHeap, CWnd* pParent) : CDialog(IDD_OPEN_SCENARIO, pParent), m_hHeap(hHeap)
{
    WoxUseScenarioResources();
}

COpenScenarioDlg::~COpenScenarioDlg()
{
    m_pTask.reset();
    DestroyWindow();
    m_pPortData.Clear();
    m_pPaths.Clear();
}

bool COpenScenarioDlg::Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry,
                                  IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData)
{
    m_pLibMgr = pLibMgr;
    m_pThreadPool = pThreadPool;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    m_pPortData = pPortData;
    if (!WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "Data Controller Library", m_szDataController, m_hDataController))
        return false;
    if (!WoxCreateArrayExt2(m_hDataController, m_hHeap, m_pLibMgr, m_pRegistry, m_pErrorReporter, WOX_MAX_PATH, m_pPaths))
    {
        m_pPaths.Clear();
        return false;
    }
    return true;
}

BOOL COpenScenarioDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_OPEN_SCENARIO_LIST, &m_list);
    m_list.InsertColumn(0, "Name", kColumnWidth);
    m_list.InsertColumn(1, "Description", kColumnWidth);
    m_szChosenPath[0] = 0;

    // A dialog shown again starts a fresh listing: rows and paths begin at 0.
    m_pTask.reset();
    if (m_pPaths)
        m_pPaths->RemoveAll(0);

    auto pTask = std::make_unique<COpenScenarioLoadViewTd>(m_hHeap);
    if (pTask->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, m_pPortData, m_list.GetSafeHwnd(), m_pPaths))
    {
        m_pTask = std::move(pTask);
        m_pTask->Submit(m_pThreadPool);
    }
    return 1;
}

void COpenScenarioDlg::OnOK()
{
    int nRow = m_list.GetSelectedItem();
    const char* pszPath = nRow >= 0 && m_pPaths ? static_cast<const char*>(m_pPaths->GetAt(nRow, 0)) : nullptr;
    if (!pszPath)
    {
        WoxMessageBox("You must select a scenario file to open.", MB_OK);
        return;
    }
    WoxCopyText(m_szChosenPath, sizeof(m_szChosenPath), pszPath);
    EndDialog(IDOK);
}

BOOL COpenScenarioDlg::OnNotify(int nIdCtrl, int nCode)
{
    if (nIdCtrl == IDC_OPEN_SCENARIO_LIST && nCode == NM_DBLCLK)
    {
        OnOK();
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}
