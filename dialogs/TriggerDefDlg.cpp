#include "TriggerDefDlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuncEnum.h"
#include "HostObject.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"
#include "SpeciesAddDlg.h"
#include "TriggerDefLoadViewTd.h"
#include "WoxText.h"

namespace
{
constexpr int kCodeWidth = 10;
constexpr size_t kEditText = 256;   // characters read from an edit
const int kNumberEdits[] = {IDC_TRIGGER_VALUE, IDC_TRIGGER_DBH_MIN, IDC_TRIGGER_DBH_MAX, IDC_TRIGGER_HEIGHT_MIN, IDC_TRIGGER_HEIGHT_MAX};

// The leading decimal number of a text; 0.0 when it has none.
double LeadingNumber(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// True when the whole text is one decimal number.
bool IsNumber(const std::string& text)
{
    if (text.empty())
        return false;
    char* pEnd = nullptr;
    std::strtod(text.c_str(), &pEnd);
    return pEnd && *pEnd == 0 && pEnd != text.c_str();
}

void SetNumber(CDialog& dialog, int nId, double dValue)
{
    char szText[64];
    std::snprintf(szText, sizeof szText, "%.2lf", dValue);
    if (CWnd* pEdit = dialog.GetDlgItem(nId))
        pEdit->SetWindowText(szText);
}
} // namespace

CTriggerDefDlg::CTriggerDefDlg(HWOXHEAP hHeap, CWnd* pParent) : CDialog(IDD_TRIGGER_DEF, pParent), m_hHeap(hHeap)
{
    WoxUseScenarioResources();
    std::memset(&spec, 0, sizeof spec);
    szDataController[0] = 0;
}

CTriggerDefDlg::~CTriggerDefDlg()
{
    pLoadTask.reset();
    DestroyWindow();
    pVariables.Clear();
}

int CTriggerDefDlg::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxThreadPool* pThreadPoolIn,
                               ISpeciesMap* pSpeciesMapIn, IWoxErrorReporter* pErrorReporterIn, const SScenarioTriggerSpec* pSpec)
{
    pLibMgr = pLibMgrIn;
    pRegistry = pRegistryIn;
    pThreadPool = pThreadPoolIn;
    pSpeciesMap = pSpeciesMapIn;
    pErrorReporter = pErrorReporterIn;
    if (pSpec)
        std::memcpy(&spec, pSpec, sizeof spec);
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", szDataController, hDataController))
        return 0;
    if (!WoxCreateArrayExt2(hDataController, m_hHeap, pLibMgr, pRegistry, pErrorReporter, sizeof(SFunctionDescriptor), pVariables))
    {
        pVariables.Clear();
        return 0;
    }
    return 1;
}

void CTriggerDefDlg::GetTriggerSpec(SScenarioTriggerSpec* pSpec) const
{
    if (pSpec)
        std::memcpy(pSpec, &spec, sizeof spec);
}

QListWidget* CTriggerDefDlg::SpeciesList()
{
    CWnd* pWnd = GetDlgItem(IDC_TRIGGER_SPECIES_LIST);
    return pWnd ? qobject_cast<QListWidget*>(pWnd->GetWidget()) : nullptr;
}

std::string CTriggerDefDlg::EditText(int nId)
{
    CWnd* pWnd = GetDlgItem(nId);
    std::string text = pWnd ? pWnd->GetWindowText() : std::string();
    if (text.size() > kEditText)
        text.resize(kEditText);
    return text;
}

