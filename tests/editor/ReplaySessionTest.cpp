// Replayed sessions: what a damaged session file answers, and sessions carried out on the
// new-scenario and end-year dialogs, the first given the editor's menu bar so a menu command
// opens the second.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QDialog>
#include <QMenuBar>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "Dialog.h"
#include "EndYearDlg.h"
#include "Menu.h"
#include "NewScenarioDlg.h"
#include "ReplaySession.h"
#include "ResourceIds.h"

namespace
{

struct SParseCase
{
    const char* pszCase;
    std::string json;
    const char* pszError;
};

class ReplayParseTest : public ::testing::TestWithParam<SParseCase>
{
};

TEST_P(ReplayParseTest, RefusesWithOneLineNamingTheStep)
{
    CReplaySession session;
    std::string error;
    EXPECT_FALSE(session.Parse(QByteArray::fromStdString(GetParam().json), error));
    EXPECT_EQ(error, GetParam().pszError);
    EXPECT_TRUE(session.Steps().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplayParseTest,
    ::testing::Values(
        SParseCase{"BadJson", R"({"steps": [)", "not JSON at byte 11: unterminated array"},
        SParseCase{"NoSteps", R"({"step": []})", "a session is an object with a \"steps\" list"},
        SParseCase{"UnknownKind", R"({"steps": [{"menu": 5018}, {"click": 3}]})", "step 2: unknown step kind \"click\""},
        SParseCase{"TwoKinds", R"({"steps": [{"menu": 5018, "press": 1}]})", "step 1: has two kinds, menu and press"},
        SParseCase{"UnknownField", R"({"steps": [{"press": 1, "text": "x"}]})", "step 1: press: unknown field \"text\""},
        SParseCase{"MissingField", R"({"steps": [{"messageBox": "Saved."}]})", "step 1: messageBox: missing field \"press\""},
        SParseCase{"BadAnswer", R"({"steps": [{"messageBox": "Saved.", "press": "maybe"}]})", "step 1: messageBox: press must be ok, cancel, yes or no"},
        SParseCase{"IdOutOfRange", R"({"steps": [{"menu": 70000}]})", "step 1: menu: menu must be an id from 1 to 65535"},
        SParseCase{"KeyWithoutStandOrYear", R"({"steps": [{"select": [{}]}]})", "step 1: select: a key needs a \"stand\" or a \"year\""},
        SParseCase{"HugeText", R"({"steps": [{"set": 5001, "text": ")" + std::string(5000, 'a') + R"("}]})",
                   "step 1: set: text must be a text of at most 4096 characters"},
        SParseCase{"HugeFile", R"({"steps": [], "pad": ")" + std::string(CReplaySession::kMaxFileBytes, ' ') + R"("})",
                   "the session is larger than 1048576 bytes"}),
    [](const auto& info) { return info.param.pszCase; });

// The new-scenario dialog with the editor's menu bar: Change End Year opens the end-year dialog
// (first year 2000, period 5, end year 2040), as the editor window does.
class CMenuNewScenarioDlg final : public CNewScenarioDlg
{
public:
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CNewScenarioDlg::OnInitDialog();
        m_menu.LoadMenu(IDR_EDITOR_MENU_FILE_OPEN);
        m_menu.SetCommandHandler([this](int nId) {
            if (nId != ID_CHANGE_END_YEAR)
                return;
            CEndYearDlg dialog(nullptr, this);
            dialog.SetYears(2000, 5, 2040);
            if (dialog.DoModal() == IDOK)
                m_nEndYear = dialog.GetEndYear();
        });
        m_menu.FillMenuBar(new QMenuBar(GetDialogWidget()));
        return bResult;
    }
    CMenu m_menu;
    int m_nEndYear = 0;
};

std::string RunSession(const std::string& steps, CMenuNewScenarioDlg& dialog, const std::string& screens = {})
{
    CReplaySession session;
    std::string error;
    if (!session.Parse(QByteArray::fromStdString(R"({"steps": [)" + steps + "]}"), error))
        return "parse: " + error;
    session.SetScreens(screens);
    dialog.SetYears(2000, 5);
    const int nExit = session.Run([&] { dialog.DoModal(); });
    EXPECT_EQ(nExit != 0, !session.Error().empty());
    return session.Error();
}

const std::string kOpenEndYear = R"({"dialog": 10022}, {"set": 5001, "text": "Spring plan"}, {"menu": 5015},
    {"dialog": 10026, "caption": "Change End Year"})";

