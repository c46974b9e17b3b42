// The "Change End Year" dialog, and the end-year spin it shares with the new-scenario dialog,
// driven offscreen through the automation hook.

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "EndYearDlg.h"
#include "NewScenarioDlg.h"
#include "ResourceIds.h"
#include "UiTestSupport.h"

namespace
{

const char* const kBeforeFirst = "The year must be later than 2000";
const char* const kCorrected = "The year is invalid and has been corrected to the nearest valid year.";

struct SEndYearCase
{
    const char* pszCase;
    const char* pszTyped;
    std::string message;      // of the first OK; empty: accepted at once
    const char* pszShown;     // the edit's text after the first OK
    int nAccepted;            // the year a second OK accepts; 0: refused again
};

class EndYearOkTest : public ::testing::TestWithParam<SEndYearCase>
{
};

// First year 2000, period 5, current end year 2040. A year off the grid is corrected in the edit
// and a second OK accepts the corrected year.
TEST_P(EndYearOkTest, OkKeepsTheYearOnTheGridFromTheFirstYear)
{
    const SEndYearCase& c = GetParam();
    CEndYearDlg dialog(nullptr);
    dialog.SetYears(2000, 5, 2040);
    std::string shown;
    bool bOpenAfterFirst = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ(driver.Caption(), "Change End Year");
        EXPECT_EQ(driver.GetText(IDC_END_YEAR), "2040");
        driver.SetText(IDC_END_YEAR, c.pszTyped);
        driver.PressButton(IDOK);
        bOpenAfterFirst = !dialog.IsEnded();
        shown = driver.GetText(IDC_END_YEAR);
        if (bOpenAfterFirst)
            driver.PressButton(IDOK);
    });
    const intptr_t nResult = dialog.DoModal();
    EXPECT_EQ(shown, c.pszShown);
    if (c.message.empty())
    {
        EXPECT_FALSE(bOpenAfterFirst);
        EXPECT_TRUE(automation.m_boxes.empty());
    }
    else
    {
        EXPECT_TRUE(bOpenAfterFirst);
        ASSERT_FALSE(automation.m_boxes.empty());
        EXPECT_EQ(automation.m_boxes[0], c.message);
    }
    EXPECT_EQ(nResult, c.nAccepted ? IDOK : IDCANCEL);
    EXPECT_EQ(dialog.GetEndYear(), c.nAccepted ? c.nAccepted : 2040);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EndYearOkTest,
    ::testing::Values(SEndYearCase{"FirstYearItself", "2000", "", "2000", 2000},
                      SEndYearCase{"SeparatorDropped", "2,055", "", "2055", 2055},
                      SEndYearCase{"RoundsDown", "2012", kCorrected, "2010", 2010},
                      SEndYearCase{"RoundsUp", "2013", kCorrected, "2015", 2015},
                      SEndYearCase{"FractionIgnored", "2012.5", kCorrected, "2010", 2010},
                      SEndYearCase{"BeforeFirstAndOffTheGrid", "1999", std::string(kBeforeFirst) + "\n\n" + kCorrected, "2000", 2000},
                      SEndYearCase{"BeforeFirstOnTheGrid", "1990", kBeforeFirst, "1990", 0},
                      SEndYearCase{"NoDigits", "soon", kBeforeFirst, "soon", 0},
                      SEndYearCase{"BeyondTheIntegerRange", "99999999999", kCorrected, "2147483645", 2147483645}),
    [](const ::testing::TestParamInfo<SEndYearCase>& info) { return std::string(info.param.pszCase); });

// A period length the editor never gives does not hang or divide by zero: any year from the
// first one on is accepted as typed.
TEST(EndYearDlgTest, NoPeriodLengthAcceptsAnyYearFromTheFirst)
{
    CEndYearDlg dialog(nullptr);
    dialog.SetYears(2000, 0, 2040);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        driver.SetText(IDC_END_YEAR, "2013");
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetEndYear(), 2013);
    EXPECT_TRUE(automation.m_boxes.empty());
}

// One user action on the spin: its arrows, or the arrow keys in the edit.
enum class ESpin
{
    Up,
    Down,
    KeyUp,
    KeyDown,
};

struct SSpinCase
{
    const char* pszCase;
    bool bNewScenario;        // else the end-year dialog, current end year 2020
    int nPeriodLength;
    std::vector<ESpin> actions;
    std::vector<std::string> texts;   // the edit's text after each action
};

class EndYearSpinTest : public ::testing::TestWithParam<SSpinCase>
{
};

// First year 2000. Each step is one period; the spin stops at the first year and writes no
// thousands separator that stays in the edit.
TEST_P(EndYearSpinTest, StepsByOnePeriod)
{
    const SSpinCase& c = GetParam();
    std::unique_ptr<CDialog> pDialog;
    if (c.bNewScenario)
    {
        auto pNew = std::make_unique<CNewScenarioDlg>();
        pNew->SetYears(2000, c.nPeriodLength);
        pDialog = std::move(pNew);
    }
    else
    {
        auto pEnd = std::make_unique<CEndYearDlg>(nullptr);
        pEnd->SetYears(2000, c.nPeriodLength, 2020);
        pDialog = std::move(pEnd);
    }
    std::vector<std::string> texts;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        QWidget* pSpin = pDialog->GetDlgItem(IDC_END_YEAR_SPIN)->GetWidget();
        QWidget* pEdit = pDialog->GetDlgItem(IDC_END_YEAR)->GetWidget();
        for (ESpin action : c.actions)
        {
            if (action == ESpin::Up || action == ESpin::Down)
                QTest::mouseClick(pSpin->findChild<QToolButton*>(action == ESpin::Up ? "up" : "down"), Qt::LeftButton);
            else
                QTest::keyClick(pEdit, action == ESpin::KeyUp ? Qt::Key_Up : Qt::Key_Down);
            texts.push_back(driver.GetText(IDC_END_YEAR));
        }
    });
    pDialog->DoModal();
    EXPECT_EQ(texts, c.texts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EndYearSpinTest,
    ::testing::Values(SSpinCase{"NewScenario", true, 5, {ESpin::Up, ESpin::Up, ESpin::KeyDown, ESpin::Down, ESpin::Down, ESpin::KeyUp},
                                {"2005", "2010", "2005", "2000", "2000", "2005"}},
                      SSpinCase{"EndYear", false, 10, {ESpin::Up, ESpin::KeyUp, ESpin::Down}, {"2030", "2040", "2030"}},
                      SSpinCase{"EndYearNoPeriod", false, 0, {ESpin::Up, ESpin::Down, ESpin::Down}, {"2021", "2020", "2019"}}),
    [](const ::testing::TestParamInfo<SSpinCase>& info) { return std::string(info.param.pszCase); });

} // namespace
