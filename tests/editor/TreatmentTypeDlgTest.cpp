// The Treatment Types dialog over listed components, driven through the automation hook.

#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "ResourceIds.h"
#include "TestHost.h"
#include "TreatmentTypeDlg.h"
#include "UiTestSupport.h"

namespace
{

constexpr int kList = IDC_TREATMENT_TYPE_LIST;

// A component listed twice has two rows; a component that is gone ends the list. OK without a
// row keeps the dialog open; the chosen row answers the GUID of its own listing; a dialog shown
// again lists afresh; Cancel answers no type.
TEST(TreatmentTypeDlgTest, RowsAnswerTheirListedComponent)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    CScriptedTreatment thin(TestGuid(1), "Thinning from below"), cut(TestGuid(2), "Clearcut");
    CTestCompMgr compMgr;
    compMgr.Register(&thin);
    compMgr.Register(&cut);
    CEditorPortData portData;
    portData.m_components = {TestGuid(2), TestGuid(1), TestGuid(2), TestGuid(9), TestGuid(1)};

    CTreatmentTypeDlg dialog(host.Heap());
    ASSERT_EQ(dialog.Initialize(host.LibMgr(), &compMgr, host.Registry(), host.ErrorReporter(), &portData), 1);
    std::vector<std::string> rows;
    bool bOpenWithoutRow = false;
    int nPick = 2;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ(driver.Caption(), "Treatment Types");
        rows.clear();
        for (int i = 0; i < driver.GetRowCount(kList); ++i)
            rows.push_back(driver.GetRowText(kList, i));
        EXPECT_EQ(dialog.List().GetColumnCount(), 1);
        EXPECT_EQ(dialog.List().GetColumnWidth(0), 150);
        driver.PressButton(IDOK);
        bOpenWithoutRow = !dialog.IsEnded();
        if (nPick < 0)
            driver.PressButton(IDCANCEL);
        else
        {
            driver.SelectRow(kList, nPick);
            driver.PressButton(IDOK);
        }
    });
    GUID guid = {};
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(rows, (std::vector<std::string>{"Clearcut", "Thinning from below", "Clearcut"}));
    EXPECT_TRUE(bOpenWithoutRow);
    EXPECT_EQ(dialog.GetTreatmentType(&guid), 1);
    EXPECT_TRUE(guid == TestGuid(2));

    nPick = 1;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(rows.size(), 3u);
    dialog.GetTreatmentType(&guid);
    EXPECT_TRUE(guid == TestGuid(1));

    nPick = -1;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    dialog.GetTreatmentType(&guid);
    EXPECT_TRUE(guid == GUID{});
    EXPECT_TRUE(automation.m_boxes.empty());
    EXPECT_EQ(thin.RefCount() + cut.RefCount(), 0);
}

} // namespace
