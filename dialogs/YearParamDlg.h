#pragma once
// The modal "Specify Year Parameters" dialog: the first and last year of a triggered treatment,
// each chosen from the project's period years between its first year and the scenario's end year
// ("First (F)", the years between, "Last (E)"). Works on a copy of the caller's record and changes
// only its nYear and nEndYear. User-interface thread.

#include <vector>

#include "ComboBoxEx.h"
#include "Dialog.h"
#include "PortData.h"
#include "ScenarioData.h"

class CYearParamDlg : public CDialog
{
public:
    explicit CYearParamDlg(CWnd* pParent = nullptr);

    // Takes the scenario's end year, copies the record and reads the project's years. 0 when a
    // pointer is missing or the port data does not answer.
    int Initialize(IDynamicPtrTemplate<IPortData> pPortData, const SScenarioData* pScenario, const SScenarioTreatment* pRecord);
    // Copies the working record (8888 bytes) out; after OK it holds the chosen years.
    void GetRecord(SScenarioTreatment* pRecord) const;
    // The project's years as read by Initialize. A caller refuses to open the dialog without a
    // positive period length; the dialog itself then lists only the first and last year.
    const SProjectInfo& GetProjectInfo() const { return m_project; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnNotify(int nIdCtrl, int nCode) override;

    // Period years listed between the first and the last entry at most, so an end year read
    // from a damaged file cannot make a list of millions.
    static constexpr int kMaxListedYears = 2000;

private:
    // Fills a list with the year entries and selects nYear in it.
    void FillList(CComboBoxEx& list, int nYear);
    // The entry that stands for nYear: its "%d" entry, else the first for the first year, else the last.
    int IndexOfYear(int nYear) const;
    // The year an entry stands for.
    int YearAt(int nIndex) const;

    CComboBoxEx m_endList;
    CComboBoxEx m_startList;
    int32_t m_nScenarioEndYear = 0;
    SProjectInfo m_project = {};
    SScenarioTreatment m_record = {};
    std::vector<int> m_years;   // the year of each entry, the same in both lists
};
