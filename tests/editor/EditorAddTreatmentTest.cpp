// The add task: records made from a selection (nesting order, trigger part at its defaults),
// shown in the active view and appended exactly once, also while load runs come and go.

#include <thread>

#include "EditorViewFixture.h"

namespace
{

class EditorAddTreatmentTest : public EditorViewFixture
{
protected:
    // Runs the add task until the treatment array holds nCount records.
    void WaitForRecords(int nCount)
    {
        EXPECT_TRUE(PumpUntil([&]() { return m_pTreatments->GetSize() >= nCount && m_pAdd->QueuedCount() == 0; }, 20000));
        PumpQueued();
    }
};

TEST_F(EditorAddTreatmentTest, AddNormalMakesOneRecordPerYearStandAndTreatment)
{
    CEditorAddTreatmentTd& add = Add(0, 1);
    STreatmentData selection;
    selection.pYears = m_host.MakeArray(4);
    selection.pStands = m_host.MakeArray(sizeof(STreatmentDataStand));
    selection.pTreatments = m_host.MakeArray(sizeof(STreatmentDataTreatment));
    for (int32_t nYear : {2000, 2005})
        selection.pYears->Add(&nYear);
    const std::string wide(30, 'W');   // a full-width stand keeps all 30 characters
    for (const char* pszStand : {"S1", wide.c_str()})
    {
        STreatmentDataStand stand{};
        WoxCopyText(stand.szStand, pszStand);
        selection.pStands->Add(&stand);
    }
    for (const char* pszName : {"T1", "T2"})
    {
        STreatmentDataTreatment treatment{};
        WoxCopyText(treatment.szName, pszName);
        WoxCopyText(treatment.szDescription, "d");
        treatment.nDataSize = 7;
        selection.pTreatments->Add(&treatment);
    }
    ASSERT_EQ(add.AddNormalTreatments(selection), 1);
    ASSERT_TRUE(add.Submit(m_host.ThreadPoolService()));
    WaitForRecords(8);

    SScenarioTreatment defaults{};
    ResetTriggerPart(defaults);
    std::vector<std::string> made;
    for (int i = 0; i < m_pTreatments->GetSize(); ++i)
    {
        const auto* pRecord = static_cast<const SScenarioTreatment*>(m_pTreatments->GetAt(i, 0));
        made.push_back(std::to_string(pRecord->nYear) + " " + WoxRecordStand(*pRecord).substr(0, 2) + " " + WoxRecordName(*pRecord));
        EXPECT_EQ(pRecord->bTriggered, 0);
        EXPECT_EQ(pRecord->treatment.nDataSize, 7u);
        EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(pRecord) + WOX_TRIGGER_PART_BEGIN,
                              reinterpret_cast<const char*>(&defaults) + WOX_TRIGGER_PART_BEGIN, WOX_TRIGGER_PART_END - WOX_TRIGGER_PART_BEGIN),
                  0)
            << "record " << i << ": the trigger part carries its defaults";
    }
    EXPECT_EQ(made, (std::vector<std::string>{"2000 S1 T1", "2000 S1 T2", "2000 WW T1", "2000 WW T2", "2005 S1 T1", "2005 S1 T2", "2005 WW T1",
                                              "2005 WW T2"}));
    EXPECT_EQ(TreeDump(), (std::vector<std::string>{"2000/S1: T1 (d), T2 (d)", "2000/" + wide + ": T1 (d), T2 (d)", "2005/S1: T1 (d), T2 (d)",
                                                    "2005/" + wide + ": T1 (d), T2 (d)"}));

    // Empty arrays push nothing.
    STreatmentData empty;
    empty.pYears = m_host.MakeArray(4);
    empty.pStands = selection.pStands;
    empty.pTreatments = selection.pTreatments;
    EXPECT_EQ(add.AddNormalTreatments(empty), 1);
    EXPECT_EQ(add.QueuedCount(), 0);
}

TEST_F(EditorAddTreatmentTest, TriggeredRecordsShowInEveryPeriodOfTheGrid)
{
    CEditorAddTreatmentTd& add = Add(1, 0);
    IDynamicPtrTemplate<IArrayExt2> pNew = m_host.MakeArray(sizeof(SScenarioTreatment));
    SScenarioTreatment triggered = MakeRecord(2000, "S1", "TThin", "d", true, 2010);
    pNew->Add(&triggered);
    SScenarioTreatment reversed = MakeRecord(2010, "S2", "Never", "d", true, 2000);
    pNew->Add(&reversed);
    ASSERT_EQ(add.AddTreatments(pNew), 1);
    ASSERT_TRUE(add.Submit(m_host.ThreadPoolService()));
    WaitForRecords(2);
    EXPECT_EQ(GridDump(), (std::vector<std::string>{"|S1", "2000|TThin (Triggered)", "2005|TThin (Triggered)", "2010|TThin (Triggered)"}));
}

// Records pushed from the window thread while load runs are stopped and resubmitted: the array
// ends with each record exactly once.
TEST_F(EditorAddTreatmentTest, AppendsEachRecordOnceUnderConcurrentLoads)
{
    CEditorAddTreatmentTd& add = Add(0, 1);
    Load(0, 1, 1);
    ASSERT_TRUE(add.Submit(m_host.ThreadPoolService()));
    constexpr int kBatches = 10;
    constexpr int kPerBatch = 20;
    for (int b = 0; b < kBatches; ++b)
    {
        IDynamicPtrTemplate<IArrayExt2> pBatch = m_host.MakeArray(sizeof(SScenarioTreatment));
        for (int i = 0; i < kPerBatch; ++i)
        {
            SScenarioTreatment record = MakeRecord(2000 + 5 * (i % 4), ("S" + std::to_string(b * kPerBatch + i)).c_str(), "Thin", "d");
            pBatch->Add(&record);
        }
        ASSERT_EQ(add.AddTreatments(pBatch), 1);
        m_pLoad->StopThread(1);
        ASSERT_TRUE(m_pLoad->Submit(m_host.ThreadPoolService()));
        QCoreApplication::processEvents();
    }
    WaitForRecords(kBatches * kPerBatch);
    m_pLoad->WaitUntilIdle();
    std::map<std::string, int> seen;
    for (int i = 0; i < m_pTreatments->GetSize(); ++i)
        ++seen[WoxRecordStand(*static_cast<const SScenarioTreatment*>(m_pTreatments->GetAt(i, 0)))];
    EXPECT_EQ(seen.size(), static_cast<size_t>(kBatches * kPerBatch));
    for (const auto& [stand, nCount] : seen)
        EXPECT_EQ(nCount, 1) << stand;
}

} // namespace
