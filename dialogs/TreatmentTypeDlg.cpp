#include "TreatmentTypeDlg.h"

#include "HostObject.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"
#include "WoxText.h"

namespace
{
constexpr int kColumnWidth = 150;
constexpr int kTreatmentComponents = WOX_DESIGNATOR_TREATMENT;
}

CTreatmentTypeDlg::CTreatmentTypeDlg(HWOXHEAP hHeap, CWnd* pParent) : CDialog(IDD_TREATMENT_TYPES, pParent), m_hHeap(hHeap)
{
    WoxUseScenarioResources();
}

CTreatmentTypeDlg::~CTreatmentTypeDlg()
{
    DestroyWindow();
    m_pPortData.Clear();
    m_pTypes.Clear();
}

int CTreatmentTypeDlg::Initialize(IWoxLibMgr* pLibMgr, ICompMgr* pCompMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                                  IDynamicPtrTemplate<IPortData> pPortData)
{
    m_pLibMgr = pLibMgr;
    m_pCompMgr = pCompMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    m_pPortData = pPortData;
    if (!WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "Data Controller Library", m_szDataController, m_hDataController))
        return 0;
    if (!WoxCreateArrayExt2(m_hDataController, m_hHeap, m_pLibMgr, m_pRegistry, m_pErrorReporter, sizeof(GUID), m_pTypes))
    {
        m_pTypes.Clear();
        return 0;
    }
    return 1;
}

int CTreatmentTypeDlg::GetTreatmentType(GUID* pGuid) const
{
    if (pGuid)
        *pGuid = m_guidChosen;
    return 1;
}

BOOL CTreatmentTypeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_TREATMENT_TYPE_LIST, &m_list);
    m_list.InsertColumn(0, "", LVCFMT_LEFT, kColumnWidth);
    m_guidChosen = {};
    if (!m_pTypes || !m_pPortData || !m_pCompMgr)
        return 1;
    // A dialog shown again lists afresh: rows and type elements start at 0 together.
    m_pTypes->RemoveAll(0);

    IDynamicPtrTemplate<IArrayExt2> pListed;
    if (!WoxCreateArrayExt2(m_hDataController, m_hHeap, m_pLibMgr, m_pRegistry, m_pErrorReporter, sizeof(SComponentListEntry), pListed) ||
        !m_pPortData->GetComponentList(kTreatmentComponents, pListed, 1))
        return 1;
    for (int i = 0, n = pListed->GetSize(); i < n; ++i)
    {
        auto* pEntry = static_cast<const SComponentListEntry*>(pListed->GetAt(i, 0));
        if (!pEntry)
            continue;
        IDynamicPtrTemplate<IDynamic> pObject = m_pCompMgr->GetComponent(pEntry->guidComponent);
        auto* pComponent = static_cast<IComponent*>(pObject.Get());
        SComponentDisplay display = {};
        // A component that is gone or cannot describe itself ends the list: the rows so far stay.
        if (!pComponent || !pComponent->GetDisplayInfo(&display))
            break;
        char szName[sizeof display.szName] = {};
        WoxFieldToString(szName, sizeof szName, display.szName, sizeof display.szName);
        const int nRow = m_list.InsertItem(m_list.GetItemCount(), szName);
        if (nRow < 0 || !m_pTypes->Add(&pEntry->guidComponent))
            break;
    }
    return 1;
}

void CTreatmentTypeDlg::OnOK()
{
    const int nRow = m_list.GetSelectedItem();
    // No row chosen: nothing to answer yet, so the dialog stays open.
    auto* pGuid = nRow >= 0 && m_pTypes ? static_cast<const GUID*>(m_pTypes->GetAt(nRow, 0)) : nullptr;
    if (!pGuid)
        return;
    m_guidChosen = *pGuid;
    EndDialog(IDOK);
}
