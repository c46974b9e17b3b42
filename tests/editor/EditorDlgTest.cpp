// The Scenario Editor window over the real host, driven offscreen through the automation hook.

#include <gtest/gtest.h>

#include <QDialog>
#include <QShortcut>
#include <QTreeWidget>
#include <csignal>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ChildProcess.h"
#include "EditorDlg.h"
#include "EditorTestSupport.h"
#include "FileFaults.h"
#include "MessageBox.h"
#include "ResourceIds.h"
#include "ScenarioFile.h"
#include "TestHost.h"
#include "UiTestSupport.h"

namespace
{

constexpr const char* kChildTarget = "WOX_EDITOR_SAVE_TARGET";

SScenarioTreatment Record(int32_t nYear, const char* pszStand, const char* pszName)
{
    SScenarioTreatment record = {};
    record.nYear = nYear;
    record.nEndYear = -1;
    WoxCopyText(record.szStand, pszStand);
    WoxCopyText(record.treatment.szName, pszName);
    return record;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The editor window with its context menu recorded instead of shown.
class CTestEditorDlg final : public CEditorDlg
{
public:
    using CEditorDlg::CEditorDlg;
    int m_nMenus = 0;

protected:
    int TrackContextMenu(CMenu&, int, int) override
    {
        ++m_nMenus;
        return 0;
    }
};

class EditorDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_portData.m_stands = {"S1", "S2"};
        m_portData.m_scenarioFolder = m_folder.Path();
        ASSERT_EQ(m_editor.Initialize(m_host.LibMgr(), m_host.ThreadPool(), &m_compMgr, m_host.Registry(), m_host.ErrorReporter(),
                                      m_host.SpeciesMap(), &m_portData),
                  1);
        ASSERT_TRUE(m_editor.Create());
        ASSERT_TRUE(m_editor.HasTasks());
    }
    void TearDown() override
    {
        CScriptedAutomation answerNo(nullptr, IDNO);
        if (m_editor.IsFileOpen())
            m_editor.OnCommand(ID_FILE_CLOSE);
        m_editor.DestroyWindow();
    }

    // Runs New with the name and end year given in the new-scenario dialog.
    void New(const char* pszName)
    {
        CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
            driver.SetText(IDC_SCENARIO_NAME, pszName);
            driver.SetText(IDC_END_YEAR, "2060");
            driver.PressButton(IDOK);
        });
        m_editor.OnCommand(ID_FILE_NEW);
    }

    // Saves "Mixed" (a thinning of S1 in 2030, a triggered "Cut" of pszTriggeredStand from 2025 to
    // 2040) and opens it through the Open Scenario dialog.
    void OpenMixed(const char* pszTriggeredStand)
    {
        CScenarioFile file(m_host.Heap());
        ASSERT_TRUE(file.Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()));
        SScenarioData data;
        WoxCopyText(data.info.szName, "Mixed");
        data.info.nEndYear = 2060;
        data.pTreatments = m_host.MakeArray(sizeof(SScenarioTreatment));
        SScenarioTreatment normal = Record(2030, "S1", "Thin"), triggered = Record(2025, pszTriggeredStand, "Cut");
        triggered.bTriggered = 1;
        triggered.nEndYear = 2040;
        data.pTreatments->Add(&normal);
        data.pTreatments->Add(&triggered);
        ASSERT_TRUE(file.Save(m_folder.File("Mixed.scenario").c_str(), &data));
        CScriptedAutomation open([](CWoxDialogDriver& driver) {
            driver.WaitUntil([&] { return driver.GetRowCount(IDC_OPEN_SCENARIO_LIST) > 0; });
            driver.SelectRow(IDC_OPEN_SCENARIO_LIST, 0);
            driver.PressButton(IDOK);
        });
        m_editor.OnCommand(ID_FILE_OPEN);
        ASSERT_TRUE(m_editor.IsFileOpen());
    }

    CTestHost m_host;
    CTempFolder m_folder;
    CEditorPortData m_portData;
    CTestCompMgr m_compMgr;
    CTestEditorDlg m_editor{m_host.Heap()};
};

