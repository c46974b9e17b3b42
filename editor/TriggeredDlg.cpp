#include "TriggeredDlg.h"

#include <QStyle>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "HostDialogs.h"
#include "HostObject.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioRecords.h"
#include "ScenarioResources.h"
#include "TriggerDefDlg.h"
#include "TriggeredLoadViewTd.h"
#include "TriggeredSaveTd.h"
#include "WoxText.h"
#include "YearParamDlg.h"

namespace
{
// A year below this is unset in the working record.
constexpr int kUnsetYear = 100;
// Texts built for display hold at most this many characters.
constexpr size_t kMaxText = 255;
constexpr size_t kMaxErrorText = 1023;

const char* const kErrorHeader = "The following errors must be corrected:\n\n";

std::string Limited(std::string text, size_t nMax = kMaxText)
{
    if (text.size() > nMax)
        text.resize(nMax);
    return text;
}

std::string Format(const char* pszFormat, const char* pszText, double dValue)
{
    char sz[kMaxText + 1];
    std::snprintf(sz, sizeof sz, pszFormat, pszText, dValue);
    return sz;
}

std::string Bounds(double dMin, double dMax)
{
    char sz[kMaxText + 1];
    std::snprintf(sz, sizeof sz, "%.2lf:%.2lf", dMin, dMax);
    return sz;
}

// Column widths in pixels as the dialog was laid out for; this font may need more.
constexpr int kTriggerColumns[] = {75, 100, 50, 50};
constexpr int kTreatmentColumns[] = {125, 250};

// Widens each column whose texts do not fit, never below its given width.
template <size_t N>
void FitColumns(CListCtrl& list, const int (&widths)[N])
{
    QTableWidget* pTable = list.Table();
    if (!pTable)
        return;
    for (int c = 0; c < static_cast<int>(N); ++c)
    {
        pTable->resizeColumnToContents(c);
        if (pTable->columnWidth(c) < widths[c])
            pTable->setColumnWidth(c, widths[c]);
    }
}

const SScenarioTreatment* RecordAt(IArrayExt2* pArray, int nIndex)
{
    return pArray ? static_cast<const SScenarioTreatment*>(pArray->GetAt(nIndex, 0)) : nullptr;
}
} // namespace

long CTriggeredStandList::InsertItem(const LVITEM* pItem)
{
    m_bInserting = true;
    const long nRow = CListCtrlEx::InsertItem(pItem);
    m_bInserting = false;
    return nRow;
}

CTriggeredDlg::CTriggeredDlg(HWOXHEAP hHeap, CWnd* pParent) : CDialog(IDD_TRIGGERED, pParent), CEditorBase(hHeap)
{
    WoxUseScenarioResources();
    std::memset(&m_recWork, 0, sizeof m_recWork);
    ResetTriggerPart(m_recWork);
}

CTriggeredDlg::~CTriggeredDlg()
{
    // The load task first: it posts to the stand list until it has stopped.
    m_pLoadTask.reset();
    DestroyWindow();
    // Without OK nobody takes the listed treatments: the blocks the dialog owns go with it.
    if (!m_bAccepted && m_pTreatments)
        for (int i = 0, n = m_pTreatments->GetSize(); i < n; ++i)
            if (const SScenarioTreatment* pRecord = RecordAt(m_pTreatments.Get(), i))
                FreeOwnedBlock(pRecord->treatment.pData);
    m_pTreatments.Clear();
    m_pStands.Clear();
}

int CTriggeredDlg::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, ICompMgr* pCompMgr, IWoxThreadPool* pThreadPool,
                              ISpeciesMap* pSpeciesMap, IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData,
                              SScenarioData* pScenarioData, IArrayExt2* pSource, int bEditMode)
{
    if (!CEditorBase::Initialize(pLibMgr, pRegistry, pCompMgr, pThreadPool, pSpeciesMap, pErrorReporter, pPortData))
        return 0;
    m_pScenarioData = pScenarioData;
    m_bEditMode = bEditMode ? 1 : 0;
    if (!WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "Common Control Library", m_szCommonControl, m_hCommonControl))
        return 0;
    if (!WoxCreateArrayExt2(m_hDataController, m_hHeap, m_pLibMgr, m_pRegistry, m_pErrorReporter, sizeof(m_recWork.szStand), m_pStands) ||
        !CreateTreatmentArray(m_pTreatments))
        return 0;
    if (pSource)
        m_pTreatments->Copy(pSource, 1);
    m_sourceRows.clear();
    for (int i = 0, n = m_pTreatments->GetSize(); i < n; ++i)
        m_sourceRows.push_back(i);
    return 1;
}

