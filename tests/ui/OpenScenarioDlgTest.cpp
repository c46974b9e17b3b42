// The Open Scenario dialog over real scenario files, driven through the automation hook.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTest>
#include <cstring>
#include <fstream>
#include <map>

#include "Files.h"
#include "OpenScenarioDlg.h"
#include "OpenScenarioLoadViewTd.h"
#include "ResourceIds.h"
#include "ScenarioBytes.h"
#include "ScenarioFile.h"
#include "ScenarioFolderPortData.h"
#include "TestHost.h"
#include "UiTestSupport.h"

namespace
{

constexpr int kList = IDC_OPEN_SCENARIO_LIST;
const char* const kNoSelection = "You must select a scenario file to open.";

class OpenScenarioDlgTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Loaded()); }

    // Writes a version 3.1 scenario file with no records.
    void WriteScenario(const std::string& path, const char* pszName, const char* pszDescription)
    {
        CScenarioFile file(m_host.Heap());
        ASSERT_TRUE(file.Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()));
        ASSERT_TRUE(file.Create(path.c_str()));
        SScenarioData data;
        WoxCopyText(data.info.szName, pszName);
        WoxCopyText(data.info.szDescription, pszDescription);
        data.info.nEndYear = 2050;
        ASSERT_TRUE(file.CreateTreatmentArray(data.pTreatments));
        ASSERT_TRUE(file.WriteRecords(&data));
        ASSERT_TRUE(file.Close());
    }

    static void WriteBytes(const std::string& path, const CBytes& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // The dialog initialised over the folder, ready for DoModal.
    std::unique_ptr<COpenScenarioDlg> MakeDialog(CScenarioFolderPortData& portData)
    {
        auto pDialog = std::make_unique<COpenScenarioDlg>(m_host.Heap());
        EXPECT_TRUE(pDialog->Initialize(m_host.LibMgr(), m_host.ThreadPool(), m_host.Registry(), m_host.ErrorReporter(), &portData));
        return pDialog;
    }

    // Waits until the list holds nRows rows and the load task has ended.
    void WaitForRows(CWoxDialogDriver& driver, int nRows)
    {
        m_host.ThreadPool()->WaitIdle();
        EXPECT_TRUE(driver.WaitUntil([&]() { return driver.GetRowCount(kList) == nRows; }));
        driver.ProcessEvents();
        EXPECT_EQ(driver.GetRowCount(kList), nRows);
    }

    CTestHost m_host;
    CTempFolder m_folder;
};

// One row per file that opens, in the file system's order: a 3.1 file, a 3.0 file (converted in
// place merely by listing it), names and descriptions filling their fields; a damaged file and
// other files take no row. The chosen row answers its own file's path.
TEST_F(OpenScenarioDlgTest, RowsFollowTheFilesThatOpen)
{
    const std::string name(50, 'N'), description(256, 'D');
    WriteScenario(m_folder.File("a.scenario"), "First", "Thin from below");
    WriteBytes(m_folder.File("b.scenario"), CBytes(100, 0x5A));
    WriteBytes(m_folder.File("c.scenario"), CByteWriter(512).Text(4, "ScenarioFile").F64(40, 3.0).Text(48, "Old plan").Text(98, "From 3.0").Get());
    WriteBytes(m_folder.File("d.scenario"), CByteWriter(512).Text(4, "ScenarioFile").F64(40, 3.1).Text(48, name).Text(98, description).Get());
    WriteBytes(m_folder.File("notes.txt"), CBytes(10, 1));
    const std::map<std::string, std::vector<std::string>> rowOf = {
        {"a.scenario", {"First", "Thin from below"}}, {"c.scenario", {"Old plan", "From 3.0"}}, {"d.scenario", {name, description.substr(0, 255)}}};
    std::vector<std::vector<std::string>> expected;
    std::vector<std::string> paths;
    for (const std::string& file : WoxFindFiles(m_folder.Path().c_str(), "*.scenario"))
        if (rowOf.count(file))
        {
            expected.push_back(rowOf.at(file));
            paths.push_back(m_folder.File(file));
        }

    CScenarioFolderPortData portData(m_folder.Path());
    auto pDialog = MakeDialog(portData);
    std::vector<std::vector<std::string>> rows;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        WaitForRows(driver, 3);
        for (int i = 0; i < driver.GetRowCount(kList); ++i)
            rows.push_back({driver.GetRowText(kList, i, 0), driver.GetRowText(kList, i, 1)});
        EXPECT_EQ(pDialog->List().GetColumnText(0), "Name");
        EXPECT_EQ(pDialog->List().GetColumnText(1), "Description");
        EXPECT_EQ(pDialog->List().GetColumnWidth(0), 175);
        EXPECT_TRUE(driver.SelectRow(kList, 1));
        driver.PressButton(IDOK);
    });
    ASSERT_EQ(pDialog->DoModal(), IDOK);
    EXPECT_EQ(rows, expected) << "row texts keep a terminator in their 256-byte buffer";
    EXPECT_EQ(std::string(pDialog->GetChosenPath()), paths.at(1));
    EXPECT_TRUE(automation.m_boxes.empty());

    std::ifstream in(m_folder.File("c.scenario"), std::ios::binary);
    char bytes[48] = {};
    in.read(bytes, sizeof bytes);
    double dVersion = 0;
    std::memcpy(&dVersion, bytes + 40, 8);
    EXPECT_DOUBLE_EQ(dVersion, 3.1);
}