TEST_F(EditorDlgTest, MenusFollowTheFileAndShowTheViewModes)
{
    CMenu& menu = m_editor.Menu();
    EXPECT_EQ(m_editor.GetWindowText(), "Scenario Editor");
    for (int nId : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_EXIT, ID_HELP_ABOUT})
        EXPECT_NE(menu.GetMenuState(nId), static_cast<UINT>(-1)) << nId;
    for (int nId : {ID_FILE_SAVE, ID_ADD_NORMAL, ID_DELETE_TREATMENT, ID_VIEW_GRID})
        EXPECT_EQ(menu.GetMenuState(nId), static_cast<UINT>(-1)) << nId;
    EXPECT_EQ(menu.GetMenuState(ID_HELP_CONTENTS), MF_GRAYED);

    New("Spring plan");
    ASSERT_TRUE(m_editor.IsFileOpen());
    EXPECT_TRUE(std::filesystem::exists(m_folder.File("Spring plan.scenario")));
    EXPECT_EQ(m_editor.GetWindowText(), "Scenario Editor - [Spring plan]*");
    for (int nId : {ID_FILE_SAVE, ID_FILE_CLOSE, ID_ADD_NORMAL, ID_ADD_TRIGGERED, ID_MODIFY_TREATMENT, ID_CHANGE_END_YEAR})
        EXPECT_EQ(menu.GetMenuState(nId), 0u) << nId;
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_BY_YEAR), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_TREE), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_HIDE_UNTREATED), MF_CHECKED);

    // View modes survive the menu loaded fresh by the next New, and the name taken gets " (2)".
    m_editor.OnCommand(ID_VIEW_GRID);
    m_editor.OnCommand(ID_VIEW_BY_STAND);
    m_editor.OnCommand(ID_VIEW_HIDE_UNTREATED);
    New("Spring plan");
    EXPECT_TRUE(std::filesystem::exists(m_folder.File("Spring plan (2).scenario")));
    EXPECT_EQ(m_editor.Scenario().szPath, m_folder.File("Spring plan (2).scenario"));
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_BY_STAND), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_GRID), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_HIDE_UNTREATED), 0u);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_TREE), 0u);
}

// The close prompt: Yes saves (the mark goes), No leaves the file as it was; either way the file
// is closed, and a No keeps the scenario marked modified.
class EditorClosePromptTest : public EditorDlgTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(EditorClosePromptTest, YesSavesNoDoesNot)
{
    New("Prompted");
    const std::string path = m_folder.File("Prompted.scenario");
    const std::string before = FileBytes(path);
    {
        // A changed end year changes the header's bytes when saved.
        CScriptedAutomation automation([](CWoxDialogDriver& driver) {
            driver.SetText(IDC_END_YEAR, "2050");
            driver.PressButton(IDOK);
        });
        m_editor.OnCommand(ID_CHANGE_END_YEAR);
    }
    CScriptedAutomation answer(nullptr, GetParam());
    m_editor.OnCommand(ID_FILE_CLOSE);
    ASSERT_EQ(answer.m_boxes.size(), 1u);
    EXPECT_EQ(answer.m_boxes[0], "Would you like to save the scenario file?");
    EXPECT_FALSE(m_editor.IsFileOpen());
    EXPECT_EQ(m_editor.GetWindowText(), "Scenario Editor");
    EXPECT_EQ(FileBytes(path) == before, GetParam() == IDNO);
    EXPECT_EQ(m_editor.IsModified(), GetParam() == IDNO);
}

INSTANTIATE_TEST_SUITE_P(Answers, EditorClosePromptTest, ::testing::Values(IDYES, IDNO));

// Delete on a node of the tree: the records under it (a triggered record under every year of its
// range), the selection dialog first when there are several, else the confirmation or the
// "no treatments" message.
struct SSelectionCase
{
    int nViewBy;
    const char* pszFirst;
    const char* pszSecond;   // none: the first-level node itself
    bool bSelectionDialog;
    const char* pszBox;
};

class EditorSelectionTest : public EditorDlgTest, public ::testing::WithParamInterface<SSelectionCase>
{
};

