#include "SpeciesSelectDlg.h"

#include <QBrush>
#include <QItemSelectionModel>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "HostObject.h"
#include "MessageBox.h"
#include "SpeciesMap.h"
#include "SpeciesSelectResources.h"
#include "WoxText.h"

namespace
{
QString FieldText(const char* pField, size_t nWidth)
{
    char szText[64];
    WoxFieldToString(szText, sizeof szText, pField, std::min(nWidth, sizeof szText - 1));
    return QString::fromUtf8(szText);
}

template <size_t N>
QString FieldText(const char (&field)[N])
{
    return FieldText(field, N);
}

std::string UpperCode(const char* pField)
{
    return FieldText(pField, 10).toUpper().toStdString();
}
} // namespace

CSpeciesSelectWindow::CSpeciesSelectWindow(CWnd* pParent) : CDialog(IDD_SPECIES_SELECT, pParent)
{
    WoxUseSpeciesSelectResources();
}

CSpeciesSelectWindow::~CSpeciesSelectWindow() { DestroyWindow(); }

void CSpeciesSelectWindow::SetSpecies(std::vector<SSpeciesRecord> species, const std::vector<std::string>& chosen)
{
    m_species = std::move(species);
    std::stable_sort(m_species.begin(), m_species.end(),
                     [](const SSpeciesRecord& a, const SSpeciesRecord& b) { return UpperCode(a.szCode) < UpperCode(b.szCode); });
    m_held.clear();
    for (const std::string& code : chosen)
        m_held.insert(QString::fromStdString(code).toUpper().toStdString());
    m_chosen.assign(m_species.size(), false);
}

bool CSpeciesSelectWindow::Matches(const SSpeciesRecord& species, const QString& search)
{
    const QString fields = FieldText(species.szCode) + QLatin1Char(' ') + FieldText(species.szScientificName) + QLatin1Char(' ') +
                           FieldText(species.szCommonName);
    const QStringList words = search.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString& word) { return fields.contains(word, Qt::CaseInsensitive); });
}

BOOL CSpeciesSelectWindow::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_caption.empty())
        SetWindowText(m_caption.c_str());
    SubclassDlgItem(IDC_SPECIES_LIST, &m_list);
    m_list.InsertColumn(0, "Code", LVCFMT_LEFT, DluToPixelX(48));
    m_list.InsertColumn(1, "Scientific Name", LVCFMT_LEFT, DluToPixelX(108));
    m_list.InsertColumn(2, "Common Name", LVCFMT_LEFT, DluToPixelX(96));
    m_selection.clear();
    m_chosen.assign(m_species.size(), false);
    ShowRows();
    if (CWnd* pSearch = GetDlgItem(IDC_SPECIES_SEARCH))
        pSearch->SetFocus();
    return 1;
}