// How the user tries to confirm with nothing chosen.
enum class EConfirm
{
    OkButton,
    DoubleClickOnEmptySpace,
};

class OpenScenarioEmptyTest : public OpenScenarioDlgTest, public ::testing::WithParamInterface<EConfirm>
{
};

TEST_P(OpenScenarioEmptyTest, ConfirmingWithoutARowAsksForOne)
{
    CScenarioFolderPortData portData(m_folder.Path());
    auto pDialog = MakeDialog(portData);
    bool bStillOpen = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        WaitForRows(driver, 0);
        if (GetParam() == EConfirm::OkButton)
            driver.PressButton(IDOK);
        else
        {
            QWidget* pViewport = pDialog->List().Table()->viewport();
            QTest::mouseDClick(pViewport, Qt::LeftButton, {}, QPoint(20, pViewport->height() - 10));
        }
        bStillOpen = !pDialog->IsEnded();
        driver.PressButton(IDCANCEL);
    });
    EXPECT_EQ(pDialog->DoModal(), IDCANCEL);
    EXPECT_TRUE(bStillOpen) << "the dialog stays up after the message";
    EXPECT_EQ(automation.m_boxes, std::vector<std::string>{kNoSelection});
    EXPECT_STREQ(pDialog->GetChosenPath(), "");
}

INSTANTIATE_TEST_SUITE_P(Ways, OpenScenarioEmptyTest, ::testing::Values(EConfirm::OkButton, EConfirm::DoubleClickOnEmptySpace),
                         [](const ::testing::TestParamInfo<EConfirm>& info) {
                             return info.param == EConfirm::OkButton ? "OkButton" : "DoubleClickOnEmptySpace";
                         });

TEST_F(OpenScenarioDlgTest, DoubleClickOnARowChoosesIt)
{
    WriteScenario(m_folder.File("only.scenario"), "Only", "One file");
    CScenarioFolderPortData portData(m_folder.Path());
    auto pDialog = MakeDialog(portData);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        WaitForRows(driver, 1);
        QTableWidget* pTable = pDialog->List().Table();
        QTest::mouseDClick(pTable->viewport(), Qt::LeftButton, {}, pTable->visualRect(pTable->model()->index(0, 0)).center());
    });
    EXPECT_EQ(pDialog->DoModal(), IDOK);
    EXPECT_EQ(std::string(pDialog->GetChosenPath()), m_folder.File("only.scenario"));
}

TEST_F(OpenScenarioDlgTest, NoProjectInformationLeavesTheListEmpty)
{
    WriteScenario(m_folder.File("a.scenario"), "A", "");
    CScenarioFolderPortData portData(m_folder.Path(), false);
    auto pDialog = MakeDialog(portData);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        WaitForRows(driver, 0);
        driver.PressButton(IDCANCEL);
    });
    EXPECT_EQ(pDialog->DoModal(), IDCANCEL);
    EXPECT_EQ(portData.InfoCalls(), 1);
}

TEST_F(OpenScenarioDlgTest, EveryReferenceIsGivenBack)
{
    for (int i = 0; i < 5; ++i)
        WriteScenario(m_folder.File("s" + std::to_string(i) + ".scenario"), "S", "");
    CScenarioFolderPortData portData(m_folder.Path());
    {
        auto pDialog = MakeDialog(portData);
        CScriptedAutomation automation([&](CWoxDialogDriver&) {});   // cancels at once, task may still run
        EXPECT_EQ(pDialog->DoModal(), IDCANCEL);
        EXPECT_GT(portData.RefCount(), 0);
    }
    EXPECT_EQ(portData.RefCount(), 0) << "the dialog and its task released the port data";
}

TEST_F(OpenScenarioDlgTest, TaskStoppedBeforeItsSearchListsNothing)
{
    for (const char* pszFile : {"a.scenario", "b.scenario"})
        WriteScenario(m_folder.File(pszFile), pszFile, "");
    IDynamicPtrTemplate<IArrayExt2> pPaths = m_host.MakeArray(WOX_MAX_PATH);
    CScenarioFolderPortData portData(m_folder.Path());
    COpenScenarioLoadViewTd task(m_host.Heap());
    ASSERT_EQ(1, task.Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter(), &portData, 0, pPaths));
    EXPECT_EQ(1, task.RunThread());
    EXPECT_EQ(2, pPaths->GetSize());

    // The stop comes while the task reads the project, after its start and before the search.
    portData.m_onInfo = [&task] { task.StopEvent()->SetEvent(); };
    pPaths->RemoveAll(0);
    EXPECT_EQ(1, task.RunThread());
    EXPECT_EQ(0, pPaths->GetSize());
}

} // namespace
