// The "Enter new scenario information" dialog driven offscreen through the automation hook.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <string>

#include "NewScenarioDlg.h"
#include "ResourceIds.h"
#include "UiTestSupport.h"

namespace
{

struct SNewScenarioCase
{
    const char* pszCase;
    const char* pszName;
    const char* pszEndYear;
    const char* pszMessage;   // none: accepted
    int nEndYear;             // the accepted year
};

class NewScenarioValidationTest : public ::testing::TestWithParam<SNewScenarioCase>
{
};

// First year 2000, period 5. Messages collect into one box and keep the dialog up; a typed year
// off the period grid is accepted as typed.
TEST_P(NewScenarioValidationTest, OkChecksNameAndFirstYear)
{
    const SNewScenarioCase& c = GetParam();
    CNewScenarioDlg dialog;
    dialog.SetYears(2000, 5);
    bool bStillOpen = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ(driver.Caption(), "Enter new scenario information");
        EXPECT_EQ(driver.GetText(IDC_END_YEAR), "2000") << "the end year starts at the first year, without a separator";
        driver.SetText(IDC_SCENARIO_NAME, c.pszName);
        driver.SetText(IDC_SCENARIO_DESCRIPTION, "Thin twice");
        driver.SetText(IDC_END_YEAR, c.pszEndYear);
        driver.PressButton(IDOK);
        bStillOpen = !dialog.IsEnded();
    });
    const intptr_t nResult = dialog.DoModal();
    SScenarioInfo info;
    std::memset(&info, 0x5A, sizeof info);
    dialog.GetInformation(&info);
    if (c.pszMessage)
    {
        EXPECT_TRUE(bStillOpen);
        EXPECT_EQ(nResult, IDCANCEL);
        EXPECT_EQ(automation.m_boxes, std::vector<std::string>{c.pszMessage});
        EXPECT_EQ(automation.m_boxTypes, std::vector<UINT>{MB_OK});
        EXPECT_EQ(info.szName[0], 0) << "nothing is stored while the input is refused";
    }
    else
    {
        EXPECT_EQ(nResult, IDOK);
        EXPECT_TRUE(automation.m_boxes.empty());
        EXPECT_STREQ(info.szName, c.pszName);
        EXPECT_STREQ(info.szDescription, "Thin twice");
        EXPECT_EQ(info.nEndYear, c.nEndYear);
        EXPECT_EQ(info.cPad0[0] | info.cPad0[1], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewScenarioValidationTest,
    ::testing::Values(SNewScenarioCase{"NoNameYearBeforeFirst", "", "1999", "You must enter a name.\n\nThe last year must be later than 2000", 0},
                      SNewScenarioCase{"YearBeforeFirst", "Spring plan", "1999", "The last year must be later than 2000", 0},
                      SNewScenarioCase{"NoYear", "Spring plan", "", "The last year must be later than 2000", 0},
                      SNewScenarioCase{"NoName", "", "2060", "You must enter a name.", 0},
                      SNewScenarioCase{"FirstYearItself", "Spring plan", "2000", nullptr, 2000},
                      SNewScenarioCase{"OffTheGridAsTyped", "Spring plan", "2013", nullptr, 2013}),
    [](const ::testing::TestParamInfo<SNewScenarioCase>& info) { return std::string(info.param.pszCase); });

// Texts filling their fields are kept whole, without a terminator; longer ones are cut to the field.
TEST(NewScenarioDlgTest, FullWidthTextsFillTheirFields)
{
    const std::string name(50, 'N'), description(256, 'D');
    CNewScenarioDlg dialog;
    dialog.SetYears(2000, 5);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        driver.SetText(IDC_SCENARIO_NAME, (name + "XY").c_str());
        driver.SetText(IDC_SCENARIO_DESCRIPTION, (description + "Z").c_str());
        driver.SetText(IDC_END_YEAR, "2050");
        driver.PressButton(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    SScenarioInfo info;
    dialog.GetInformation(&info);
    EXPECT_EQ(std::string(info.szName, sizeof info.szName), name);
    EXPECT_EQ(std::string(info.szDescription, sizeof info.szDescription), description);
    EXPECT_EQ(info.nEndYear, 2050);
}

// Enter in an edit moves on instead of closing; Escape there is left to the edit; on the buttons
// both keys work as usual.
TEST(NewScenarioDlgTest, EnterAndEscapeCloseOnlyFromTheButtons)
{
    CNewScenarioDlg dialog;
    dialog.SetYears(2000, 5);
    std::string focusAfterEnter;
    bool bOpenAfterEnter = false, bOpenAfterEscape = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        QWidget* pWindow = dialog.GetDialogWidget();
        pWindow->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(pWindow));
        QWidget* pName = dialog.GetDlgItem(IDC_SCENARIO_NAME)->GetWidget();
        QWidget* pDescription = dialog.GetDlgItem(IDC_SCENARIO_DESCRIPTION)->GetWidget();
        pName->setFocus();
        driver.SetText(IDC_SCENARIO_NAME, "Spring plan");
        QTest::keyClick(pName, Qt::Key_Return);
        bOpenAfterEnter = !dialog.IsEnded();
        EXPECT_EQ(QApplication::focusWidget(), pDescription);
        QTest::keyClick(pDescription, Qt::Key_Escape);
        bOpenAfterEscape = !dialog.IsEnded();
        QWidget* pOk = dialog.GetDlgItem(IDOK)->GetWidget();
        pOk->setFocus();
        QTest::keyClick(pOk, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(bOpenAfterEnter);
    EXPECT_TRUE(bOpenAfterEscape);
    EXPECT_TRUE(automation.m_boxes.empty());
}

} // namespace
