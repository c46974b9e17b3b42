// Dialogs from templates, Enter and Escape, message boxes, the automation hook, the About box,
// and CEditBoxEx inside a dialog.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "AboutDlg.h"
#include "EditBoxEx.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "ScenarioResources.h"
#include "UiTestSupport.h"

namespace
{

// A dialog on one of the component's templates that records which handlers ran.
class CRecordingDialog : public CDialog
{
public:
    CRecordingDialog() : CDialog(IDD_OPEN_SCENARIO) { WoxUseScenarioResources(); }
    BOOL OnInitDialog() override
    {
        m_calls.push_back("init");
        return CDialog::OnInitDialog();
    }
    void OnOK() override
    {
        m_calls.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        m_calls.push_back("cancel");
        CDialog::OnCancel();
    }
    std::vector<std::string> m_calls;
};

TEST(DialogTest, TemplateIsLaidOutInDialogUnits)
{
    CRecordingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    QDialog* pWindow = dialog.GetDialogWidget();
    EXPECT_EQ(pWindow->windowTitle().toStdString(), "Open Scenario");
    EXPECT_EQ(pWindow->width(), dialog.DluToPixelX(256));
    EXPECT_EQ(pWindow->height(), dialog.DluToPixelY(138));
    // Dialog units scale with the font: a 240-unit list is about 94% of the 256-unit dialog.
    QWidget* pList = dialog.GetDlgItem(IDC_OPEN_SCENARIO_LIST)->GetWidget();
    EXPECT_EQ(pList->geometry(), QRect(dialog.DluToPixelX(6), dialog.DluToPixelY(6), dialog.DluToPixelX(240), dialog.DluToPixelY(108)));
    EXPECT_GT(dialog.DluToPixelX(4), 3) << "four horizontal units are one average character";
    EXPECT_EQ(dialog.GetDlgItem(IDOK)->GetWindowText(), "OK");
    EXPECT_EQ(dialog.GetDlgItem(IDCANCEL)->GetWindowText(), "Cancel");
    EXPECT_EQ(dialog.GetDlgItem(4711), nullptr);
    EXPECT_EQ(dialog.m_calls, std::vector<std::string>{"init"});
}

// Templates and icons come only from the tables modules register; the layer knows none itself.
TEST(DialogTest, TemplatesAndIconsComeFromRegisteredTables)
{
    static const SWoxControlTemplate kControls[] = {{WOX_CTL_ICON, -1, "77", 0, 4, 4, 20, 20},
                                                   {WOX_CTL_DEFPUSHBUTTON, IDOK, "OK", 0, 30, 4, 40, 14}};
    static const SWoxDialogTemplate kDialogs[] = {{4242, "Host Dialog", 80, 30, nullptr, 9, kControls, 2}};
    static const SWoxResourceTable kTable = {kDialogs, 1, nullptr, 0, [](int nId, int nSize) {
                                                 QPixmap pixmap(nId == 77 ? nSize : 0, nId == 77 ? nSize : 0);
                                                 pixmap.fill(Qt::darkGreen);
                                                 return pixmap;
                                             }};
    CDialog dialog(4242);
    EXPECT_EQ(dialog.DoModal(), -1) << "not registered yet";
    EXPECT_FALSE(dialog.Create());
    EXPECT_TRUE(WoxLoadIconPixmap(77, 32).isNull());

    WoxRegisterResources(&kTable);
    WoxRegisterResources(&kTable);
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDialogWidget()->windowTitle().toStdString(), "Host Dialog");
    EXPECT_EQ(WoxLoadIconPixmap(77, 32).width(), 32);
    EXPECT_TRUE(WoxLoadIconPixmap(78, 32).isNull());
    EXPECT_EQ(CDialog(99999).DoModal(), -1);
}

// Which key is pressed in a running dialog, and what it must do.
struct SKeyCase
{
    const char* pszName;
    Qt::Key key;
    intptr_t nResult;
    const char* pszHandler;
};

class DialogKeyTest : public ::testing::TestWithParam<SKeyCase>
{
};