BOOL CTriggerDefDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_TRIGGER_CONDITION, &m_conditionBox);
    SubclassDlgItem(IDC_TRIGGER_VARIABLE, &m_variableBox);
    SubclassDlgItem(IDC_TRIGGER_VALUE, &m_valueEdit);
    SubclassDlgItem(IDC_TRIGGER_SPECIES_MODE, &m_speciesModeBox);

    SetNumber(*this, IDC_TRIGGER_VALUE, spec.dValue);
    SetNumber(*this, IDC_TRIGGER_DBH_MIN, spec.dDbhMin);
    SetNumber(*this, IDC_TRIGGER_DBH_MAX, spec.dDbhMax);
    SetNumber(*this, IDC_TRIGGER_HEIGHT_MIN, spec.dHeightMin);
    SetNumber(*this, IDC_TRIGGER_HEIGHT_MAX, spec.dHeightMax);

    m_conditionBox.ResetContent();
    for (const char* pszOperator : {"<", "=", ">"})
    {
        COMBOBOXEXITEM item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = m_conditionBox.GetCount();
        item.pszText = const_cast<char*>(pszOperator);
        m_conditionBox.InsertItem(&item);
    }
    m_conditionBox.SetCurSel(spec.nOperator);

    m_speciesModeBox.ResetContent();
    for (const char* pszMode : {"Include", "Exclude"})
    {
        COMBOBOXEXITEM item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = m_speciesModeBox.GetCount();
        item.pszText = const_cast<char*>(pszMode);
        m_speciesModeBox.InsertItem(&item);
    }
    m_speciesModeBox.SetCurSel(spec.bInclude ? 0 : 1);

    if (QListWidget* pList = SpeciesList())
    {
        pList->clear();
        spec.nSpecies = std::clamp(spec.nSpecies, 0, WOX_SCENARIO_MAX_SPECIES);
        for (int i = 0; i < spec.nSpecies; ++i)
        {
            char szCode[kCodeWidth + 1];
            WoxFieldToString(szCode, sizeof szCode, spec.szSpecies[i], kCodeWidth);
            pList->addItem(QString::fromUtf8(szCode));
        }
    }

    // A dialog shown again lists afresh: item i of the box is descriptor i of the array.
    pLoadTask.reset();
    if (pVariables)
        pVariables->RemoveAll(0);
    m_variableBox.ResetContent();
    auto pTask = std::make_unique<CTriggerDefLoadViewTd>(m_hHeap);
    if (!pTask->Initialize(pLibMgr, pRegistry, pErrorReporter, &spec, m_variableBox.GetSafeHwnd(), pVariables))
    {
        EndDialog(IDCANCEL);
        return 1;
    }
    pLoadTask = std::move(pTask);
    pLoadTask->Submit(pThreadPool);
    return 1;
}

void CTriggerDefDlg::DropTypedNonNumber(int nId)
{
    CWnd* pWnd = GetDlgItem(nId);
    QLineEdit* pEdit = pWnd ? qobject_cast<QLineEdit*>(pWnd->GetWidget()) : nullptr;
    if (!pEdit)
        return;
    std::string text = EditText(nId);
    if (text.empty())
        return;
    const char cLast = text.back();
    if ((cLast >= '0' && cLast <= '9') || cLast == '.')
        return;
    text.pop_back();
    // Setting the text reports a change again; the shorter text is then checked in turn.
    pEdit->setText(QString::fromUtf8(text.c_str()));
    pEdit->setCursorPosition(static_cast<int>(pEdit->text().size()));
}

