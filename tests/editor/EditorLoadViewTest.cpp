// The load task filling the real tree and grid: every view type, view-by and hide-untreated
// setting; records after the end year and reversed triggered years; partial reloads; stopping in
// the middle of a fill; views destroyed while a task posts.

#include <memory>

#include "EditorViewFixture.h"
#include "Files.h"

namespace
{

class EditorLoadViewTest : public EditorViewFixture
{
protected:
    // Project stands S1, S2, S3; years 2000 to the end year 2015 in steps of 5.
    void AddScenario()
    {
        AddRecord(MakeRecord(2005, "S1", "Thin", "low"));
        AddRecord(MakeRecord(2005, "S1", "Clear", "cc"));
        SScenarioTreatment triggered = MakeRecord(2005, "S2", "TThin", "d", true, 2010);
        triggered.nTriggers = 1;
        WoxCopyText(triggered.triggers[0].szVariable, "BA");
        triggered.triggers[0].nOperator = TRIGGER_GREATER;
        triggered.triggers[0].dValue = 30;
        AddRecord(triggered);
        AddRecord(MakeRecord(2020, "S1", "Late", "after the end year"));
        AddRecord(MakeRecord(2010, "S3", "Reversed", "ends before it starts", true, 2005));
    }
};

struct SFillCase
{
    const char* pszName;
    int nViewType;
    int nViewBy;
    int bHideUntreated;
    std::vector<std::string> expected;   // TreeDump or GridDump
};

class EditorFillTest : public EditorLoadViewTest, public ::testing::WithParamInterface<SFillCase>
{
};

TEST_P(EditorFillTest, ShowsTheScenario)
{
    const SFillCase& fill = GetParam();
    AddScenario();
    Load(fill.nViewType, fill.nViewBy, fill.bHideUntreated);
    RunLoad();
    const bool bTree = fill.nViewType == 0;
    EXPECT_EQ(bTree ? TreeDump() : GridDump(), fill.expected);
    EXPECT_EQ(m_pTree->IsWindowVisible() != 0, bTree);
    EXPECT_EQ(m_pGrid->IsWindowVisible() != 0, !bTree);

    // A second run shows the same, not twice as much.
    RunLoad();
    EXPECT_EQ(bTree ? TreeDump() : GridDump(), fill.expected);
}

const std::string kThin = "Thin [low], Clear [cc]";
const std::string kTThin = "TThin [BA > 30.00]: (d)";
const std::string kGridThin = "Thin, Clear";
const std::string kGridTThin = "TThin (Triggered)";

INSTANTIATE_TEST_SUITE_P(
    Views, EditorFillTest,
    ::testing::Values(
        SFillCase{"TreeByStand", 0, 0, 1, {"S1/2005: " + kThin, "S2/2005: " + kTThin, "S2/2010: " + kTThin}},
        SFillCase{"TreeByYear", 0, 1, 1, {"2005/S1: " + kThin, "2005/S2: " + kTThin, "2010/S2: " + kTThin}},
        SFillCase{"TreeByStandAll",
                  0,
                  0,
                  0,
                  {"S1/2000", "S1/2005: " + kThin, "S1/2010", "S1/2015", "S2/2000", "S2/2005: " + kTThin, "S2/2010: " + kTThin, "S2/2015",
                   "S3/2000", "S3/2005", "S3/2010", "S3/2015"}},
        SFillCase{"TreeByYearAll",
                  0,
                  1,
                  0,
                  {"2000/S1", "2000/S2", "2000/S3", "2005/S1: " + kThin, "2005/S2: " + kTThin, "2005/S3", "2010/S1", "2010/S2: " + kTThin,
                   "2010/S3", "2015/S1", "2015/S2", "2015/S3"}},
        SFillCase{"GridByStand", 1, 0, 1, {"|S1|S2", "2005|" + kGridThin + "|" + kGridTThin, "2010||" + kGridTThin}},
        SFillCase{"GridByYear", 1, 1, 1, {"|2005|2010", "S1|" + kGridThin + "|", "S2|" + kGridTThin + "|" + kGridTThin}},
        SFillCase{"GridByStandAll",
                  1,
                  0,
                  0,
                  {"|S1|S2|S3", "2000|||", "2005|" + kGridThin + "|" + kGridTThin + "|", "2010||" + kGridTThin + "|", "2015|||"}},
        SFillCase{"GridByYearAll",
                  1,
                  1,
                  0,
                  {"|2000|2005|2010|2015", "S1||" + kGridThin + "||", "S2||" + kGridTThin + "|" + kGridTThin + "|", "S3||||"}}),
    [](const ::testing::TestParamInfo<SFillCase>& info) { return std::string(info.param.pszName); });

class EditorPartialReloadTest : public EditorLoadViewTest, public ::testing::WithParamInterface<int>
{
};

// After a modify of (2005, S1) the window reloads that pair only: its items are replaced, the
// rest of the view stays, and records of S1 in other years are not added.
TEST_P(EditorPartialReloadTest, ReplacesOnlyItsYearAndStand)
{
    const int nViewType = GetParam();
    AddScenario();
    Load(nViewType, 1, 1);
    RunLoad();
    auto* pFirst = static_cast<SScenarioTreatment*>(m_pTreatments->GetAt(0, 0));
    SScenarioTreatment changed = *pFirst;
    WoxCopyText(changed.treatment.szName, "Thin2");
    ASSERT_TRUE(m_pTreatments->SetAt(0, 0, &changed));
    AddRecord(MakeRecord(2010, "S1", "Unseen", "not reloaded"));

    m_pLoad->StopThread(1);
    m_pLoad->SetPartialReload(2005, "S1");
    RunLoad();
    if (nViewType == 0)
        EXPECT_EQ(TreeDump(), (std::vector<std::string>{"2005/S1: Thin2 [low], Clear [cc]", "2005/S2: " + kTThin, "2010/S2: " + kTThin}));
    else
        EXPECT_EQ(GridDump(), (std::vector<std::string>{"|2005|2010", "S1|Thin2, Clear|", "S2|" + kGridTThin + "|" + kGridTThin}));

    // A later year of a triggered record that began in 2005: the cell shows the changed record
    // once, the first year keeps what it showed.
    auto* pTriggered = static_cast<SScenarioTreatment*>(m_pTreatments->GetAt(2, 0));
    ASSERT_TRUE(pTriggered && pTriggered->bTriggered);
    changed = *pTriggered;
    WoxCopyText(changed.treatment.szName, "TThin2");
    ASSERT_TRUE(m_pTreatments->SetAt(2, 0, &changed));
    m_pLoad->StopThread(1);
    m_pLoad->SetPartialReload(2010, "S2");
    RunLoad();
    if (nViewType == 0)
        EXPECT_EQ(TreeDump(), (std::vector<std::string>{"2005/S1: Thin2 [low], Clear [cc]", "2005/S2: " + kTThin,
                                                        "2010/S2: TThin2 [BA > 30.00]: (d)"}));
    else
        EXPECT_EQ(GridDump(), (std::vector<std::string>{"|2005|2010", "S1|Thin2, Clear|", "S2|" + kGridTThin + "|TThin2 (Triggered)"}));
}

INSTANTIATE_TEST_SUITE_P(Views, EditorPartialReloadTest, ::testing::Values(0, 1));

// A record with a 30-character stand, a 256-character name and description (no terminators), a
// stand the project does not know and an empty name: shown, cut to the display width.
TEST_F(EditorLoadViewTest, FullWidthFieldsAndUnknownStandsAreShown)
{
    SScenarioTreatment wide = MakeRecord(2005, "", "", "");
    std::memset(wide.szStand, 'S', sizeof(wide.szStand));
    std::memset(wide.treatment.szName, 'N', sizeof(wide.treatment.szName));
    std::memset(wide.treatment.szDescription, 'D', sizeof(wide.treatment.szDescription));
    AddRecord(wide);
    AddRecord(MakeRecord(2005, "Nowhere", "", "empty name"));
    Load(0, 0, 1);
    RunLoad();
    const std::vector<std::string> lines = TreeDump();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(30, 'S') + "/2005: " + std::string(255, 'N'));
    EXPECT_EQ(lines[1], "Nowhere/2005:  [empty name]");
}