BOOL CTriggeredDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_TRIGGERED_TREATMENT_ADD, &m_add);
    SubclassDlgItem(IDC_TRIGGERED_TREATMENT_DELETE, &m_delete);
    SubclassDlgItem(IDC_TRIGGERED_TREATMENT_DOWN, &m_down);
    SubclassDlgItem(IDC_TRIGGERED_TREATMENT_UP, &m_up);
    SubclassDlgItem(IDC_TRIGGERED_YEAR_PARAM, &m_yearParam);
    SubclassDlgItem(IDC_TRIGGERED_STANDS, &m_standList);
    SubclassDlgItem(IDC_TRIGGERED_TREATMENTS, &m_treatmentList);
    SubclassDlgItem(IDC_TRIGGERED_MULTIPLE, &m_multiple);
    SubclassDlgItem(IDC_TRIGGERED_TRIGGERS, &m_triggerList);
    SubclassDlgItem(IDC_TRIGGERED_TRIGGER_ADD, &m_addTrigger);
    m_standSelected.clear();

    // One column as wide as the list, less a vertical scroll bar's room, so a long list scrolls
    // only one way.
    QWidget* pStands = m_standList.GetWidget();
    const int nScrollBar = pStands->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_standList.InsertColumn(0, "", std::max(20, pStands->contentsRect().width() - nScrollBar));
    m_treatmentList.InsertColumn(0, "Name", kTreatmentColumns[0]);
    m_treatmentList.InsertColumn(1, "Description", kTreatmentColumns[1]);
    m_triggerList.InsertColumn(0, "Condition", kTriggerColumns[0]);
    m_triggerList.InsertColumn(1, "Species", kTriggerColumns[1]);
    m_triggerList.InsertColumn(2, "DBH", kTriggerColumns[2]);
    m_triggerList.InsertColumn(3, "Height", kTriggerColumns[3]);
    // The check box's text is wider in this font than its place in the template.
    if (QWidget* pBox = m_multiple.GetWidget(); pBox && pBox->sizeHint().width() > pBox->width())
        pBox->resize(pBox->sizeHint().width(), pBox->height());
    if (m_bEditMode)
    {
        m_standList.EnableWindow(0);
        m_add.EnableWindow(0);
        m_up.EnableWindow(0);
        m_down.EnableWindow(0);
        m_yearParam.EnableWindow(0);
    }

    if (!StartLoadTask())
    {
        EndDialog(IDCANCEL);
        return 1;
    }
    const int nRecords = m_pTreatments->GetSize();
    if (const SScenarioTreatment* pFirst = nRecords > 0 ? RecordAt(m_pTreatments.Get(), 0) : nullptr)
    {
        m_recWork = *pFirst;
        for (int i = 0, n = ScenarioTriggerCount(m_recWork); i < n; ++i)
            SetTriggerRow(i, m_recWork.triggers[i]);
    }
    for (int i = 0; i < nRecords; ++i)
        if (const SScenarioTreatment* pRecord = RecordAt(m_pTreatments.Get(), i))
            InsertTreatmentRow(m_treatmentList.GetItemCount(), *pRecord);
    if (m_bEditMode && nRecords == 1)
        m_delete.EnableWindow(0);
    UpdateTriggerAdd();
    m_pLoadTask->Submit(m_pThreadPool);
    return 1;
}

int CTriggeredDlg::StartLoadTask()
{
    char szSelect[sizeof m_recWork.szStand + 1] = {};
    if (m_bEditMode)
    {
        if (const SScenarioTreatment* pFirst = RecordAt(m_pTreatments.Get(), 0))
        {
            m_pStands->Add(pFirst->szStand);
            WoxFieldToString(szSelect, sizeof szSelect, pFirst->szStand, sizeof pFirst->szStand);
        }
    }
    auto pTask = std::unique_ptr<CTriggeredLoadViewTd>(new (std::nothrow) CTriggeredLoadViewTd(m_hHeap));
    if (!pTask || !pTask->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, m_pPortData, m_standList.GetSafeHwnd(), szSelect))
        return 0;
    m_pLoadTask = std::move(pTask);
    return 1;
}

