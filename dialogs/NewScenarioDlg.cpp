#include "NewScenarioDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <cstring>
#include <string>

#include "EndYearSpin.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"
#include "WoxText.h"

CNewScenarioDlg::CNewScenarioDlg(CWnd* pParent) : CDialog(IDD_NEW_SCENARIO, pParent)
{
    WoxUseScenarioResources();
}

void CNewScenarioDlg::SetYears(int nFirstYear, int nPeriodLength)
{
    m_nFirstYear = nFirstYear;
    m_nPeriodLength = nPeriodLength;
}

void CNewScenarioDlg::GetInformation(SScenarioInfo* pInfo) const
{
    if (pInfo)
        std::memcpy(pInfo, &m_info, sizeof(SScenarioInfo));
}

BOOL CNewScenarioDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_SCENARIO_NAME, &m_name);
    SubclassDlgItem(IDC_SCENARIO_DESCRIPTION, &m_description);
    SubclassDlgItem(IDC_END_YEAR, &m_endYear);
    SubclassDlgItem(IDC_END_YEAR_SPIN, &m_spin);
    m_name.SetLimitText(sizeof(m_info.szName));
    m_description.SetLimitText(sizeof(m_info.szDescription));
    for (CEditBoxEx* pEdit : {&m_name, &m_description, &m_endYear})
        pEdit->SetOwner(this);
    WoxAttachEndYearSpin(m_spin, m_endYear, m_nFirstYear, m_nFirstYear);
    m_name.SetFocus();
    return 1;
}

void CNewScenarioDlg::OnOK()
{
    std::string message;
    auto add = [&message](const std::string& text) { message = message.empty() ? text : message + "\n\n" + text; };
    const std::string name = m_name.GetWindowText();
    const int nEndYear = WoxReadYear(m_endYear.GetWindowText());
    if (name.empty())
        add("You must enter a name.");
    if (nEndYear < m_nFirstYear)
        add("The last year must be later than " + std::to_string(m_nFirstYear));
    if (!message.empty())
    {
        WoxMessageBox(message.c_str(), MB_OK);
        return;
    }
    m_info = {};
    WoxCopyText(m_info.szName, name.c_str());
    WoxCopyText(m_info.szDescription, m_description.GetWindowText().c_str());
    m_info.nEndYear = nEndYear;
    EndDialog(IDOK);
}

BOOL CNewScenarioDlg::OnNotify(int nIdCtrl, int nCode)
{
    if (nIdCtrl == IDC_END_YEAR && nCode == EN_CHANGE)
    {
        WoxDropFirstComma(m_endYear);
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

bool CNewScenarioDlg::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (WoxStepSpinByPeriod(nMsg, wParam, lParam, m_nPeriodLength, pResult))
        return true;
    return CDialog::OnWndMsg(nMsg, wParam, lParam, pResult);
}

bool CNewScenarioDlg::OnWidgetEvent(QObject* pWatched, QEvent* pEvent)
{
    // A key the focused control left unused travels up to the dialog, which would press the
    // default button (Enter) or cancel (Escape).
    if (pWatched != GetWidget() || pEvent->type() != QEvent::KeyPress)
        return false;
    const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
    if (nKey != Qt::Key_Return && nKey != Qt::Key_Enter && nKey != Qt::Key_Escape)
        return false;
    QWidget* pFocus = QApplication::focusWidget();
    for (int nId : {IDOK, IDCANCEL})
    {
        CWnd* pButton = GetDlgItem(nId);
        if (pButton && pFocus && pButton->GetWidget() == pFocus)
            return false;
    }
    return true;
}
