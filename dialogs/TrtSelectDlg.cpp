#include "TrtSelectDlg.h"

#include <cstdio>
#include <vector>

#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioData.h"
#include "ScenarioResources.h"
#include "WoxText.h"

CTrtSelectDlg::CTrtSelectDlg(HWOXHEAP hHeap, int nMode, CWnd* pParent) : CDialog(IDD_TRT_SELECT, pParent), m_nMode(nMode), m_hHeap(hHeap)
{
    WoxUseScenarioResources();
}

int CTrtSelectDlg::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                              IDynamicPtrTemplate<IArrayExt2> pSource, IDynamicPtrTemplate<IArrayExt2> pResult)
{
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    m_pSource = pSource;
    m_pResult = pResult;
    if (!m_pSource || !m_pResult || !m_pRegistry)
        return 0;
    return m_pRegistry->ReadString("Libraries", "Data Controller Library", m_szDataController, sizeof(m_szDataController)) > 0 ? 1 : 0;
}

BOOL CTrtSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_TRT_SELECT_LIST, &m_list);
    SubclassDlgItem(IDOK, &m_firstButton);
    m_list.InsertColumn(0, "Year", LVCFMT_LEFT, 100);
    m_list.InsertColumn(1, "Stand", LVCFMT_LEFT, 100);
    m_list.InsertColumn(2, "Treatment", LVCFMT_LEFT, 200);
    if (m_nMode == MODE_DELETE)
        m_firstButton.SetWindowText("Delete...");
    else if (m_nMode == MODE_EDIT)
        m_firstButton.SetWindowText("Edit...");

    const int nRecords = m_pSource ? m_pSource->GetSize() : 0;
    for (int i = 0; i < nRecords; ++i)
    {
        const auto* pRecord = static_cast<const SScenarioTreatment*>(m_pSource->GetAt(i, 0));
        if (!pRecord)
            continue;
        char szYear[32];
        if (pRecord->bTriggered)
            std::snprintf(szYear, sizeof szYear, "%d - %d", pRecord->nYear, pRecord->nEndYear);
        else
            std::snprintf(szYear, sizeof szYear, "%d", pRecord->nYear);
        char szStand[sizeof(pRecord->szStand) + 1];
        WoxFieldToString(szStand, sizeof szStand, pRecord->szStand, sizeof(pRecord->szStand));
        char szTreatment[256];   // display texts hold at most 255 characters
        WoxFieldToString(szTreatment, sizeof szTreatment, pRecord->treatment.szName, sizeof(pRecord->treatment.szName));

        const int nRow = m_list.InsertItem(m_list.GetItemCount(), szYear);
        m_list.SetItemText(nRow, 1, szStand);
        m_list.SetItemText(nRow, 2, szTreatment);
        // A skipped record leaves rows and records out of step, so each row keeps its record's index.
        m_list.SetItemData(nRow, i);
    }
    return 1;
}

void CTrtSelectDlg::OnOK()
{
    const std::vector<int> rows = m_list.GetSelectedItems();
    if (rows.empty())
    {
        WoxMessageBox("At least one item must be selected to delete.", MB_OK);
        return;
    }
    const int nBefore = m_pResult->GetSize();
    for (int nRow : rows)
    {
        const void* pRecord = m_pSource->GetAt(static_cast<int>(m_list.GetItemData(nRow)), 0);
        if (!pRecord || !m_pResult->Add(pRecord))
        {
            // The caller gets every picked record or none.
            m_pResult->RemoveAt(nBefore, m_pResult->GetSize() - nBefore);
            if (m_pErrorReporter)
                m_pErrorReporter->ReportError("Select the Treatments", "A picked treatment record could not be copied.");
            EndDialog(IDCANCEL);
            return;
        }
    }
    EndDialog(IDOK);
}