BOOL CTriggerDefDlg::OnNotify(int nIdCtrl, int nCode)
{
    if (nCode == EN_CHANGE && std::find(std::begin(kNumberEdits), std::end(kNumberEdits), nIdCtrl) != std::end(kNumberEdits))
    {
        DropTypedNonNumber(nIdCtrl);
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

BOOL CTriggerDefDlg::OnCommand(int nId)
{
    switch (nId)
    {
    case IDC_TRIGGER_SPECIES_ADD:
        AddSpecies();
        return 1;
    case IDC_TRIGGER_SPECIES_REMOVE:
        RemoveSpecies();
        return 1;
    case IDC_TRIGGER_HELP:
        return 1;
    default:
        return CDialog::OnCommand(nId);
    }
}

void CTriggerDefDlg::AddSpecies()
{
    CSpeciesAddDlg dialog(m_hHeap, nullptr);
    if (!dialog.Initialize(pLibMgr, pRegistry, pThreadPool, pSpeciesMap, pErrorReporter, spec.szSpecies, spec.nSpecies))
        return;
    if (dialog.DoModal() != IDOK)
        return;
    QListWidget* pList = SpeciesList();
    for (int k = 0; k < dialog.GetAddedCount() && spec.nSpecies < WOX_SCENARIO_MAX_SPECIES; ++k)
    {
        std::memcpy(spec.szSpecies[spec.nSpecies], dialog.GetAddedCode(k), kCodeWidth);
        char szCode[kCodeWidth + 1];
        WoxFieldToString(szCode, sizeof szCode, spec.szSpecies[spec.nSpecies], kCodeWidth);
        if (pList)
            pList->addItem(QString::fromUtf8(szCode));
        ++spec.nSpecies;
    }
}

void CTriggerDefDlg::RemoveSpecies()
{
    if (WoxMessageBox("Are you sure you want to remove the selected species?", MB_YESNO) != IDYES)
        return;
    QListWidget* pList = SpeciesList();
    QListWidgetItem* pItem = pList ? pList->currentItem() : nullptr;
    if (!pItem || !pItem->isSelected())
        return;
    const std::string code = pItem->text().toStdString();
    delete pList->takeItem(pList->row(pItem));
    for (int i = 0; i < spec.nSpecies; ++i)
    {
        if (WoxCompareText(spec.szSpecies[i], code.c_str(), kCodeWidth) != 0)
            continue;
        std::memmove(spec.szSpecies[i], spec.szSpecies[i + 1], static_cast<size_t>(spec.nSpecies - i - 1) * kCodeWidth);
        --spec.nSpecies;
        std::memset(spec.szSpecies[spec.nSpecies], 0, kCodeWidth);
        break;
    }
}

void CTriggerDefDlg::OnOK()
{
    const int nVariable = m_variableBox.GetCurSel();
    const void* pDescriptor = nVariable >= 0 && pVariables ? pVariables->GetAt(nVariable, 0) : nullptr;
    if (!pDescriptor)
        return;
    std::memcpy(&spec, pDescriptor, sizeof(SFunctionDescriptor));
    if (m_conditionBox.GetCurSel() >= 0)
        spec.nOperator = m_conditionBox.GetCurSel();

    // Everything the filter cannot take is said in one message; the dialog stays open.
    const std::string value = EditText(IDC_TRIGGER_VALUE);
    std::vector<std::string> errors;
    if (value.empty())
        errors.push_back("You must enter a value.");
    else if (!IsNumber(value))
        errors.push_back("The value is not a number.");
    const struct
    {
        int nId;
        const char* pszError;
    } bounds[] = {{IDC_TRIGGER_DBH_MIN, "The DBH minimum is not a number."},
                  {IDC_TRIGGER_DBH_MAX, "The DBH maximum is not a number."},
                  {IDC_TRIGGER_HEIGHT_MIN, "The height minimum is not a number."},
                  {IDC_TRIGGER_HEIGHT_MAX, "The height maximum is not a number."}};
    for (const auto& bound : bounds)
    {
        const std::string text = EditText(bound.nId);
        if (!text.empty() && !IsNumber(text))
            errors.push_back(bound.pszError);
    }
    const double dDbhMin = LeadingNumber(EditText(IDC_TRIGGER_DBH_MIN));
    const double dDbhMax = LeadingNumber(EditText(IDC_TRIGGER_DBH_MAX));
    const double dHeightMin = LeadingNumber(EditText(IDC_TRIGGER_HEIGHT_MIN));
    const double dHeightMax = LeadingNumber(EditText(IDC_TRIGGER_HEIGHT_MAX));
    if (dDbhMin > dDbhMax)
        errors.push_back("The DBH minimum is greater than the DBH maximum.");
    if (dHeightMin > dHeightMax)
        errors.push_back("The height minimum is greater than the height maximum.");
    if (!errors.empty())
    {
        std::string message = errors.front();
        for (size_t i = 1; i < errors.size(); ++i)
            message += "\n" + errors[i];
        WoxMessageBox(message.c_str(), MB_OK);
        return;
    }

    spec.dValue = LeadingNumber(value);
    spec.bInclude = m_speciesModeBox.GetCurSel() == 0 ? 1 : 0;
    if (QListWidget* pList = SpeciesList())
    {
        const int nRows = std::min(pList->count(), WOX_SCENARIO_MAX_SPECIES);
        for (int i = 0; i < nRows; ++i)
            WoxCopyText(spec.szSpecies[i], kCodeWidth, pList->item(i)->text().toUtf8().constData());
        spec.nSpecies = nRows;
    }
    spec.dDbhMax = dDbhMax;
    spec.dDbhMin = dDbhMin;
    spec.dHeightMax = dHeightMax;
    spec.dHeightMin = dHeightMin;
    EndDialog(IDOK);
}