void CTriggeredDlg::SetTriggerRow(int nRow, const SScenarioTriggerSpec& spec)
{
    char szVariable[sizeof spec.szVariable + 1];
    WoxFieldToString(szVariable, sizeof szVariable, spec.szVariable, sizeof spec.szVariable);
    std::string condition;
    switch (spec.nOperator)
    {
    case TRIGGER_LESS: condition = Format("%s < %.2lf", szVariable, spec.dValue); break;
    case TRIGGER_EQUAL: condition = Format("%s = %.2lf", szVariable, spec.dValue); break;
    case TRIGGER_GREATER: condition = Format("%s > %.2lf", szVariable, spec.dValue); break;
    default: condition = szVariable; break;
    }
    std::string species = spec.bInclude ? "+" : "-";
    for (int i = 0, n = ScenarioSpeciesCount(spec); i < n; ++i)
    {
        char szCode[sizeof spec.szSpecies[i] + 1];
        WoxFieldToString(szCode, sizeof szCode, spec.szSpecies[i], sizeof spec.szSpecies[i]);
        species = Limited(species + ":" + szCode);
    }
    if (nRow >= m_triggerList.GetItemCount())
        nRow = m_triggerList.CListCtrl::InsertItem(m_triggerList.GetItemCount(), "");
    m_triggerList.SetItemText(nRow, 0, Limited(condition).c_str());
    m_triggerList.SetItemText(nRow, 1, species.c_str());
    m_triggerList.SetItemText(nRow, 2, Bounds(spec.dDbhMin, spec.dDbhMax).c_str());
    m_triggerList.SetItemText(nRow, 3, Bounds(spec.dHeightMin, spec.dHeightMax).c_str());
    FitColumns(m_triggerList, kTriggerColumns);
}

void CTriggeredDlg::InsertTreatmentRow(int nRow, const SScenarioTreatment& record)
{
    char szName[sizeof record.treatment.szName + 1];
    char szDescription[sizeof record.treatment.szDescription + 1];
    WoxFieldToString(szName, kMaxText + 1, record.treatment.szName, sizeof record.treatment.szName);
    WoxFieldToString(szDescription, kMaxText + 1, record.treatment.szDescription, sizeof record.treatment.szDescription);
    nRow = m_treatmentList.CListCtrl::InsertItem(nRow, szName);
    m_treatmentList.SetItemText(nRow, 1, szDescription);
    FitColumns(m_treatmentList, kTreatmentColumns);
}

void CTriggeredDlg::UpdateTriggerAdd()
{
    const bool bFull = ScenarioTriggerCount(m_recWork) >= WOX_SCENARIO_MAX_TRIGGERS;
    m_addTrigger.EnableWindow(bFull ? 0 : 1);
    if (QWidget* pButton = m_addTrigger.GetWidget())
        pButton->setToolTip(bFull ? QString::fromUtf8(kTriggerLimitTip) : QString());
}

BOOL CTriggeredDlg::OnCommand(int nId)
{
    switch (nId)
    {
    case IDC_TRIGGERED_TRIGGER_ADD: OnAddTrigger(); return 1;
    case IDC_TRIGGERED_TRIGGER_EDIT: OnEditTrigger(); return 1;
    case IDC_TRIGGERED_TRIGGER_DELETE: OnDeleteTrigger(); return 1;
    case IDC_TRIGGERED_TREATMENT_ADD: OnAddTreatments(); return 1;
    case IDC_TRIGGERED_TREATMENT_DELETE: OnDeleteTreatments(); return 1;
    case IDC_TRIGGERED_TREATMENT_EDIT: OnEditTreatments(); return 1;
    case IDC_TRIGGERED_TREATMENT_UP: OnMoveTreatment(-1); return 1;
    case IDC_TRIGGERED_TREATMENT_DOWN: OnMoveTreatment(1); return 1;
    case IDC_TRIGGERED_YEAR_PARAM: OnChangeYearParam(); return 1;
    case IDC_TRIGGERED_HELP: return 1;
    default: return CDialog::OnCommand(nId);
    }
}

