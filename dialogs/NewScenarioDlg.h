#pragma once
// The modal "Enter new scenario information" dialog: name, description and end year of a new
// scenario. The end year starts at the project's first year and its spin steps in whole periods;
// a typed year is accepted as typed when it is not before the first year. User-interface thread.

#include "Dialog.h"
#include "EditBoxEx.h"
#include "ScenarioData.h"
#include "SpinButtonCtrl.h"

class CNewScenarioDlg : public CDialog
{
public:
    explicit CNewScenarioDlg(CWnd* pParent = nullptr);

    // The project's first year and period length, for the spin and the check of the end year.
    void SetYears(int nFirstYear, int nPeriodLength);
    // Copies the accepted information (all 312 bytes); zero until OK succeeded.
    void GetInformation(SScenarioInfo* pInfo) const;

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;
    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    // Enter and Escape close the dialog only from its OK and Cancel buttons.
    bool OnWidgetEvent(QObject* pWatched, QEvent* pEvent) override;

private:
    CEditBoxEx m_name;
    CEditBoxEx m_description;
    CEditBoxEx m_endYear;
    CSpinButtonCtrl m_spin;
    int m_nFirstYear = 0;
    int m_nPeriodLength = 0;
    SScenarioInfo m_info = {};
};
