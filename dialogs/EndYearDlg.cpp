#include "EndYearDlg.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "EndYearSpin.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"

namespace
{

// The period year nearest to nYear (halves round up), held within the 32-bit range.
int NearestPeriodYear(int nYear, int nFirstYear, int nPeriodLength)
{
    const double q = (static_cast<double>(nYear) - nFirstYear) / nPeriodLength;
    long long nCorrected = nFirstYear + static_cast<long long>(std::floor(q + 0.5)) * nPeriodLength;
    while (nCorrected > INT32_MAX)
        nCorrected -= nPeriodLength;
    while (nCorrected < INT32_MIN)
        nCorrected += nPeriodLength;
    return static_cast<int>(nCorrected);
}

} // namespace

CEndYearDlg::CEndYearDlg(HWOXHEAP hHeap, CWnd* pParent) : CDialog(IDD_END_YEAR, pParent), m_hHeap(hHeap)
{
    WoxUseScenarioResources();
}

void CEndYearDlg::SetYears(int nFirstYear, int nPeriodLength, int nEndYear)
{
    m_nFirstYear = nFirstYear;
    m_nPeriodLength = nPeriodLength;
    m_nEndYear = nEndYear;
}

BOOL CEndYearDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_END_YEAR, &m_endYear);
    SubclassDlgItem(IDC_END_YEAR_SPIN, &m_spin);
    WoxAttachEndYearSpin(m_spin, m_endYear, m_nFirstYear, m_nEndYear);
    m_endYear.SetFocus();
    return 1;
}

void CEndYearDlg::OnOK()
{
    std::string message;
    auto add = [&message](const std::string& text) { message = message.empty() ? text : message + "\n\n" + text; };
    const int nYear = WoxReadYear(m_endYear.GetWindowText());
    if (nYear < m_nFirstYear)
        add("The year must be later than " + std::to_string(m_nFirstYear));
    // Without a positive period length there is no grid to correct to.
    if (m_nPeriodLength > 0 && (static_cast<long long>(nYear) - m_nFirstYear) % m_nPeriodLength != 0)
    {
        m_endYear.SetWindowText(std::to_string(NearestPeriodYear(nYear, m_nFirstYear, m_nPeriodLength)).c_str());
        add("The year is invalid and has been corrected to the nearest valid year.");
    }
    if (!message.empty())
    {
        WoxMessageBox(message.c_str(), MB_OK);
        return;
    }
    m_nEndYear = WoxReadYear(m_endYear.GetWindowText());
    EndDialog(IDOK);
}

BOOL CEndYearDlg::OnNotify(int nIdCtrl, int nCode)
{
    if (nIdCtrl == IDC_END_YEAR && nCode == EN_CHANGE)
    {
        WoxDropFirstComma(m_endYear);
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

bool CEndYearDlg::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (WoxStepSpinByPeriod(nMsg, wParam, lParam, m_nPeriodLength, pResult))
        return true;
    return CDialog::OnWndMsg(nMsg, wParam, lParam, pResult);
}
