// The "Select the Treatments" dialog over host arrays of treatment records, driven offscreen
// through the automation hook.

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTableWidget>
#include <QTest>
#include <cstring>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "ScenarioData.h"
#include "TestHost.h"
#include "TrtSelectDlg.h"
#include "UiTestSupport.h"
#include "WoxText.h"

namespace
{

constexpr int kList = IDC_TRT_SELECT_LIST;
const std::string kLongStand(30, 'S');
const std::string kLongName(256, 'T');

SScenarioTreatment Record(int nYear, const std::string& stand, const std::string& name, bool bTriggered = false, int nEndYear = -1)
{
    SScenarioTreatment record;
    std::memset(&record, 0, sizeof record);
    record.nYear = nYear;
    WoxCopyText(record.szStand, stand.c_str());
    record.bTriggered = bTriggered ? 1 : 0;
    record.nEndYear = nEndYear;
    WoxCopyText(record.treatment.szName, name.c_str());
    record.treatment.nDataSize = static_cast<uint32_t>(nYear);   // tells the records apart byte for byte
    return record;
}

class TrtSelectDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_pSource = m_host.MakeArray(sizeof(SScenarioTreatment));
        m_pResult = m_host.MakeArray(sizeof(SScenarioTreatment));
        ASSERT_TRUE(m_pSource && m_pResult);
        m_records = {Record(2015, "Stand 7", "Thinning from below"), Record(2010, kLongStand, kLongName, true, 2040),
                     Record(2030, "Stand 9", "Clearcut")};
        for (const SScenarioTreatment& record : m_records)
            ASSERT_TRUE(m_pSource->Add(&record));
    }

    std::unique_ptr<CTrtSelectDlg> MakeDialog(int nMode)
    {
        auto pDialog = std::make_unique<CTrtSelectDlg>(m_host.Heap(), nMode);
        EXPECT_EQ(1, pDialog->Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter(), m_pSource, m_pResult));
        return pDialog;
    }

    // The result array's records, as bytes.
    std::vector<std::string> Result()
    {
        std::vector<std::string> records;
        for (int i = 0; i < m_pResult->GetSize(); ++i)
            records.emplace_back(static_cast<const char*>(m_pResult->GetAt(i, 0)), sizeof(SScenarioTreatment));
        return records;
    }
    std::string Bytes(int nRecord) const
    {
        return std::string(reinterpret_cast<const char*>(&m_records[nRecord]), sizeof(SScenarioTreatment));
    }

    CTestHost m_host;
    IDynamicPtrTemplate<IArrayExt2> m_pSource;
    IDynamicPtrTemplate<IArrayExt2> m_pResult;
    std::vector<SScenarioTreatment> m_records;
};

// One row per record in array order: a year or a triggered range, the stand in its full 30
// characters, the treatment name cut to 255 for display. Rows 2 and 0 picked together come back
// as records 0 and 2, in that order and byte for byte.
TEST_F(TrtSelectDlgTest, PickedRowsAreCopiedFromTheTop)
{
    auto pDialog = MakeDialog(CTrtSelectDlg::MODE_EDIT);
    std::vector<std::vector<std::string>> rows;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ(driver.Caption(), "Select the Treatments");
        EXPECT_EQ(driver.GetText(IDOK), "Edit...");
        for (int i = 0; i < driver.GetRowCount(kList); ++i)
            rows.push_back({driver.GetRowText(kList, i, 0), driver.GetRowText(kList, i, 1), driver.GetRowText(kList, i, 2)});
        for (int nColumn : {0, 1, 2})
            EXPECT_EQ(pDialog->List().GetColumnWidth(nColumn), nColumn == 2 ? 200 : 100);
        EXPECT_EQ(pDialog->List().GetColumnText(2), "Treatment");
        QTableWidget* pTable = pDialog->List().Table();
        driver.SelectRow(kList, 2);
        pTable->selectionModel()->select(pTable->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(pDialog->DoModal(), IDOK);
    const std::vector<std::vector<std::string>> expected = {
        {"2015", "Stand 7", "Thinning from below"}, {"2010 - 2040", kLongStand, kLongName.substr(0, 255)}, {"2030", "Stand 9", "Clearcut"}};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(Result(), (std::vector<std::string>{Bytes(0), Bytes(2)}));
    EXPECT_EQ(m_pSource->GetSize(), 3) << "the offered records stay as they were";
}

// In either mode OK without a row asks for one and keeps the dialog up; Enter cancels, since
// Cancel is the default button. Nothing reaches the result.
TEST_F(TrtSelectDlgTest, NothingPickedCopiesNothing)
{
    for (int nMode : {int(CTrtSelectDlg::MODE_DELETE), int(CTrtSelectDlg::MODE_EDIT), 7})
    {
        SCOPED_TRACE(nMode);
        auto pDialog = MakeDialog(nMode);
        std::string button;
        bool bStillOpen = false;
        CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
            button = driver.GetText(IDOK);
            driver.PressButton(IDOK);
            bStillOpen = !pDialog->IsEnded();
            driver.SelectRow(kList, 1);
            QTest::keyClick(pDialog->List().Table(), Qt::Key_Return);
        });
        EXPECT_EQ(pDialog->DoModal(), IDCANCEL);
        EXPECT_EQ(button, nMode == CTrtSelectDlg::MODE_EDIT ? "Edit..." : nMode == CTrtSelectDlg::MODE_DELETE ? "Delete..." : "Delete");
        EXPECT_TRUE(bStillOpen);
        EXPECT_EQ(automation.m_boxes, std::vector<std::string>{"At least one item must be selected to delete."});
        EXPECT_EQ(m_pResult->GetSize(), 0);
    }
}

} // namespace