TEST_P(EditorSelectionTest, DeleteOffersTheRecordsUnderTheSelection)
{
    const SSelectionCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenMixed("S1"));
    if (c.nViewBy == 0)
        m_editor.OnCommand(ID_VIEW_BY_STAND);
    m_editor.WaitForLoad();
    auto* pTree = static_cast<QTreeWidget*>(m_editor.Tree().GetWidget());
    QTreeWidgetItem* pNode = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        pNode = nullptr;
        for (int i = 0; i < pTree->topLevelItemCount() && !pNode; ++i)
            if (pTree->topLevelItem(i)->text(0) == c.pszFirst)
                pNode = pTree->topLevelItem(i);
        for (int i = 0; c.pszSecond && pNode && i < pNode->childCount(); ++i)
            if (pNode->child(i)->text(0) == c.pszSecond)
                return (pNode = pNode->child(i)) != nullptr;
        return pNode && !c.pszSecond;
    }));
    // The rest of the fill first: its newest leaf would take the selection back from the node.
    PumpQueued();
    pTree->setCurrentItem(pNode);

    // Every dialog is cancelled, so nothing is deleted.
    CScriptedAutomation answers(nullptr, IDCANCEL);
    m_editor.OnCommand(ID_DELETE_TREATMENT);
    EXPECT_EQ(answers.m_dialogs == std::vector<int>{IDD_TRT_SELECT}, c.bSelectionDialog);
    if (c.pszBox)
        EXPECT_EQ(answers.m_boxes, std::vector<std::string>{c.pszBox});
    else
        EXPECT_TRUE(answers.m_boxes.empty());
    EXPECT_EQ(m_editor.Scenario().pTreatments->GetSize(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, EditorSelectionTest,
    ::testing::Values(SSelectionCase{1, "2030", "S1", true, nullptr},
                      SSelectionCase{1, "2035", "S1", false, "The following treatments will be deleted:\n\nCut (2025, S1)\n\nPress 'OK' to continue."},
                      SSelectionCase{1, "2030", nullptr, false, "There are no treatments to delete for the selected stand(s)."},
                      SSelectionCase{0, "S1", "2030", true, nullptr},
                      SSelectionCase{0, "S1", "2040", false, "The following treatments will be deleted:\n\nCut (2025, S1)\n\nPress 'OK' to continue."}));

TEST_F(EditorDlgTest, FailedSaveKeepsTheOldFileAndTheMark)
{
    New("Kept");
    const std::string path = m_folder.File("Kept.scenario");
    const std::string before = FileBytes(path);
    {
        CScriptedAutomation automation([](CWoxDialogDriver& driver) {
            driver.SetText(IDC_END_YEAR, "2040");
            driver.PressButton(IDOK);
        });
        m_editor.OnCommand(ID_CHANGE_END_YEAR);
    }
    CScriptedAutomation boxes(nullptr, IDOK);
    for (const char* pszFault : {"fail:1", "fail:2", "fail:3"})
    {
        WoxSetFileFault(pszFault);
        m_editor.OnCommand(ID_FILE_SAVE);
        WoxSetFileFault(nullptr);
        EXPECT_EQ(FileBytes(path), before) << pszFault;
        EXPECT_TRUE(m_editor.IsModified()) << pszFault;
    }
    ASSERT_EQ(boxes.m_boxes.size(), 3u);
    EXPECT_NE(boxes.m_boxes[0].find("could not be saved"), std::string::npos) << boxes.m_boxes[0];
    EXPECT_EQ(boxes.m_captions[0], WoxAppTitle());
    m_editor.OnCommand(ID_FILE_SAVE);
    EXPECT_FALSE(m_editor.IsModified());
    EXPECT_NE(FileBytes(path), before);
}

// Undo and redo through the window's keys: a delete and an end-year change undone past the save
// and redone; the tree and the modified mark follow; Close drops the history.
TEST_F(EditorDlgTest, UndoAndRedoKeysFollowTheViewsAndTheMark)
{
    ASSERT_NO_FATAL_FAILURE(OpenMixed("S2"));
    auto* pTree = static_cast<QTreeWidget*>(m_editor.Tree().GetWidget());
    // Whether the tree shows the triggered "Cut" under the year.
    std::function<bool(QTreeWidgetItem*)> holdsCut = [&](QTreeWidgetItem* pItem) {
        for (int c = 0; c < pItem->childCount(); ++c)
            if (pItem->child(c)->text(0).contains("Cut") || holdsCut(pItem->child(c)))
                return true;
        return false;
    };
    auto shows = [&](const char* pszYear) {
        m_editor.WaitForLoad();
        PumpQueued();
        for (int i = 0; i < pTree->topLevelItemCount(); ++i)
            if (pTree->topLevelItem(i)->text(0) == pszYear && holdsCut(pTree->topLevelItem(i)))
                return true;
        return false;
    };
    auto keys = [&](QKeySequence sequence) {
        for (QShortcut* pShortcut : m_editor.GetDialogWidget()->findChildren<QShortcut*>())
            if (pShortcut->key() == sequence)
                return void(emit pShortcut->activated());
        ADD_FAILURE() << sequence.toString().toStdString() << " has no shortcut";
    };
    const QKeySequence undo(Qt::CTRL | Qt::Key_Z), redo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), redoY(Qt::CTRL | Qt::Key_Y);
    ASSERT_TRUE(PumpUntil([&] { return shows("2035"); }));

    QTreeWidgetItem* pYear = nullptr;
    for (int i = 0; i < pTree->topLevelItemCount(); ++i)
        if (pTree->topLevelItem(i)->text(0) == "2035")
            pYear = pTree->topLevelItem(i);
    ASSERT_TRUE(pYear && pYear->childCount() == 1);
    pTree->setCurrentItem(pYear->child(0));
    {
        CScriptedAutomation confirm(nullptr, IDOK);
        m_editor.OnCommand(ID_DELETE_TREATMENT);
    }
    EXPECT_FALSE(shows("2035"));
    {
        CScriptedAutomation automation([](CWoxDialogDriver& driver) {
            driver.SetText(IDC_END_YEAR, "2050");
            driver.PressButton(IDOK);
        });
        m_editor.OnCommand(ID_CHANGE_END_YEAR);
    }
    m_editor.OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(m_editor.GetWindowText(), "Scenario Editor - [Mixed]");

    keys(undo);
    EXPECT_EQ(m_editor.Scenario().info.nEndYear, 2060);
    EXPECT_EQ(m_editor.GetWindowText(), "Scenario Editor - [Mixed]*");
    keys(undo);
    EXPECT_EQ(m_editor.Scenario().pTreatments->GetSize(), 2);
    EXPECT_TRUE(shows("2035"));
    EXPECT_FALSE(m_editor.Undo());
    keys(redoY);
    EXPECT_FALSE(shows("2035"));
    keys(redo);
    EXPECT_EQ(m_editor.Scenario().info.nEndYear, 2050);
    EXPECT_EQ(m_editor.GetWindowText(), "Scenario Editor - [Mixed]");
    EXPECT_FALSE(m_editor.Redo());

    keys(undo);
    m_editor.OnCommand(ID_FILE_SAVE);
    EXPECT_TRUE(m_editor.History().CanRedo()) << "Save keeps the history";
    m_editor.OnCommand(ID_FILE_CLOSE);
    EXPECT_EQ(m_editor.History().StepCount(), 0u);
}

