// The per-period run: which records are handed over, in which order, with which notifications,
// and which stay in the list.

#include "EngineFixture.h"

namespace
{
using CRunComponentTest = CEngineTest;
using Records = std::vector<SRecordView>;
using Names = std::vector<std::string>;

TEST_F(CRunComponentTest, EmptyListRunsWithoutHandingAnythingOver)
{
    EXPECT_EQ(1, Run(2005));
    EXPECT_TRUE(m_thinning.HandOvers().empty());
    EXPECT_EQ(0, m_log.Count("CheckStandMessage"));
    EXPECT_EQ(0, m_compMgr.Lookups());
}

TEST_F(CRunComponentTest, RecordIsDueFromItsYearOnAndHandedOverWithTheRunYear)
{
    Append(NormalRecord(2005, "S1", "due now"));
    Append(NormalRecord(2006, "S2", "next year"));
    Append(NormalRecord(2003, "S3", "missed run"));

    EXPECT_EQ(1, Run(2005));

    EXPECT_EQ((Names{"S1/due now", "S3/missed run"}), HandedOver(m_thinning));
    for (const STestHandOver& handOver : m_thinning.HandOvers())
        EXPECT_EQ(2005, handOver.nYear);
    EXPECT_EQ((Records{{2006, "S2", "next year"}}), Remaining());

    EXPECT_EQ(1, Run(2006));
    EXPECT_EQ(3u, m_thinning.HandOvers().size());
    EXPECT_TRUE(Remaining().empty());
}

TEST_F(CRunComponentTest, EachRecordIsHandedOverAloneAndNotifiedInOrder)
{
    Append(NormalRecord(2010, "S1", "first"));
    Append(NormalRecord(2010, "S1", "second", kClearcutGuid));

    EXPECT_EQ(1, Run(2010));

    ASSERT_EQ(1u, m_thinning.HandOvers().size());
    ASSERT_EQ(1u, m_clearcut.HandOvers().size());
    for (const STestHandOver& handOver : {m_thinning.HandOvers()[0], m_clearcut.HandOvers()[0]})
    {
        EXPECT_EQ(1, handOver.nYears);
        EXPECT_EQ(1, handOver.nStands);
        EXPECT_EQ(1, handOver.nTreatments);
        EXPECT_EQ("S1", handOver.stand);
        EXPECT_EQ(77, handOver.nPassThrough);
        EXPECT_EQ(&m_port, handOver.pPortData);
        EXPECT_EQ(9, handOver.message.nType);
        EXPECT_EQ(2010, handOver.message.nYear);
    }
    EXPECT_EQ("first", m_thinning.HandOvers()[0].treatment);
    EXPECT_EQ("second", m_clearcut.HandOvers()[0].treatment);

    const Names perRecord = {"CheckStandMessage", "RunComponent", "SendStandMessage", "ShowStandMessage", "StandTreated"};
    Names expected = {"GetPortObject"};
    expected.insert(expected.end(), perRecord.begin(), perRecord.end());
    expected.insert(expected.end(), perRecord.begin(), perRecord.end());
    EXPECT_EQ(expected, m_log.Operations());
    for (const STestCall& call : m_log.Calls())
    {
        if (call.operation == "StandTreated")
        {
            EXPECT_EQ(2010, call.nYear);
        }
    }

    ASSERT_EQ(2u, m_port.SentMessages().size());
    const SStandMessage message = m_port.SentMessages()[1];
    EXPECT_EQ(9, message.nType);
    EXPECT_EQ(0, message.nValue);
    EXPECT_STREQ("S1", message.szStand);
    EXPECT_STREQ("", message.szText);
    EXPECT_TRUE(Remaining().empty());
}

TEST_F(CRunComponentTest, AdjacentRemovalsSkipNoRecord)
{
    const int32_t years[] = {2010, 2010, 2010, 2005, 2005, 2010, 2005};
    for (int i = 0; i < 7; ++i)
        Append(NormalRecord(years[i], ("S" + std::to_string(i)).c_str(), "thin"));

    EXPECT_EQ(1, Run(2005));

    EXPECT_EQ((Names{"S3/thin", "S4/thin", "S6/thin"}), HandedOver(m_thinning));
    EXPECT_EQ((Records{{2010, "S0", "thin"}, {2010, "S1", "thin"}, {2010, "S2", "thin"}, {2010, "S5", "thin"}}), Remaining());
}

TEST_F(CRunComponentTest, TriggeredRecordAllowingMultipleOccurrencesStaysInPlace)
{
    Append(NormalRecord(2005, "S1", "before"));
    Append(TriggeredRecord(2000, "S2", "repeated", true));
    Append(TriggeredRecord(2000, "S3", "once", false));
    Append(NormalRecord(2005, "S4", "last"));

    EXPECT_EQ(1, Run(2005));
    EXPECT_EQ((Names{"S1/before", "S2/repeated", "S3/once", "S4/last"}), HandedOver(m_thinning));
    EXPECT_EQ((Records{{2000, "S2", "repeated"}}), Remaining());

    EXPECT_EQ(1, Run(2010));
    EXPECT_EQ(5u, m_thinning.HandOvers().size());
    EXPECT_EQ((Records{{2000, "S2", "repeated"}}), Remaining());
}

TEST_F(CRunComponentTest, UnknownOrRefusingTreatmentComponentKeepsItsRecord)
{
    Append(NormalRecord(2005, "S1", "unknown", kUnknownGuid));
    Append(NormalRecord(2005, "S2", "refused", kClearcutGuid));
    Append(NormalRecord(2005, "S3", "applied"));
    m_clearcut.RefuseAll(true);

    EXPECT_EQ(1, Run(2005));
    EXPECT_EQ((Records{{2005, "S1", "unknown"}, {2005, "S2", "refused"}}), Remaining());
    EXPECT_EQ(1, m_log.Count("SendStandMessage"));
    EXPECT_EQ(1, m_log.Count("ShowStandMessage"));
    EXPECT_EQ(1, m_log.Count("StandTreated"));

    // The arrays were emptied after the failed lookup and the refusal: one element each.
    ASSERT_EQ((Names{"S3/applied"}), HandedOver(m_thinning));
    const STestHandOver& applied = m_thinning.HandOvers()[0];
    EXPECT_EQ((std::vector<int>{1, 1, 1}), (std::vector<int>{applied.nYears, applied.nStands, applied.nTreatments}));

    // Both are tried again in the next period; the refusing component now accepts.
    m_clearcut.RefuseAll(false);
    EXPECT_EQ(1, Run(2010));
    EXPECT_EQ(2u, m_clearcut.HandOvers().size());
    EXPECT_EQ((Records{{2005, "S1", "unknown"}}), Remaining());
}

TEST_F(CRunComponentTest, StandMessageKeepsWhatAComponentWroteForTheNextRecord)
{
    Append(NormalRecord(2005, "S1", "first"));
    Append(NormalRecord(2005, "S2", "second", kClearcutGuid));
    m_thinning.WriteIntoMessage(42, "thinned to 24 m2/ha");

    EXPECT_EQ(1, Run(2005));

    ASSERT_EQ(1u, m_clearcut.HandOvers().size());
    const SStandMessage& second = m_clearcut.HandOvers()[0].message;
    EXPECT_STREQ("S2", second.szStand);
    EXPECT_EQ(42, second.nValue);
    EXPECT_STREQ("thinned to 24 m2/ha", second.szText);

    // A new run starts from a fresh message.
    Append(NormalRecord(2010, "S3", "third", kClearcutGuid));
    EXPECT_EQ(1, Run(2010));
    EXPECT_EQ(0, m_clearcut.HandOvers()[1].message.nValue);
    EXPECT_STREQ("", m_clearcut.HandOvers()[1].message.szText);
}

TEST_F(CRunComponentTest, RefusedStandMessageStopsTheRun)
{
    for (int i = 1; i <= 5; ++i)
        Append(NormalRecord(2005, ("S" + std::to_string(i)).c_str(), "thin"));
    m_port.RefuseCheckAt(3);

    EXPECT_EQ(0, Run(2005));

    EXPECT_EQ((Names{"S1/thin", "S2/thin"}), HandedOver(m_thinning));
    EXPECT_EQ(3, m_log.Count("CheckStandMessage"));
    EXPECT_EQ(2, m_log.Count("StandTreated"));
    EXPECT_EQ((Records{{2005, "S3", "thin"}, {2005, "S4", "thin"}, {2005, "S5", "thin"}}), Remaining());
}

TEST_F(CRunComponentTest, StandIdentifierOfFullWidthIsPassedWhole)
{
    const std::string stand(30, 'W');
    Append(NormalRecord(2005, stand.c_str(), "thin"));

    EXPECT_EQ(1, Run(2005));

    ASSERT_EQ(1u, m_thinning.HandOvers().size());
    EXPECT_EQ(stand, m_thinning.HandOvers()[0].stand);
    EXPECT_EQ(stand, m_log.Calls().back().stand);
    EXPECT_EQ(stand, std::string(m_port.SentMessages()[0].szStand));
}

// A run that lacks the view, the treated-stands object or the treatment list applies nothing.
enum class EMissing { View, PortObject, TreatmentList, ScenarioData };

class CRunWithoutTest : public CEngineTest, public ::testing::WithParamInterface<EMissing>
{
};

TEST_P(CRunWithoutTest, AnswersZeroAndAppliesNothing)
{
    Append(NormalRecord(2005, "S1", "thin"));
    IWoxView* pView = &m_view;
    IDynamicPtrTemplate<IArrayExt2> pKept = m_scenario.pTreatments;
    switch (GetParam())
    {
    case EMissing::View: pView = nullptr; break;
    case EMissing::PortObject: m_port.HideTreatedStandsObject(); break;
    case EMissing::TreatmentList: m_scenario.pTreatments.Clear(); break;
    case EMissing::ScenarioData: m_data.pData = nullptr; break;
    }
    m_scenario.nRunYear = 2005;

    EXPECT_EQ(0, m_pEngine->RunComponent(&m_data, pView));
    EXPECT_TRUE(m_thinning.HandOvers().empty());
    EXPECT_EQ(0, m_log.Count("CheckStandMessage"));
    EXPECT_EQ(1, pKept->GetSize());
}

INSTANTIATE_TEST_SUITE_P(Missing, CRunWithoutTest,
                         ::testing::Values(EMissing::View, EMissing::PortObject, EMissing::TreatmentList, EMissing::ScenarioData));

// Records, for each triggered record that fired, whether its treatment component applied it.
class CAppliedLog final : public ITriggerObserver
{
public:
    void ConditionChecked(const SScenarioTreatment&, int32_t, const STriggerConditionCheck&) override {}
    void TriggerChecked(const SScenarioTreatment&, int32_t, ENTriggerCheckEnd) override {}
    void TriggeredTreatmentRun(const SScenarioTreatment& record, int32_t nYear, int32_t bApplied) override
    {
        m_applied.push_back(std::to_string(nYear) + " " + record.szStand + (bApplied ? " applied" : " refused"));
    }
    std::vector<std::string> m_applied;
};

TEST_F(CRunComponentTest, TriggeredRecordIsAppliedOnlyWhenItsConditionsHold)
{
    CAppliedLog observer;
    m_pEngine->SetTriggerObserver(&observer);
    m_port.SetTrees("S1", {MakeTestTree("PSME", 30, 20), MakeTestTree("PSME", 32, 21)});
    m_port.SetTrees("S2", {MakeTestTree("PSME", 30, 20)});
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin when dense", false);
    AddCondition(record, TEST_FUNCTION_STEMS, 2, 2.5);   // more than 2.5 stems
    Append(record);
    Append(TriggeredRecord(2000, "S2", "refused", false, kClearcutGuid));
    m_clearcut.RefuseAll(true);

    EXPECT_EQ(1, Run(2005));
    EXPECT_TRUE(m_thinning.HandOvers().empty());
    EXPECT_EQ(2, m_log.Count("GetStandInventory"));
    EXPECT_EQ(2u, Remaining().size());

    m_port.SetTrees("S1", {MakeTestTree("PSME", 30, 20), MakeTestTree("PSME", 32, 21), MakeTestTree("TSHE", 25, 18)});
    EXPECT_EQ(1, Run(2010));
    EXPECT_EQ((Names{"S1/thin when dense"}), HandedOver(m_thinning));
    EXPECT_EQ(1u, Remaining().size());
    EXPECT_EQ((Names{"2005 S2 refused", "2010 S1 applied", "2010 S2 refused"}), observer.m_applied);
}

// The end year of a triggered record: set (100 or later), the record is not tried after it and
// stays in the list; unset (below 100, e.g. the reset value -1), it is tried in every run.
struct SEndYearCase
{
    int32_t nEndYear;
    int32_t nRunYear;
    bool bTried;
};

class CTriggeredEndYearTest : public CEngineTest, public ::testing::WithParamInterface<SEndYearCase>
{
};

TEST_P(CTriggeredEndYearTest, DecidesWhetherTheRecordIsTried)
{
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    record.nEndYear = GetParam().nEndYear;
    Append(record);

    EXPECT_EQ(1, Run(GetParam().nRunYear));

    EXPECT_EQ(GetParam().bTried ? 1 : 0, m_log.Count("GetStandInventory"));
    EXPECT_EQ(GetParam().bTried ? 1u : 0u, m_thinning.HandOvers().size());
    EXPECT_EQ(GetParam().bTried ? 0u : 1u, Remaining().size());
}

INSTANTIATE_TEST_SUITE_P(EndYears, CTriggeredEndYearTest,
                         ::testing::Values(SEndYearCase{2010, 2010, true}, SEndYearCase{2010, 2011, false}, SEndYearCase{-1, 2050, true},
                                           SEndYearCase{99, 2050, true}, SEndYearCase{100, 2000, false}));
}