TEST_P(DialogKeyTest, KeysActLikeButtons)
{
    CRecordingDialog dialog;
    CScriptedAutomation automation([](CWoxDialogDriver& driver) {
        QTest::keyClick(driver.Dialog().GetDialogWidget(), GetParam().key);
    });
    EXPECT_EQ(dialog.DoModal(), GetParam().nResult);
    EXPECT_EQ(dialog.m_calls, (std::vector<std::string>{"init", GetParam().pszHandler}));
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeyTest,
                         ::testing::Values(SKeyCase{"EnterPressesTheDefaultButton", Qt::Key_Return, IDOK, "ok"},
                                           SKeyCase{"EscapeCancels", Qt::Key_Escape, IDCANCEL, "cancel"}),
                         [](const ::testing::TestParamInfo<SKeyCase>& info) { return std::string(info.param.pszName); });

TEST(DialogTest, AutomationSeesTheDialogByTemplateAndPressesButtons)
{
    CRecordingDialog dialog;
    std::string caption;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        caption = driver.Caption();
        EXPECT_TRUE(driver.IsEnabled(IDOK));
        EXPECT_FALSE(driver.PressButton(4711));
        EXPECT_TRUE(driver.PressButton(IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(automation.m_dialogs, std::vector<int>{IDD_OPEN_SCENARIO});
    EXPECT_EQ(caption, "Open Scenario");
}

// Message box type, the answer the handler gives, and what the caller must get back.
struct SBoxCase
{
    UINT nType;
    int nAnswer;
};

class MessageBoxTest : public ::testing::TestWithParam<SBoxCase>
{
};

TEST_P(MessageBoxTest, HandlerAnswersWithTitleAndText)
{
    WoxSetAppTitle("Wox Suite");
    CScriptedAutomation automation(nullptr, GetParam().nAnswer);
    EXPECT_EQ(WoxMessageBox("Save changes to the scenario?", GetParam().nType), GetParam().nAnswer);
    ASSERT_EQ(automation.m_boxes.size(), 1u);
    EXPECT_EQ(automation.m_boxes[0], "Save changes to the scenario?");
    EXPECT_EQ(automation.m_captions[0], "Wox Suite");
    EXPECT_EQ(automation.m_boxTypes[0], GetParam().nType);
}

INSTANTIATE_TEST_SUITE_P(Types, MessageBoxTest,
                         ::testing::Values(SBoxCase{MB_OK, IDOK}, SBoxCase{MB_YESNO | MB_ICONQUESTION, IDNO}));

TEST(DialogTest, AboutBoxShowsProductVersionAndIcon)
{
    CAboutDlg about;
    std::vector<std::string> texts;
    bool bIcon = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        for (QLabel* pLabel : driver.Dialog().GetDialogWidget()->findChildren<QLabel*>())
        {
            if (!pLabel->pixmap().isNull())
                bIcon = true;
            else
                texts.push_back(pLabel->text().toStdString());
        }
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(automation.m_dialogs, std::vector<int>{IDD_ABOUT});
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3),
              (std::vector<std::string>{"Wox Suite", "Scenario Editor", "Version 3.1"}));
    EXPECT_TRUE(bIcon);
    EXPECT_FALSE(WoxLoadIconPixmap(IDI_SCENARIO_EDITOR, 32).isNull());
    EXPECT_TRUE(WoxLoadIconPixmap(1, 32).isNull());
}

// Enter in a CEditBoxEx: with an owner the focus moves on, without one nothing happens, and the
// dialog stays open either way.
class EditBoxExTest : public ::testing::TestWithParam<bool>
{
};

TEST_P(EditBoxExTest, EnterMovesTheFocusOnlyWithAnOwner)
{
    const bool bOwner = GetParam();
    CRecordingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    QDialog* pWindow = dialog.GetDialogWidget();
    auto* pLineEdit = new QLineEdit(pWindow);
    pLineEdit->show();
    CEditBoxEx edit;
    edit.Attach(pLineEdit);
    if (bOwner)
        edit.SetOwner(&dialog);
    pWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pWindow));
    pLineEdit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), pLineEdit);

    QTest::keyClicks(pLineEdit, "1995");
    QTest::keyClick(pLineEdit, Qt::Key_Return);
    EXPECT_EQ(pLineEdit->text().toStdString(), "1995") << "other keys reach the edit";
    EXPECT_EQ(QApplication::focusWidget() != pLineEdit, bOwner);
    EXPECT_FALSE(dialog.IsEnded());
    EXPECT_EQ(dialog.m_calls, std::vector<std::string>{"init"});
    edit.Detach();
}

INSTANTIATE_TEST_SUITE_P(Owner, EditBoxExTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "WithOwner" : "WithoutOwner"; });

} // namespace
