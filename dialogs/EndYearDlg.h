#pragma once
// The modal "Change End Year" dialog: the end year of the open scenario, not before the project's
// first year and on its period grid (a year between periods is corrected to the nearest one and
// shown again). User-interface thread.

#include "Dialog.h"
#include "Edit.h"
#include "SpinButtonCtrl.h"
#include "WoxHeap.h"

class CEndYearDlg : public CDialog
{
public:
    explicit CEndYearDlg(HWOXHEAP hHeap, CWnd* pParent = nullptr);

    // The project's first year and period length, and the scenario's current end year.
    void SetYears(int nFirstYear, int nPeriodLength, int nEndYear);
    // The accepted end year (the current one until OK succeeded).
    int GetEndYear() const { return m_nEndYear; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;
    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    HWOXHEAP GetHeap() const { return m_hHeap; }

private:
    CEdit m_endYear;
    CSpinButtonCtrl m_spin;
    int m_nFirstYear = 0;
    int m_nPeriodLength = 0;
    int m_nEndYear = 0;
    HWOXHEAP m_hHeap;
};