// The scenario array hands out records to the task; at one element it waits until the task is
// asked to stop, so a stop lands in the middle of a fill.
class CStopGateArray final : public IArrayExt2
{
public:
    CStopGateArray(IDynamicPtrTemplate<IArrayExt2> pInner, int nGate) : m_pInner(std::move(pInner)), m_nGate(nGate) {}
    void SetTask(CWoxThreadBase* pTask) { m_pTask = pTask; }
    std::atomic<bool> m_bAtGate{false};

    void AddReference() override { ++m_nRef; }
    void Release() override { --m_nRef; }
    int Initialize(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*, int) override { return 1; }
    int Add(const void* p, int n, WoxStopEvent s) override { return m_pInner->Add(p, n, s); }
    int Copy(IArrayExt2* p, int r, int n, WoxStopEvent s) override { return m_pInner->Copy(p, r, n, s); }
    int RemoveAt(int i, int c, int n, WoxStopEvent s) override { return m_pInner->RemoveAt(i, c, n, s); }
    void* GetAt(int i, int r, int n, WoxStopEvent s) override
    {
        CWoxThreadBase* pTask = m_pTask.load();
        if (i == m_nGate && pTask)
        {
            m_bAtGate = true;
            while (!pTask->IsStopRequested())
                WoxSleep(1);
        }
        return m_pInner->GetAt(i, r, n, s);
    }
    int GetSize(int n, WoxStopEvent s) override { return m_pInner->GetSize(n, s); }
    int SetAt(int i, int r, const void* p, int n, WoxStopEvent s) override { return m_pInner->SetAt(i, r, p, n, s); }
    int RemoveAll(int r, int n, WoxStopEvent s) override { return m_pInner->RemoveAll(r, n, s); }

private:
    IDynamicPtrTemplate<IArrayExt2> m_pInner;
    int m_nGate;
    std::atomic<CWoxThreadBase*> m_pTask{nullptr};
    std::atomic<int> m_nRef{0};
};