void CSpeciesSelectWindow::ShowRows()
{
    QTableWidget* pTable = m_list.Table();
    if (!pTable)
        return;
    CWnd* pSearch = GetDlgItem(IDC_SPECIES_SEARCH);
    const QString search = QString::fromStdString(pSearch ? pSearch->GetWindowText() : std::string());
    m_bFilling = true;
    pTable->setUpdatesEnabled(false);
    m_list.DeleteAllItems();
    m_shown.clear();
    const QBrush held = pTable->palette().brush(QPalette::Disabled, QPalette::Text);
    for (size_t i = 0; i < m_species.size(); ++i)
    {
        const SSpeciesRecord& species = m_species[i];
        if (!Matches(species, search))
            continue;
        const int nRow = static_cast<int>(m_shown.size());
        char szCode[11], szScientific[51], szCommon[51];
        WoxFieldToString(szCode, sizeof szCode, species.szCode, sizeof species.szCode);
        WoxFieldToString(szScientific, sizeof szScientific, species.szScientificName, sizeof species.szScientificName);
        WoxFieldToString(szCommon, sizeof szCommon, species.szCommonName, sizeof species.szCommonName);
        m_list.InsertItem(nRow, szCode);
        m_list.SetItemText(nRow, 1, szScientific);
        m_list.SetItemText(nRow, 2, szCommon);
        if (m_held.count(UpperCode(species.szCode)))
        {
            for (int nColumn = 0; nColumn < 3; ++nColumn)
                if (QTableWidgetItem* pItem = pTable->item(nRow, nColumn))
                {
                    pItem->setForeground(held);
                    pItem->setToolTip(QStringLiteral("Already in the species list"));
                }
        }
        if (m_chosen[i])
            pTable->selectionModel()->select(pTable->model()->index(nRow, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_shown.push_back(static_cast<int>(i));
    }
    pTable->setUpdatesEnabled(true);
    m_bFilling = false;
    ShowCount();
}

void CSpeciesSelectWindow::RememberSelection()
{
    if (m_bFilling)
        return;
    std::vector<bool> rowChosen(m_shown.size(), false);
    for (int nRow : m_list.GetSelectedItems())
        if (nRow >= 0 && nRow < static_cast<int>(rowChosen.size()))
            rowChosen[nRow] = true;
    for (size_t nRow = 0; nRow < m_shown.size(); ++nRow)
        m_chosen[m_shown[nRow]] = rowChosen[nRow];
    ShowCount();
}

void CSpeciesSelectWindow::ShowCount()
{
    const long nChosen = std::count(m_chosen.begin(), m_chosen.end(), true);
    char szText[96];
    std::snprintf(szText, sizeof szText, "%zu of %zu species shown, %ld selected", m_shown.size(), m_species.size(), nChosen);
    if (CWnd* pCount = GetDlgItem(IDC_SPECIES_COUNT))
        pCount->SetWindowText(szText);
}

BOOL CSpeciesSelectWindow::OnNotify(int nIdCtrl, int nCode)
{
    if (nIdCtrl == IDC_SPECIES_SEARCH && nCode == EN_CHANGE)
    {
        ShowRows();
        return 1;
    }
    if (nIdCtrl == IDC_SPECIES_LIST && nCode == LVN_ITEMCHANGED)
    {
        RememberSelection();
        return 1;
    }
    if (nIdCtrl == IDC_SPECIES_LIST && nCode == NM_DBLCLK)
    {
        OnOK();
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

void CSpeciesSelectWindow::OnOK()
{
    RememberSelection();
    m_selection.clear();
    for (size_t i = 0; i < m_species.size(); ++i)
        if (m_chosen[i])
            m_selection.push_back(m_species[i]);
    if (m_selection.empty())
    {
        WoxMessageBox("Select one or more species, or press Cancel.", MB_OK);
        return;
    }
    EndDialog(IDOK);
}

CSpeciesSelectDlg::CSpeciesSelectDlg(HWOXHEAP hHeap, HWOXWND hParent) : m_hHeap(hHeap), m_hParent(hParent) {}

void CSpeciesSelectDlg::AddReference() { ++m_nRef; }

void CSpeciesSelectDlg::Release()
{
    if (--m_nRef < 1)
        delete this;
}

int CSpeciesSelectDlg::Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool*, IWoxRegistry* pRegistry, ISpeciesMap* pSpeciesMap,
                                  IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<ISpeciesListExt> pChosen, int)
{
    m_bInitialized = false;
    if (!pLibMgr || !pRegistry || !pSpeciesMap)
        return 0;
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", m_szDataController, m_hDataController))
        return 0;

    // The catalogue gives the species to list; the map decides which of them count as known, so
    // every code offered is one the map recognises.
    char szCatalogue[WOX_MAX_PATH] = {};
    CWoxSpeciesMap catalogue;
    if (pRegistry->ReadString("General", "Species Catalogue", szCatalogue, sizeof szCatalogue) <= 0 ||
        !catalogue.Load(szCatalogue, nullptr))
        return 0;
    m_species.clear();
    for (const SSpeciesRecord& listed : catalogue.Species())
    {
        SSpeciesRecord record = {};
        std::memcpy(record.szCode, listed.szCode, sizeof record.szCode);
        if (pSpeciesMap->LookupSpecies("Plants", &record))
            m_species.push_back(record);
    }

    m_held.clear();
    const int nChosen = pChosen ? pChosen->GetSize() : 0;
    for (int i = 0; i < nChosen; ++i)
        if (const SSpeciesRecord* pRecord = pChosen->GetAt(i))
        {
            char szCode[sizeof pRecord->szCode + 1];
            WoxFieldToString(szCode, sizeof szCode, pRecord->szCode, sizeof pRecord->szCode);
            m_held.push_back(szCode);
        }
    m_bInitialized = true;
    return 1;
}

void CSpeciesSelectDlg::SetTitle(const char* pszTitle) { m_title = pszTitle ? pszTitle : ""; }

int CSpeciesSelectDlg::DoModal()
{
    m_bConfirmed = false;
    if (!m_bInitialized)
        return 0;
    CSpeciesSelectWindow window(CWnd::FromHandle(m_hParent));
    window.SetSpecies(m_species, m_held);
    window.SetCaption(m_title);
    if (window.DoModal() != IDOK)
        return 0;
    m_selection = window.Selection();
    m_bConfirmed = true;
    return 1;
}

int CSpeciesSelectDlg::GetSelection(IDynamicPtrTemplate<ISpeciesListExt>* ppSelection)
{
    if (!ppSelection || !m_bConfirmed)
        return 0;
    IDynamicPtrTemplate<ISpeciesListExt> pList;
    if (!WoxCreateHostObject<PFN_CreateSpeciesMapExt>(m_hDataController, "CreateSpeciesMapExt", pList, m_hHeap) ||
        !pList->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter))
        return 0;
    for (const SSpeciesRecord& record : m_selection)
        if (!pList->Add(&record))
            return 0;
    *ppSelection = pList;
    return 1;
}