BOOL CTriggeredDlg::OnNotify(int nIdCtrl, int nCode)
{
    if (nIdCtrl == IDC_TRIGGERED_STANDS && nCode == LVN_ITEMCHANGED)
    {
        OnStandSelectionChanged();
        return 1;
    }
    if (nIdCtrl == IDC_TRIGGERED_TREATMENTS && nCode == NM_DBLCLK)
    {
        OnEditTreatments();
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

void CTriggeredDlg::OnStandSelectionChanged()
{
    const int nRows = m_standList.GetItemCount();
    std::vector<char> selected(static_cast<size_t>(nRows), 0);
    for (int nRow : m_standList.GetSelectedItems())
        if (nRow >= 0 && nRow < nRows)
            selected[static_cast<size_t>(nRow)] = 1;
    if (!m_standList.IsInserting())
    {
        char szStand[sizeof m_recWork.szStand];
        for (int nRow = 0; nRow < nRows; ++nRow)
        {
            const bool bWas = static_cast<size_t>(nRow) < m_standSelected.size() && m_standSelected[static_cast<size_t>(nRow)];
            if (bWas == (selected[static_cast<size_t>(nRow)] != 0))
                continue;
            WoxCopyText(szStand, m_standList.GetItemText(nRow, 0).c_str());
            if (!bWas)
            {
                m_pStands->Add(szStand);
                continue;
            }
            for (int i = 0, n = m_pStands->GetSize(); i < n; ++i)
            {
                auto* pStand = static_cast<const char*>(m_pStands->GetAt(i, 0));
                if (pStand && WoxCompareText(pStand, szStand, sizeof szStand) == 0)
                {
                    m_pStands->RemoveAt(i, 1);
                    break;
                }
            }
        }
    }
    m_standSelected = std::move(selected);
}

int CTriggeredDlg::EditTrigger(SScenarioTriggerSpec& spec)
{
    CTriggerDefDlg dialog(m_hHeap, this);
    if (!dialog.Initialize(m_pLibMgr, m_pRegistry, m_pThreadPool, m_pSpeciesMap, m_pErrorReporter, &spec))
        return 0;
    if (dialog.DoModal() != IDOK)
        return 0;
    dialog.GetTriggerSpec(&spec);
    return 1;
}

void CTriggeredDlg::OnAddTrigger()
{
    const int nTriggers = ScenarioTriggerCount(m_recWork);
    if (nTriggers >= WOX_SCENARIO_MAX_TRIGGERS)
        return;
    SScenarioTriggerSpec spec = m_recWork.triggers[nTriggers];
    if (!EditTrigger(spec))
        return;
    m_recWork.triggers[nTriggers] = spec;
    m_recWork.nTriggers = nTriggers + 1;
    SetTriggerRow(nTriggers, spec);
    UpdateTriggerAdd();
}

void CTriggeredDlg::OnEditTrigger()
{
    const int nRow = m_triggerList.GetSelectedItem();
    if (nRow < 0 || nRow >= ScenarioTriggerCount(m_recWork))
        return;
    SScenarioTriggerSpec spec = m_recWork.triggers[nRow];
    if (!EditTrigger(spec))
        return;
    m_recWork.triggers[nRow] = spec;
    SetTriggerRow(nRow, spec);
}

void CTriggeredDlg::OnDeleteTrigger()
{
    const int nRow = m_triggerList.GetSelectedItem();
    const int nTriggers = ScenarioTriggerCount(m_recWork);
    if (nRow < 0 || nRow >= nTriggers)
        return;
    if (WoxMessageBox("Are you sure you want to delete the selected trigger?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_triggerList.DeleteItem(nRow);
    std::memmove(&m_recWork.triggers[nRow], &m_recWork.triggers[nRow + 1], sizeof(SScenarioTriggerSpec) * static_cast<size_t>(nTriggers - nRow - 1));
    m_recWork.nTriggers = nTriggers - 1;
    ResetTriggerFilter(m_recWork.triggers[nTriggers - 1]);
    UpdateTriggerAdd();
}

void CTriggeredDlg::OnAddTreatments()
{
    STreatmentData selection;
    if (!SelectTriggeredTreatments(&selection) || !selection.pTreatments)
        return;
    for (int i = 0, n = selection.pTreatments->GetSize(); i < n; ++i)
    {
        auto* pTreatment = static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(i, 0));
        if (!pTreatment)
            continue;
        SScenarioTreatment record;
        std::memset(&record, 0, sizeof record);
        record.treatment = *pTreatment;
        if (m_pTreatments->Add(&record))
        {
            InsertTreatmentRow(m_treatmentList.GetItemCount(), record);
            m_sourceRows.push_back(-1);
        }
        else
            FreeOwnedBlock(record.treatment.pData);
    }
}

void CTriggeredDlg::OnDeleteTreatments()
{
    // The rows chosen now, last first so the others keep their indexes (the list would move its
    // selection to a neighbour of a deleted row).
    std::vector<int> rows = m_treatmentList.GetSelectedItems();
    std::sort(rows.rbegin(), rows.rend());
    for (int nRow : rows)
    {
        const SScenarioTreatment* pRecord = RecordAt(m_pTreatments.Get(), nRow);
        const uint32_t hBlock = pRecord ? pRecord->treatment.pData : 0;
        m_treatmentList.DeleteItem(nRow);
        if (!m_pTreatments->RemoveAt(nRow, 1))
            continue;
        FreeOwnedBlock(hBlock);
        if (nRow < static_cast<int>(m_sourceRows.size()))
            m_sourceRows.erase(m_sourceRows.begin() + nRow);
    }
    if (m_bEditMode && m_treatmentList.GetItemCount() == 1)
        m_delete.EnableWindow(0);
}

void CTriggeredDlg::OnEditTreatments()
{
    IDynamicPtrTemplate<IArrayExt2> pChosen;
    if (!CreateTreatmentArray(pChosen))
        return;
    for (int nRow : m_treatmentList.GetSelectedItems())
    {
        const SScenarioTreatment* pRecord = RecordAt(m_pTreatments.Get(), nRow);
        if (!pRecord)
            continue;
        SScenarioTreatment record = *pRecord;
        record.bTriggered = 0;
        m_pTreatments->SetAt(nRow, 0, &record);
        pChosen->Add(&record);
    }
    if (pChosen->GetSize() == 0)
        return;
    // The component's change is written back into the list (OnRecordReplaced, OnScenarioModified).
    m_scenario.pTreatments = m_pTreatments;
    ModifyTreatments(pChosen.Get());
    m_scenario.pTreatments.Clear();
}

bool CTriggeredDlg::OwnsBlock(uint32_t hBlock) const
{
    // A new treatment's blocks are the dialog's alone; in edit mode the listed records share
    // theirs with the scenario's records until OK.
    return hBlock && (!m_bEditMode || std::find(m_ownedBlocks.begin(), m_ownedBlocks.end(), hBlock) != m_ownedBlocks.end());
}

void CTriggeredDlg::FreeOwnedBlock(uint32_t hBlock)
{
    if (!OwnsBlock(hBlock))
        return;
    std::erase(m_ownedBlocks, hBlock);
    if (m_hHeap)
        m_hHeap->Free(hBlock);
}

void CTriggeredDlg::OnRecordReplaced(int, const SScenarioTreatment& old, const SScenarioTreatment& now)
{
    if (old.treatment.pData == now.treatment.pData)
        return;
    FreeOwnedBlock(old.treatment.pData);
    if (m_bEditMode && now.treatment.pData)
        m_ownedBlocks.push_back(now.treatment.pData);
}

void CTriggeredDlg::OnScenarioModified()
{
    for (int nRow = 0, n = m_treatmentList.GetItemCount(); nRow < n; ++nRow)
    {
        const SScenarioTreatment* pRecord = RecordAt(m_pTreatments.Get(), nRow);
        if (!pRecord)
            continue;
        char szText[kMaxText + 1];
        WoxFieldToString(szText, sizeof szText, pRecord->treatment.szName, sizeof pRecord->treatment.szName);
        m_treatmentList.SetItemText(nRow, 0, szText);
        WoxFieldToString(szText, sizeof szText, pRecord->treatment.szDescription, sizeof pRecord->treatment.szDescription);
        m_treatmentList.SetItemText(nRow, 1, szText);
    }
    FitColumns(m_treatmentList, kTreatmentColumns);
}

void CTriggeredDlg::OnMoveTreatment(int nStep)
{
    const int nRow = m_treatmentList.GetSelectedItem();
    const int nOther = nRow + nStep;
    if (nRow < 0 || nOther < 0 || nOther >= m_treatmentList.GetItemCount())
        return;
    const SScenarioTreatment* pMoved = RecordAt(m_pTreatments.Get(), nRow);
    const SScenarioTreatment* pNeighbour = RecordAt(m_pTreatments.Get(), nOther);
    if (!pMoved || !pNeighbour)
        return;
    const SScenarioTreatment moved = *pMoved;
    const SScenarioTreatment neighbour = *pNeighbour;
    m_pTreatments->SetAt(nRow, 0, &neighbour);
    m_pTreatments->SetAt(nOther, 0, &moved);
    if (std::max(nRow, nOther) < static_cast<int>(m_sourceRows.size()))
        std::swap(m_sourceRows[nRow], m_sourceRows[nOther]);

    const int nUpper = std::min(nRow, nOther);
    m_treatmentList.DeleteItem(nUpper);
    m_treatmentList.DeleteItem(nUpper);
    InsertTreatmentRow(nUpper, nStep < 0 ? moved : neighbour);
    InsertTreatmentRow(nUpper + 1, nStep < 0 ? neighbour : moved);
    // The moved row is the current one (the anchor for the keyboard); no row stays selected.
    m_treatmentList.SelectItem(-1);
    if (QTableWidget* pTable = m_treatmentList.Table())
        pTable->selectionModel()->setCurrentIndex(pTable->model()->index(nOther, 0), QItemSelectionModel::NoUpdate);
}

void CTriggeredDlg::OnChangeYearParam()
{
    CYearParamDlg dialog(this);
    const SScenarioTreatment copy = m_recWork;
    if (!dialog.Initialize(m_pPortData, m_pScenarioData, &copy))
        return;
    // Without a positive period length there is no list of period years to choose from.
    if (dialog.GetProjectInfo().nPeriodLength <= 0)
    {
        WoxMessageBox(kNoPeriodsText, MB_OK | MB_ICONWARNING);
        return;
    }
    if (dialog.DoModal() == IDOK)
        dialog.GetRecord(&m_recWork);
}

void CTriggeredDlg::OnOK()
{
    std::string errors = kErrorHeader;
    auto append = [&](const char* pszError) { errors = Limited(errors + "\n" + pszError, kMaxErrorText); };
    const size_t nHeader = errors.size();

    if (m_recWork.nYear < kUnsetYear && m_pPortData)
    {
        SProjectInfo project;
        std::memset(&project, 0, sizeof project);
        if (m_pPortData->GetProjectInfo(&project))
            m_recWork.nYear = project.nFirstYear;
    }
    if (m_recWork.nEndYear < kUnsetYear && m_pScenarioData)
        m_recWork.nEndYear = m_pScenarioData->info.nEndYear;
    if (!m_bEditMode && m_standList.GetSelectedItem() < 0)
        append("You must select a stand.");
    if (m_triggerList.GetItemCount() == 0)
        append("You must specify a trigger.");
    if (m_treatmentList.GetItemCount() == 0)
        append("You must enter a treatment.");
    if (errors.size() > nHeader)
    {
        WoxMessageBox(errors.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    // Set only once the definition is accepted, so a box checked before a refused OK and then
    // cleared does not leave the flag behind.
    if (m_multiple.GetCheck())
        m_recWork.nFlags |= WOX_TREATMENT_ALLOW_MULTIPLE;

    IDynamicPtrTemplate<IProgressDlg> pProgress;
    if (!WoxCreateHostObject<PFN_CreateProgressDlg>(m_hCommonControl, "CreateProgressDlg", pProgress, GetSafeHwnd()) ||
        !pProgress->Create(IDynamicPtrTemplate<IDynamic>()))
        return;
    auto* pTask = new (std::nothrow) CTriggeredSaveTd(m_hHeap);
    if (!pTask)
        return;
    if (!pTask->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, pProgress, m_pStands, &m_recWork, m_pTreatments))
    {
        delete pTask;
        return;
    }
    pTask->SetKeepRecordIdentity(m_bEditMode != 0);
    // From a successful submission on the task is its own: it deletes itself when its run ends.
    if (!pTask->Submit(m_pThreadPool))
    {
        delete pTask;
        return;
    }
    pProgress->DoModal();
    pProgress.Clear();
    // The result records carry the listed treatments' blocks to the caller.
    m_bAccepted = true;
    m_ownedBlocks.clear();
    EndDialog(IDOK);
}
