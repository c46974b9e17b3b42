// The "Specify Year Parameters" dialog on the project's period grid, driven offscreen through the
// automation hook; lists are chosen in their drop-downs as a user does.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "ScenarioFolderPortData.h"
#include "UiTestSupport.h"
#include "YearParamDlg.h"

namespace
{

constexpr int kStart = IDC_START_YEAR_LIST;
constexpr int kEnd = IDC_END_YEAR_LIST;
const char* const kStartAfterEnd = "Warning:  The start year selected is greater than the end year.";
const char* const kEndBeforeStart = "Warning:  The end year selected is less than the start year.";

// Opens the drop-down and picks the row with the keyboard.
void Choose(CDialog& dialog, int nId, int nRow)
{
    auto* pCombo = qobject_cast<QComboBox*>(dialog.GetDlgItem(nId)->GetWidget());
    ASSERT_TRUE(pCombo);
    pCombo->showPopup();
    QAbstractItemView* pView = pCombo->view();
    pView->setCurrentIndex(pView->model()->index(nRow, 0));
    QTest::keyClick(pView, Qt::Key_Return);
}

std::vector<std::string> Rows(CWoxDialogDriver& driver, int nId)
{
    std::vector<std::string> rows;
    for (int i = 0; i < driver.GetRowCount(nId); ++i)
        rows.push_back(driver.GetRowText(nId, i));
    return rows;
}

struct SYearCase
{
    const char* pszCase;
    int nPeriodLength;
    int nScenarioEnd;
    int nYear, nEndYear;                 // the record given
    std::vector<std::string> rows;       // both lists
    int nStartRow, nEndRow;              // selected at opening
    int nReturnedYear, nReturnedEnd;     // after OK
};

class YearParamOpenTest : public ::testing::TestWithParam<SYearCase>
{
};

// First year 2000. Both lists hold the period years below the scenario's end year between their
// "First" and "Last" entries; a record's years select their entries and come back unchanged.
TEST_P(YearParamOpenTest, ListsFollowThePeriodGrid)
{
    const SYearCase& c = GetParam();
    CScenarioFolderPortData portData("/nowhere");
    portData.m_nPeriodLength = c.nPeriodLength;
    SScenarioData scenario;
    scenario.info.nEndYear = c.nScenarioEnd;
    SScenarioTreatment record;
    std::memset(&record, 0x11, sizeof record);
    record.nYear = c.nYear;
    record.nEndYear = c.nEndYear;
    CYearParamDlg dialog;
    ASSERT_EQ(1, dialog.Initialize(&portData, &scenario, &record));
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ(driver.Caption(), "Specify Year Parameters");
        EXPECT_EQ(Rows(driver, kStart), c.rows);
        EXPECT_EQ(Rows(driver, kEnd), c.rows);
        EXPECT_EQ(driver.GetSelectedRow(kStart), c.nStartRow);
        EXPECT_EQ(driver.GetSelectedRow(kEnd), c.nEndRow);
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    SScenarioTreatment returned;
    dialog.GetRecord(&returned);
    EXPECT_EQ(returned.nYear, c.nReturnedYear);
    EXPECT_EQ(returned.nEndYear, c.nReturnedEnd);
    returned.nYear = record.nYear;
    returned.nEndYear = record.nEndYear;
    EXPECT_EQ(std::memcmp(&returned, &record, sizeof record), 0) << "only the two years change";
    EXPECT_TRUE(automation.m_boxes.empty());
}

const std::vector<std::string> kGrid2020 = {"First (2000)", "2005", "2010", "2015", "Last (2020)"};

INSTANTIATE_TEST_SUITE_P(
    Cases, YearParamOpenTest,
    ::testing::Values(SYearCase{"UnsetYears", 5, 2020, 0, -1, kGrid2020, 0, 4, 2000, 2020},
                      SYearCase{"PeriodYears", 5, 2020, 2005, 2015, kGrid2020, 1, 3, 2005, 2015},
                      SYearCase{"StartOffTheGridIsLast", 5, 2020, 2003, 2020, kGrid2020, 4, 4, 2020, 2020},
                      SYearCase{"EndOffTheGrid", 5, 2022, 2000, 2022, {"First (2000)", "2005", "2010", "2015", "2020", "Last (2022)"}, 0, 5, 2000, 2022},
                      SYearCase{"NoPeriodLength", 0, 2020, 2005, 2015, {"First (2000)", "Last (2020)"}, 1, 1, 2020, 2020},
                      SYearCase{"NegativePeriodLength", -5, 2020, 0, 0, {"First (2000)", "Last (2020)"}, 0, 1, 2000, 2020}),
    [](const ::testing::TestParamInfo<SYearCase>& info) { return std::string(info.param.pszCase); });

// An end year from a damaged file with one-year periods lists a bounded number of years.
TEST(YearParamDlgTest, FarEndYearListsABoundedNumberOfYears)
{
    CScenarioFolderPortData portData("/nowhere");
    portData.m_nPeriodLength = 1;
    SScenarioData scenario;
    scenario.info.nEndYear = INT_MAX;
    SScenarioTreatment record = {};
    CYearParamDlg dialog;
    ASSERT_EQ(1, dialog.Initialize(&portData, &scenario, &record));
    int nRows = 0;
    std::string last;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        nRows = driver.GetRowCount(kEnd);
        last = driver.GetRowText(kEnd, nRows - 1);
    });
    dialog.DoModal();
    EXPECT_LE(nRows, CYearParamDlg::kMaxListedYears + 2);
    EXPECT_EQ(last, "Last (2147483647)");
}