class EditorStopTest : public EditorLoadViewTest, public ::testing::WithParamInterface<bool>
{
protected:
    // Outlives the load task, which the fixture's TearDown releases with its scenario array.
    std::unique_ptr<CStopGateArray> m_pGate;
};

// Stopped after six of twenty records: the view keeps those six; the next run clears and shows
// all twenty. With the views destroyed while the task waits, its later posts are dropped and
// their blocks freed (AddressSanitizer checks that nothing leaks or touches a dead view).
TEST_P(EditorStopTest, StopInTheMiddleOfAFill)
{
    const bool bDestroyViews = GetParam();
    for (int i = 0; i < 20; ++i)
        AddRecord(MakeRecord(2005, ("S" + std::to_string(i)).c_str(), "Thin", "d"));
    m_pGate = std::make_unique<CStopGateArray>(m_pTreatments, 5);
    CStopGateArray& gate = *m_pGate;
    CEditorLoadViewTd& load = Load(0, 0, 1);
    SScenarioData scenario;
    scenario.info.nEndYear = 2015;
    scenario.pTreatments = &gate;
    load.SetScenario(scenario);
    gate.SetTask(&load);

    ASSERT_TRUE(load.Submit(m_host.ThreadPoolService()));
    ASSERT_TRUE(PumpUntil([&]() { return gate.m_bAtGate.load(); }));
    if (bDestroyViews)
    {
        m_pTree.reset();
        m_pGrid.reset();
    }
    load.StopThread(1);
    PumpQueued();
    if (bDestroyViews)
        return;
    EXPECT_EQ(TreeDump().size(), 6u) << "records 0 to 5 were posted before the stop was seen";

    gate.SetTask(nullptr);
    load.StopThread(1);
    RunLoad();
    EXPECT_EQ(TreeDump().size(), 20u);
    EXPECT_EQ(TreeDump().front(), "S0/2005: Thin [d]");
}

INSTANTIATE_TEST_SUITE_P(Views, EditorStopTest, ::testing::Values(false, true));

// More items than the task lets wait for the view at once, while the user-interface thread waits
// for the task and carries out none meanwhile (as it does for a reload): the task stops waiting
// for the view instead of waiting for ever, and every item arrives afterwards.
TEST_F(EditorLoadViewTest, LongFillWhileTheViewWaitsForTheTask)
{
    constexpr int kStands = 12000;
    for (int i = 0; i < kStands; ++i)
        AddRecord(MakeRecord(2005, ("S" + std::to_string(i)).c_str(), "Thin", "d"));
    Load(1, 1, 1);
    RunLoad();
    ASSERT_EQ(m_pGrid->GetItemCount(), kStands);
    EXPECT_EQ(m_pGrid->GetItemText(kStands - 1, 0), "S" + std::to_string(kStands - 1));
    EXPECT_EQ(m_pGrid->GetItemText(kStands - 1, 1), "Thin");
}

} // namespace
