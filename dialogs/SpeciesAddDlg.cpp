#include "SpeciesAddDlg.h"

#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "HostDialogs.h"
#include "HostObject.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"
#include "WoxText.h"

namespace
{
const char* const kGroup = "Plants";
const char* const kMaximumReached =
    "Warning:  The maximum number of species records have been added.  The new entry is ignored.";
const char* const kNotRecognized = "That species code is not recognized by WOX.\n\nPlease modify the code or Look Up the species.";
const char* const kAlreadyListed = "That species is already part of the subset list.\n  It will not be added.";
const char* const kRefused =
    "The following species were not new or exceeded the number of allowed species:\n\n%s\n\nThey will not be added to the subset list.";
constexpr int kRefusalText = 1024;
} // namespace

void CSpeciesAddDlg::CCodeEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar != 13)
    {
        CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    if (auto* pDialog = dynamic_cast<CSpeciesAddDlg*>(GetOwnerDialog()))
        pDialog->AddTypedCode();
}

bool CSpeciesAddDlg::CAddedList::OnWidgetEvent(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Delete)
    {
        if (auto* pDialog = dynamic_cast<CSpeciesAddDlg*>(GetOwnerDialog()))
            pDialog->RemoveSelectedRow();
        return true;
    }
    return CListCtrl::OnWidgetEvent(pWatched, pEvent);
}

CSpeciesAddDlg::CSpeciesAddDlg(HWOXHEAP hHeap, CWnd* pParent) : CDialog(IDD_SPECIES_ADD, pParent), m_hHeap(hHeap)
{
    WoxUseScenarioResources();
}

CSpeciesAddDlg::~CSpeciesAddDlg() { DestroyWindow(); }

int CSpeciesAddDlg::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxThreadPool* pThreadPool, ISpeciesMap* pSpeciesMap,
                               IWoxErrorReporter* pErrorReporter, const char (*pExisting)[kCodeWidth], int nExisting)
{
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pThreadPool = pThreadPool;
    m_pSpeciesMap = pSpeciesMap;
    m_pErrorReporter = pErrorReporter;
    // A count from a damaged record never reads past the 15 codes.
    m_nExisting = pExisting ? std::clamp(nExisting, 0, kMaxCodes) : 0;
    std::memset(m_existing, 0, sizeof m_existing);
    if (m_nExisting > 0)
        std::memcpy(m_existing, pExisting, static_cast<size_t>(m_nExisting) * kCodeWidth);
    m_nAdded = 0;
    if (!pSpeciesMap)
        return 0;
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", m_szDataController, m_hDataController))
        return 0;
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Species Map Library", m_szSpeciesMapLibrary, m_hSpeciesMapLibrary))
        return 0;
    return 1;
}

const char* CSpeciesAddDlg::GetAddedCode(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nAdded ? m_added[nIndex] : nullptr;
}

BOOL CSpeciesAddDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_SPECIES_CODE, &m_codeEdit);
    SubclassDlgItem(IDC_SPECIES_ADDED_LIST, &m_list);
    m_list.InsertColumn(0, "Species", LVCFMT_LEFT, 75);
    m_list.InsertColumn(1, "Scientific Name", LVCFMT_LEFT, 125);
    m_list.InsertColumn(2, "Common Name", LVCFMT_LEFT, 125);
    m_nAdded = 0;
    std::memset(m_added, 0, sizeof m_added);
    return 1;
}

bool CSpeciesAddDlg::IsListed(const char* pszCode) const
{
    for (int i = 0; i < m_nExisting; ++i)
        if (WoxCompareText(m_existing[i], pszCode, kCodeWidth) == 0)
            return true;
    for (int i = 0; i < m_nAdded; ++i)
        if (WoxCompareText(m_added[i], pszCode, kCodeWidth) == 0)
            return true;
    return false;
}

void CSpeciesAddDlg::AppendRow(const SSpeciesRecord& record)
{
    char szCode[kCodeWidth + 1];
    char szScientific[sizeof record.szScientificName + 1];
    char szCommon[sizeof record.szCommonName + 1];
    WoxFieldToString(szCode, sizeof szCode, record.szCode, kCodeWidth);
    WoxFieldToString(szScientific, sizeof szScientific, record.szScientificName, sizeof record.szScientificName);
    WoxFieldToString(szCommon, sizeof szCommon, record.szCommonName, sizeof record.szCommonName);
    const int nRow = m_list.InsertItem(m_list.GetItemCount(), szCode);
    m_list.SetItemText(nRow, 1, szScientific);
    m_list.SetItemText(nRow, 2, szCommon);
    std::memcpy(m_added[m_nAdded], record.szCode, kCodeWidth);
    ++m_nAdded;
}