TEST(ReplaySessionTest, CarriesOutNestedDialogsAndBoxesInOrderAndWritesScreens)
{
    QTemporaryDir screens;
    CMenuNewScenarioDlg dialog;
    const std::string error = RunSession(kOpenEndYear + R"(, {"set": 5003, "text": "2012"}, {"press": 1},
        {"messageBox": "The year is invalid and has been corrected to the nearest valid year.", "caption": "Wox Suite", "press": "ok"},
        {"expect": 5003, "text": "2010"}, {"spin": 5004, "arrow": "up", "times": 2}, {"expect": 0, "caption": "Change End Year"},
        {"press": 1}, {"set": 5003, "text": "2060"}, {"press": 1})",
                                  dialog, screens.path().toStdString());
    EXPECT_EQ(error, "");
    EXPECT_EQ(dialog.m_nEndYear, 2020);
    SScenarioInfo info{};
    dialog.GetInformation(&info);
    EXPECT_EQ(std::string(info.szName), "Spring plan");
    EXPECT_EQ(info.nEndYear, 2060);
    EXPECT_TRUE(QFile::exists(screens.filePath("step-001.png")));
    EXPECT_TRUE(QFile::exists(screens.filePath("step-009.png")));
}

struct SFailCase
{
    const char* pszCase;
    std::string steps;
    const char* pszLine;
};

class ReplayFailTest : public ::testing::TestWithParam<SFailCase>
{
};

// A failing session stops at its step with one line, cancelling every window still up.
TEST_P(ReplayFailTest, StopsAtTheStepWithItsLine)
{
    CMenuNewScenarioDlg dialog;
    EXPECT_EQ(RunSession(GetParam().steps, dialog), GetParam().pszLine);
    EXPECT_EQ(dialog.m_nEndYear, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplayFailTest,
    ::testing::Values(
        SFailCase{"OtherDialog", R"({"dialog": 10026})", "step 1 (dialog): expected dialog 10026, found dialog 10022 \"Enter new scenario information\""},
        SFailCase{"DialogNeverCame", R"({"dialog": 10022}, {"dialog": 10026})",
                  "step 2 (dialog): expected dialog 10026, found dialog 10022 \"Enter new scenario information\" up and nothing opening it"},
        SFailCase{"UnexpectedBox", kOpenEndYear + R"(, {"set": 5003, "text": "2012"}, {"press": 1}, {"press": 2})",
                  "step 7 (press): expected press on control 2, found message box \"The year is invalid and has been corrected to the nearest valid year.\""},
        SFailCase{"OtherBoxText", kOpenEndYear + R"(, {"set": 5003, "text": "2012"}, {"press": 1}, {"messageBox": "Saved.", "press": "ok"})",
                  "step 7 (messageBox): expected message box \"Saved.\", found \"The year is invalid and has been corrected to the nearest valid year.\""},
        SFailCase{"AnswerNotOffered", kOpenEndYear + R"(, {"set": 5003, "text": "2012"}, {"press": 1},
                  {"messageBox": "The year is invalid and has been corrected to the nearest valid year.", "press": "yes"})",
                  "step 7 (messageBox): the message box \"The year is invalid and has been corrected to the nearest valid year.\" offers no such button"},
        SFailCase{"MissingControl", kOpenEndYear + R"(, {"set": 4999, "text": "x"})", "step 5 (set): no control 4999 in dialog 10026 \"Change End Year\""},
        SFailCase{"MissingMenuCommand", R"({"dialog": 10022}, {"menu": 4321})",
                  "step 2 (menu): no menu command 4321 in dialog 10022 \"Enter new scenario information\""},
        SFailCase{"WrongText", kOpenEndYear + R"(, {"expect": 5003, "text": "2050"})",
                  "step 5 (expect): control 5003: expected \"2050\", found \"2040\" in dialog 10026 \"Change End Year\""},
        SFailCase{"NotAView", R"({"dialog": 10022}, {"select": [{"stand": "S1", "year": 2030}]})",
                  "step 2 (select): no view is shown in dialog 10022 \"Enter new scenario information\""},
        SFailCase{"EndedWithWindowUp", kOpenEndYear, "after the last step: the session ended with dialog 10026 \"Change End Year\" still up"},
        SFailCase{"StepsLeftAfterClose", R"({"dialog": 10022}, {"press": 2}, {"menu": 5015})",
                  "step 3 (menu): expected menu command 5015, found no window up"}),
    [](const auto& info) { return info.param.pszCase; });

}
