#include "YearParamDlg.h"

#include <cstdio>
#include <cstring>

#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"

namespace
{

// A year at or below this is unset in a record.
constexpr int kUnsetYear = 100;

const char* const kStartAfterEnd = "Warning:  The start year selected is greater than the end year.";
const char* const kEndBeforeStart = "Warning:  The end year selected is less than the start year.";

} // namespace

CYearParamDlg::CYearParamDlg(CWnd* pParent) : CDialog(IDD_YEAR_PARAM, pParent)
{
    WoxUseScenarioResources();
}

int CYearParamDlg::Initialize(IDynamicPtrTemplate<IPortData> pPortData, const SScenarioData* pScenario, const SScenarioTreatment* pRecord)
{
    if (!pPortData || !pScenario || !pRecord)
        return 0;
    m_nScenarioEndYear = pScenario->info.nEndYear;
    std::memcpy(&m_record, pRecord, sizeof(SScenarioTreatment));
    m_project = {};
    return pPortData->GetProjectInfo(&m_project) ? 1 : 0;
}

void CYearParamDlg::GetRecord(SScenarioTreatment* pRecord) const
{
    if (pRecord)
        std::memcpy(pRecord, &m_record, sizeof(SScenarioTreatment));
}

BOOL CYearParamDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_END_YEAR_LIST, &m_endList);
    SubclassDlgItem(IDC_START_YEAR_LIST, &m_startList);

    const int nFirst = m_project.nFirstYear;
    const int nPeriod = m_project.nPeriodLength;
    m_years.assign(1, nFirst);
    if (nPeriod > 0)
    {
        for (long long nYear = static_cast<long long>(nFirst) + nPeriod;
             nYear < m_nScenarioEndYear && static_cast<int>(m_years.size()) <= kMaxListedYears; nYear += nPeriod)
            m_years.push_back(static_cast<int>(nYear));
    }
    m_years.push_back(m_nScenarioEndYear);

    if (m_record.nEndYear <= kUnsetYear)
        m_record.nEndYear = m_nScenarioEndYear;
    FillList(m_endList, m_record.nEndYear);
    if (m_record.nYear <= kUnsetYear)
        m_record.nYear = nFirst;
    FillList(m_startList, m_record.nYear);
    return 1;
}

void CYearParamDlg::FillList(CComboBoxEx& list, int nYear)
{
    list.ResetContent();
    const int nLast = static_cast<int>(m_years.size()) - 1;
    for (int i = 0; i <= nLast; ++i)
    {
        char szText[32];
        if (i == 0)
            std::snprintf(szText, sizeof szText, "First (%d)", m_years[0]);
        else if (i == nLast)
            std::snprintf(szText, sizeof szText, "Last (%d)", m_years[i]);
        else
            std::snprintf(szText, sizeof szText, "%d", m_years[i]);
        COMBOBOXEXITEM item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = szText;
        list.InsertItem(&item);
    }
    list.SetCurSel(IndexOfYear(nYear));
}

int CYearParamDlg::IndexOfYear(int nYear) const
{
    const int nLast = static_cast<int>(m_years.size()) - 1;
    for (int i = 1; i < nLast; ++i)
    {
        if (m_years[i] == nYear)
            return i;
    }
    return nYear == m_project.nFirstYear ? 0 : nLast;
}

int CYearParamDlg::YearAt(int nIndex) const
{
    if (nIndex <= 0)
        return m_project.nFirstYear;
    if (nIndex >= static_cast<int>(m_years.size()) - 1)
        return m_nScenarioEndYear;
    return m_years[nIndex];
}

BOOL CYearParamDlg::OnNotify(int nIdCtrl, int nCode)
{
    // Both lists hold the same years in the same order, so their indexes compare as years do.
    if (nCode == CBN_SELCHANGE && nIdCtrl == IDC_START_YEAR_LIST)
    {
        if (m_startList.GetCurSel() > m_endList.GetCurSel())
        {
            WoxMessageBox(kStartAfterEnd, MB_OK);
            m_startList.SetCurSel(m_endList.GetCurSel());
        }
        return 1;
    }
    if (nCode == CBN_SELCHANGE && nIdCtrl == IDC_END_YEAR_LIST)
    {
        if (m_endList.GetCurSel() < m_startList.GetCurSel())
        {
            WoxMessageBox(kEndBeforeStart, MB_OK);
            m_endList.SetCurSel(m_startList.GetCurSel());
        }
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

void CYearParamDlg::OnOK()
{
    // A record that opened with its start after its end is not handed back that way.
    if (m_startList.GetCurSel() > m_endList.GetCurSel())
    {
        WoxMessageBox(kStartAfterEnd, MB_OK);
        m_startList.SetCurSel(m_endList.GetCurSel());
        return;
    }
    m_record.nYear = YearAt(m_startList.GetCurSel());
    m_record.nEndYear = YearAt(m_endList.GetCurSel());
    EndDialog(IDOK);
}