TEST_F(EditorDlgTest, ResizeGrowsBothViewsByTheSameDeltaAndMenusOnlyOverTheViews)
{
    QWidget* pGrid = m_editor.Grid().GetWidget();
    QWidget* pTree = m_editor.Tree().GetWidget();
    const QRect grid = pGrid->geometry();
    QDialog* pWindow = m_editor.GetDialogWidget();
    pWindow->resize(pWindow->width() + 40, pWindow->height() + 30);
    PumpQueued();
    EXPECT_EQ(pGrid->geometry(), grid.adjusted(0, 0, 40, 30));
    EXPECT_EQ(pTree->geometry(), pGrid->geometry());

    const QPoint inside = pTree->mapToGlobal(QPoint(10, 10));
    const QPoint outside = pTree->mapToGlobal(QPoint(-3, -3));
    m_editor.OnContextMenu(outside.x(), outside.y());
    EXPECT_EQ(m_editor.m_nMenus, 0);
    m_editor.OnContextMenu(inside.x(), inside.y());
    EXPECT_EQ(m_editor.m_nMenus, 1);
}

// The list names the records in order and stops at 255 characters, as does the whole text.
TEST(EditorDeleteConfirmation, ListsTheChosenRecordsWithin255Characters)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    IDynamicPtrTemplate<IArrayExt2> pChosen = host.MakeArray(sizeof(SScenarioTreatment));
    SScenarioTreatment first = Record(2030, "S1", "Thin"), second = Record(2035, "S2", "Cut");
    pChosen->Add(&first);
    pChosen->Add(&second);
    EXPECT_EQ(CEditorDlg::DeleteConfirmationText(pChosen.Get()),
              "The following treatments will be deleted:\n\nThin (2030, S1), Cut (2035, S2)\n\nPress 'OK' to continue.");
    for (int i = 0; i < 20; ++i)
        pChosen->Add(&second);
    const std::string text = CEditorDlg::DeleteConfirmationText(pChosen.Get());
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.rfind("The following treatments will be deleted:\n\nThin (2030, S1), Cut (2035, S2), Cut", 0), 0u);
}