// Choosing crossed years warns and moves the list just chosen onto the other one's year; the
// "Last" entry chosen as the start stands for the scenario's end year.
TEST(YearParamDlgTest, CrossedChoicesAreMovedBack)
{
    CScenarioFolderPortData portData("/nowhere");
    SScenarioData scenario;
    scenario.info.nEndYear = 2020;
    SScenarioTreatment record = {};
    CYearParamDlg dialog;
    ASSERT_EQ(1, dialog.Initialize(&portData, &scenario, &record));
    std::vector<int> selected;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        Choose(dialog, kStart, 3);   // 2015
        Choose(dialog, kEnd, 1);     // 2005: before the start, so the end becomes 2015
        selected.push_back(driver.GetSelectedRow(kEnd));
        Choose(dialog, kStart, 4);   // Last (2020): after the end, so the start goes back to 2015
        selected.push_back(driver.GetSelectedRow(kStart));
        Choose(dialog, kEnd, 4);
        Choose(dialog, kStart, 4);
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(automation.m_boxes, (std::vector<std::string>{kEndBeforeStart, kStartAfterEnd}));
    EXPECT_EQ(selected, (std::vector<int>{3, 3}));
    SScenarioTreatment returned;
    dialog.GetRecord(&returned);
    EXPECT_EQ(returned.nYear, 2020);
    EXPECT_EQ(returned.nEndYear, 2020);
}

// A record that opens with its start after its end is not accepted that way.
TEST(YearParamDlgTest, OkRefusesAStartAfterTheEnd)
{
    CScenarioFolderPortData portData("/nowhere");
    SScenarioData scenario;
    scenario.info.nEndYear = 2020;
    SScenarioTreatment record = {};
    record.nYear = 2015;
    record.nEndYear = 2005;
    CYearParamDlg dialog;
    ASSERT_EQ(1, dialog.Initialize(&portData, &scenario, &record));
    int nStartAfterOk = -1;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        driver.PressButton(IDOK);
        nStartAfterOk = driver.GetSelectedRow(kStart);
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(automation.m_boxes, std::vector<std::string>{kStartAfterEnd});
    EXPECT_EQ(nStartAfterOk, 1);
    SScenarioTreatment returned;
    dialog.GetRecord(&returned);
    EXPECT_EQ(returned.nYear, 2005);
    EXPECT_EQ(returned.nEndYear, 2005);
}

} // namespace