bool CSpeciesAddDlg::AddTypedCode()
{
    if (m_nExisting + m_nAdded >= kMaxCodes)
    {
        WoxMessageBox(kMaximumReached, MB_OK);
        return false;
    }
    SSpeciesRecord record = {};
    WoxCopyText(record.szCode, m_codeEdit.GetWindowText().c_str());
    if (!m_pSpeciesMap || !m_pSpeciesMap->LookupSpecies(kGroup, &record))
    {
        WoxMessageBox(kNotRecognized, MB_OK);
        return false;
    }
    // The map answers the code in its own spelling, so "psme" and "PSME" are one species.
    if (IsListed(record.szCode))
    {
        WoxMessageBox(kAlreadyListed, MB_OK);
        return false;
    }
    AppendRow(record);
    m_codeEdit.SetWindowText("");
    return true;
}

void CSpeciesAddDlg::LookUp()
{
    IDynamicPtrTemplate<ISpeciesListExt> pHeld;
    if (!WoxCreateHostObject<PFN_CreateSpeciesMapExt>(m_hDataController, "CreateSpeciesMapExt", pHeld, m_hHeap) ||
        !pHeld->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter))
        return;
    for (int i = 0; i < m_nExisting + m_nAdded; ++i)
    {
        SSpeciesRecord record = {};
        std::memcpy(record.szCode, i < m_nExisting ? m_existing[i] : m_added[i - m_nExisting], kCodeWidth);
        pHeld->Add(&record);
    }
    IDynamicPtrTemplate<ISpeciesSelectDlg> pSelect;
    if (!WoxCreateHostObject<PFN_CreateSpeciesSelectDlg>(m_hSpeciesMapLibrary, "CreateSpeciesSelectDlg", pSelect, m_hHeap,
                                                         GetSafeHwnd()) ||
        !pSelect->Initialize(m_pLibMgr, m_pThreadPool, m_pRegistry, m_pSpeciesMap, m_pErrorReporter, pHeld, 0))
        return;
    if (pSelect->DoModal() != 1)
        return;
    IDynamicPtrTemplate<ISpeciesListExt> pChosen;
    if (!pSelect->GetSelection(&pChosen) || !pChosen)
        return;

    char szRefused[kRefusalText] = {};
    const int nChosen = pChosen->GetSize();
    for (int i = 0; i < nChosen; ++i)
    {
        const SSpeciesRecord* pRecord = pChosen->GetAt(i);
        if (!pRecord)
            continue;
        if (!IsListed(pRecord->szCode) && m_nExisting + m_nAdded < kMaxCodes)
        {
            AppendRow(*pRecord);
            continue;
        }
        char szCode[kCodeWidth + 1];
        WoxFieldToString(szCode, sizeof szCode, pRecord->szCode, kCodeWidth);
        if (!*szRefused)
            WoxCopyText(szRefused, sizeof szRefused, szCode);
        else
        {
            char szJoined[kRefusalText];
            std::snprintf(szJoined, sizeof szJoined, "%s, %s", szRefused, szCode);
            WoxCopyText(szRefused, sizeof szRefused, szJoined);
        }
    }
    if (*szRefused)
    {
        std::string message(std::strlen(kRefused) + std::strlen(szRefused), '\0');
        const int nLength = std::snprintf(message.data(), message.size() + 1, kRefused, szRefused);
        message.resize(static_cast<size_t>(std::max(nLength, 0)));
        WoxMessageBox(message.c_str(), MB_OK);
    }
}

void CSpeciesAddDlg::RemoveSelectedRow()
{
    const int nRow = m_list.GetSelectedItem();
    if (nRow < 0 || nRow >= m_nAdded)
        return;
    m_list.DeleteItem(nRow);
    std::memmove(m_added[nRow], m_added[nRow + 1], static_cast<size_t>(m_nAdded - nRow - 1) * kCodeWidth);
    --m_nAdded;
    std::memset(m_added[m_nAdded], 0, kCodeWidth);
}

BOOL CSpeciesAddDlg::OnCommand(int nId)
{
    if (nId == IDC_SPECIES_LOOK_UP)
    {
        LookUp();
        return 1;
    }
    return CDialog::OnCommand(nId);
}

void CSpeciesAddDlg::OnOK()
{
    if (!m_codeEdit.GetWindowText().empty() && !AddTypedCode())
        return;
    EndDialog(IDOK);
}
