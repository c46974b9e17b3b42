// The editor's undo history over a host array, with its own heap so every block it copies is
// counted: each kind of change undone and redone, the saved mark, redo dropped by a new step, a
// stale history refused.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "EditorHistory.h"
#include "Heap.h"
#include "ScenarioFile.h"
#include "TestHost.h"
#include "WoxText.h"

namespace
{

class EditorHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_scenario.pTreatments = m_host.MakeArray(sizeof(SScenarioTreatment));
        ASSERT_TRUE(m_scenario.pTreatments);
        m_scenario.info.nEndYear = 2060;
    }

    SScenarioTreatment Record(const char* pszStand, double dValue)
    {
        SScenarioTreatment record = {};
        record.nYear = 2030;
        WoxCopyText(record.szStand, pszStand);
        record.treatment.pData = m_heap.Alloc(sizeof dValue);
        std::memcpy(m_heap.Data(record.treatment.pData), &dValue, sizeof dValue);
        return record;
    }

    // The scenario as text: end year, then stand and block value of each record in order.
    std::string State()
    {
        std::string text = std::to_string(m_scenario.info.nEndYear);
        for (int i = 0; i < m_scenario.pTreatments->GetSize(); ++i)
        {
            const auto* pRecord = static_cast<const SScenarioTreatment*>(m_scenario.pTreatments->GetAt(i, 0));
            double dValue = -1;
            if (const void* pBlock = m_heap.Data(pRecord->treatment.pData))
                std::memcpy(&dValue, pBlock, sizeof dValue);
            text += " " + std::string(pRecord->szStand) + "=" + std::to_string(static_cast<int>(dValue));
        }
        return text;
    }

    CTestHost m_host;
    CWoxHeap m_heap;
    SScenarioData m_scenario;
};

TEST_F(EditorHistoryTest, UndoAndRedoEveryChangeAroundTheSavedState)
{
    {
        CEditorHistory history(&m_heap);
        history.Clear(true);
        std::vector<std::string> states{State()};
        // Add two records, save, delete the first, change the second's block, change the end year.
        SScenarioTreatment a = Record("A", 20), b = Record("B", 25);
        history.Begin(m_scenario.pTreatments->GetSize());
        for (const SScenarioTreatment* p : {&a, &b})
        {
            m_scenario.pTreatments->Add(p);
            history.RecordInsert(m_scenario.pTreatments->GetSize() - 1, *p);
        }
        history.Commit(m_scenario.pTreatments->GetSize());
        history.MarkSaved();
        states.push_back(State());

        history.Begin(m_scenario.pTreatments->GetSize());
        m_scenario.pTreatments->RemoveAt(0, 1);
        history.RecordRemove(0, a);
        m_heap.Free(a.treatment.pData);
        history.Commit(m_scenario.pTreatments->GetSize());
        states.push_back(State());

        const SScenarioTreatment changed = Record("B", 15);
        history.Begin(m_scenario.pTreatments->GetSize());
        m_scenario.pTreatments->SetAt(0, 0, &changed);
        history.RecordReplace(0, b, changed);
        m_heap.Free(b.treatment.pData);
        history.Commit(m_scenario.pTreatments->GetSize());
        states.push_back(State());

        history.Begin(m_scenario.pTreatments->GetSize());
        history.RecordEndYear(2060, 2050);
        m_scenario.info.nEndYear = 2050;
        history.Commit(m_scenario.pTreatments->GetSize());
        states.push_back(State());
        EXPECT_EQ(states, (std::vector<std::string>{"2060", "2060 A=20 B=25", "2060 B=25", "2060 B=15", "2050 B=15"}));

        for (int i = 3; i >= 0; --i)
        {
            ASSERT_TRUE(history.Undo(m_scenario, nullptr, nullptr));
            EXPECT_EQ(State(), states[i]);
            EXPECT_EQ(history.IsAtSaved(), i == 1) << i;
        }
        EXPECT_FALSE(history.Undo(m_scenario, nullptr, nullptr));
        std::vector<SScenarioTreatment> touched;
        bool bEndYear = false;
        for (int i = 1; i <= 4; ++i)
        {
            touched.clear();
            ASSERT_TRUE(history.Redo(m_scenario, &touched, &bEndYear));
            EXPECT_EQ(State(), states[i]);
            EXPECT_EQ(bEndYear, i == 4);
            EXPECT_EQ(touched.size(), std::vector<size_t>({2, 1, 2, 0})[i - 1]) << i;
        }
        EXPECT_FALSE(history.Redo(m_scenario, nullptr, nullptr));

        // Back past the save and on with a new step: the undone steps and the way back to the
        // saved state are gone.
        for (int i = 0; i < 4; ++i)
            history.Undo(m_scenario, nullptr, nullptr);
        SScenarioTreatment c = Record("C", 30);
        history.Begin(m_scenario.pTreatments->GetSize());
        m_scenario.pTreatments->Add(&c);
        history.RecordInsert(0, c);
        history.Commit(m_scenario.pTreatments->GetSize());
        EXPECT_FALSE(history.CanRedo());
        EXPECT_EQ(history.StepCount(), 1u);
        EXPECT_FALSE(history.IsAtSaved());
        ASSERT_TRUE(history.Undo(m_scenario, nullptr, nullptr));
        EXPECT_EQ(State(), "2060");
        EXPECT_FALSE(history.IsAtSaved());

        // A scenario changed behind the history's back is never touched: the history is dropped.
        SScenarioTreatment other = Record("D", 1);
        m_scenario.pTreatments->Add(&other);
        EXPECT_FALSE(history.Redo(m_scenario, nullptr, nullptr));
        EXPECT_EQ(State(), "2060 D=1");
        EXPECT_EQ(history.StepCount(), 0u);
    }
    // The history freed its copies; what is left are the scenario's own blocks.
    FreeTreatmentBlocks(&m_heap, m_scenario.pTreatments.Get());
    EXPECT_EQ(m_heap.BlockCount(), 0u);
}

} // namespace