// In a child only (disabled in the list of tests): saves 20 new records over the file named in
// the environment, killed by the fault layer at some write step.
TEST(EditorSaveChild, DISABLED_SavesTwentyRecords)
{
    const char* pszTarget = std::getenv(kChildTarget);
    ASSERT_NE(pszTarget, nullptr) << "runs as the child of AtomicSaveUnderKills";
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    CScenarioFile file(host.Heap());
    ASSERT_TRUE(file.Initialize(host.LibMgr(), host.Registry(), host.ErrorReporter()));
    SScenarioData data;
    data.info.nEndYear = 2100;
    data.pTreatments = host.MakeArray(sizeof(SScenarioTreatment));
    for (int i = 0; i < 20; ++i)
    {
        SScenarioTreatment record = Record(2030 + i, "New", "Thin");
        data.pTreatments->Add(&record);
    }
    ASSERT_TRUE(file.Save(pszTarget, &data));
}

// A save killed at any write step leaves the old records or the new ones, never a mix.
TEST(EditorSave, AtomicSaveUnderKills)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    CTempFolder folder;
    const std::string path = folder.File("Plan.scenario");
    CScenarioFile file(host.Heap());
    ASSERT_TRUE(file.Initialize(host.LibMgr(), host.Registry(), host.ErrorReporter()));
    SScenarioData old;
    old.info.nEndYear = 2100;
    old.pTreatments = host.MakeArray(sizeof(SScenarioTreatment));
    for (int i = 0; i < 3; ++i)
    {
        SScenarioTreatment record = Record(2030, "Old", "Cut");
        old.pTreatments->Add(&record);
    }
    ASSERT_TRUE(file.Save(path.c_str(), &old));
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    bool bCompleted = false;
    for (int nStep = 1; nStep <= 12 && !bCompleted; ++nStep)
    {
        SChildResult run = RunChild({self, "--gtest_also_run_disabled_tests", "--gtest_filter=EditorSaveChild.*"},
                                    {std::string(kChildTarget) + "=" + path, "WOX_FILE_FAULT=kill:" + std::to_string(nStep)});
        bCompleted = run.nExitCode == 0;
        EXPECT_TRUE(bCompleted || run.nSignal == SIGKILL) << "step " << nStep << ": " << run.err;
        CScenarioFile reader(host.Heap());
        SScenarioData back;
        ASSERT_TRUE(reader.Initialize(host.LibMgr(), host.Registry(), host.ErrorReporter()));
        ASSERT_TRUE(reader.CreateTreatmentArray(back.pTreatments));
        ASSERT_TRUE(reader.Open(path.c_str()) && reader.ReadRecords(&back)) << "step " << nStep;
        reader.Close();
        const int nRecords = back.pTreatments->GetSize();
        // A kill after the rename leaves the new file whole.
        EXPECT_TRUE(nRecords == 20 || (!bCompleted && nRecords == 3)) << "step " << nStep << ": " << nRecords;
        FreeTreatmentBlocks(host.Heap(), back.pTreatments.Get());
    }
    EXPECT_TRUE(bCompleted) << "the save never got through its write steps";
}

} // namespace
