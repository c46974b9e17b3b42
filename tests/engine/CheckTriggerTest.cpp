// Trigger evaluation: operators, value types, the order and cost of conditions, and failures.

#include <cmath>
#include <limits>

#include "EngineFixture.h"
#include "TriggerObserver.h"
#include "Module.h"
#include "WoxText.h"

namespace
{
const double kNaN = std::numeric_limits<double>::quiet_NaN();

class CCheckTriggerTest : public CEngineTest
{
protected:
    int Check(SScenarioTreatment& record, int32_t nYear = 2005) { return m_pEngine->CheckTrigger(&m_port, &record, nYear); }
};

// One condition on a stand whose trees make the test library's function answer a known value.
struct SConditionCase
{
    const char* pszName;
    int nFunction;
    int32_t nOperator;
    double dThreshold;
    std::vector<SInventory> trees;
    int nExpected;
};

void PrintTo(const SConditionCase& c, std::ostream* os) { *os << c.pszName; }

class CConditionTest : public CCheckTriggerTest, public ::testing::WithParamInterface<SConditionCase>
{
};

TEST_P(CConditionTest, HoldsAsTheOperatorTableSays)
{
    m_port.SetTrees("S1", GetParam().trees);
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    AddCondition(record, GetParam().nFunction, GetParam().nOperator, GetParam().dThreshold);

    EXPECT_EQ(GetParam().nExpected, Check(record));
}

std::vector<SInventory> CrownRatio(double dValue) { return {MakeTestTree("PSME", 30, 20, dValue)}; }
std::vector<SInventory> FirstSpecies(const char* pszCode) { return {MakeTestTree(pszCode, 30, 20), MakeTestTree("TSHE", 30, 20)}; }
std::vector<SInventory> Stems(int n) { return std::vector<SInventory>(static_cast<size_t>(n), MakeTestTree("PSME", 30, 20)); }

INSTANTIATE_TEST_SUITE_P(
    Operators, CConditionTest,
    ::testing::Values(
        SConditionCase{"EqualHoldsForExactValue", TEST_FUNCTION_FIRST_CROWN_RATIO, 1, 25.0, CrownRatio(25.0), 1},
        SConditionCase{"EqualFailsForNearValue", TEST_FUNCTION_FIRST_CROWN_RATIO, 1, 25.0, CrownRatio(25.000001), 0},
        SConditionCase{"LessFailsAtThreshold", TEST_FUNCTION_FIRST_CROWN_RATIO, 0, 30.0, CrownRatio(30.0), 0},
        SConditionCase{"LessHoldsBelow", TEST_FUNCTION_FIRST_CROWN_RATIO, 0, 30.0, CrownRatio(29.99), 1},
        SConditionCase{"GreaterFailsAtThreshold", TEST_FUNCTION_FIRST_CROWN_RATIO, 2, 30.0, CrownRatio(30.0), 0},
        SConditionCase{"GreaterHoldsAbove", TEST_FUNCTION_FIRST_CROWN_RATIO, 2, 30.0, CrownRatio(30.01), 1},
        SConditionCase{"UnknownOperatorAlwaysHolds", TEST_FUNCTION_FIRST_CROWN_RATIO, 3, 30.0, CrownRatio(-1e9), 1},
        SConditionCase{"NotANumberPassesLess", TEST_FUNCTION_FIRST_CROWN_RATIO, 0, 30.0, CrownRatio(kNaN), 1},
        SConditionCase{"NotANumberPassesGreater", TEST_FUNCTION_FIRST_CROWN_RATIO, 2, 30.0, CrownRatio(kNaN), 1},
        SConditionCase{"NotANumberFailsEqual", TEST_FUNCTION_FIRST_CROWN_RATIO, 1, 30.0, CrownRatio(kNaN), 0}),
    [](const auto& info) { return std::string(info.param.pszName); });

INSTANTIATE_TEST_SUITE_P(
    ValueTypes, CConditionTest,
    ::testing::Values(
        SConditionCase{"IntegerComparedAsDouble", TEST_FUNCTION_STEMS, 1, 12.0, Stems(12), 1},
        SConditionCase{"IntegerNotReadAsReal", TEST_FUNCTION_STEMS, 0, 0.0, Stems(12), 0},
        SConditionCase{"TextReadAsNumber", TEST_FUNCTION_FIRST_SPECIES, 1, 7.5, FirstSpecies("7.5"), 1},
        SConditionCase{"TextWithTrailingLetters", TEST_FUNCTION_FIRST_SPECIES, 1, 7.5, FirstSpecies("7.5cm"), 1},
        SConditionCase{"TextWithBlanksAndSign", TEST_FUNCTION_FIRST_SPECIES, 1, 25.0, FirstSpecies(" +2.5e1"), 1},
        SConditionCase{"TextBeginningWithLetterIsZero", TEST_FUNCTION_FIRST_SPECIES, 1, 0.0, FirstSpecies("PSME"), 1},
        SConditionCase{"EmptyTextIsZero", TEST_FUNCTION_FIRST_SPECIES, 1, 0.0, FirstSpecies(""), 1},
        SConditionCase{"BorrowedTextReadAsNumber", TEST_FUNCTION_FIRST_SPECIES_SHARED, 1, 7.5, FirstSpecies("7.5"), 1},
        SConditionCase{"RealRead", TEST_FUNCTION_MAX_DBH, 1, 30.0, FirstSpecies("PSME"), 1},
        SConditionCase{"EmptySubsetIsEvaluated", TEST_FUNCTION_STEMS, 1, 0.0, {}, 1}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(CCheckTriggerTest, TreeListIsFetchedEvenWithoutConditions)
{
    const std::string stand(30, 'X');   // full width: no terminator in the record
    SScenarioTreatment record = TriggeredRecord(2000, stand.c_str(), "thin", false);

    EXPECT_EQ(1, Check(record, 2015));
    ASSERT_EQ(1, m_log.Count("GetStandInventory"));
    EXPECT_EQ(2015, m_log.Calls()[0].nYear);
    EXPECT_EQ(stand, m_log.Calls()[0].stand);

    m_port.RefuseInventory(stand);
    EXPECT_EQ(0, Check(record, 2015));
    EXPECT_EQ(0, m_port.RefCount());
}

TEST_F(CCheckTriggerTest, FirstFailingConditionEndsTheCheck)
{
    const std::string otherLibrary = std::string(WOX_TEST_FUNCTION_DIR) + "/libNotLoadedFunctions.so";
    m_port.SetTrees("S1", Stems(3));
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    AddCondition(record, TEST_FUNCTION_STEMS, 0, 2.0);   // fails: 3 stems are not below 2
    SScenarioTriggerSpec& second = AddCondition(record, TEST_FUNCTION_STEMS, 1, 3.0);
    WoxCopyText(second.szLibrary, otherLibrary.c_str());

    EXPECT_EQ(0, Check(record));
    EXPECT_EQ(1, m_pLibMgr->Loads(FunctionLibraryPath()));
    EXPECT_EQ(0, m_pLibMgr->Loads(otherLibrary));

    // Once the first condition holds, the second one's library is asked for.
    record.triggers[0].dValue = 5.0;
    EXPECT_EQ(0, Check(record));
    EXPECT_EQ(1, m_pLibMgr->Loads(otherLibrary));
}

TEST_F(CCheckTriggerTest, EachConditionFiltersTheWholeStandAfresh)
{
    m_port.SetTrees("S1", {MakeTestTree("PSME", 30, 20), MakeTestTree("TSHE", 30, 20), MakeTestTree("PSME", 30, 20)});
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    SScenarioTriggerSpec& fir = AddCondition(record, TEST_FUNCTION_STEMS, 1, 2.0);
    fir.bInclude = 1;
    fir.nSpecies = 1;
    WoxCopyText(fir.szSpecies[0], "PSME");
    SScenarioTriggerSpec& hemlock = AddCondition(record, TEST_FUNCTION_STEMS, 1, 1.0);
    hemlock.bInclude = 1;
    hemlock.nSpecies = 1;
    WoxCopyText(hemlock.szSpecies[0], "TSHE");
    AddCondition(record, TEST_FUNCTION_STEMS, 1, 3.0);   // default filter: every tree

    EXPECT_EQ(1, Check(record));
}

// What an observer of the checks was told, in order.
class CObserverLog final : public ITriggerObserver
{
public:
    void ConditionChecked(const SScenarioTreatment&, int32_t nYear, const STriggerConditionCheck& check) override
    {
        m_conditions.push_back(check);
        m_conditions.back().pszText = nullptr;
        m_texts.push_back(check.pszText ? check.pszText : "(none)");
        m_nYear = nYear;
    }
    void TriggerChecked(const SScenarioTreatment&, int32_t, ENTriggerCheckEnd nEnd) override { m_ends.push_back(nEnd); }
    void TriggeredTreatmentRun(const SScenarioTreatment&, int32_t, int32_t bApplied) override { m_applied.push_back(bApplied); }

    std::vector<STriggerConditionCheck> m_conditions;
    std::vector<std::string> m_texts;
    std::vector<ENTriggerCheckEnd> m_ends;
    std::vector<int32_t> m_applied;
    int32_t m_nYear = 0;
};

// The observer gets the very values the check compared: a condition that holds on two of three
// trees, one computed on an empty subset, one whose value is not a number, one never reached.
TEST_F(CCheckTriggerTest, ObserverIsToldTheComparedValues)
{
    CObserverLog observer;
    m_pEngine->SetTriggerObserver(&observer);
    m_port.SetTrees("S1", {MakeTestTree("PSME", 30, 20, kNaN), MakeTestTree("TSHE", 30, 20), MakeTestTree("PSME", 30, 20)});
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    SScenarioTriggerSpec& fir = AddCondition(record, TEST_FUNCTION_STEMS, 2, 1.0);
    fir.bInclude = 1;
    fir.nSpecies = 1;
    WoxCopyText(fir.szSpecies[0], "PSME");
    AddCondition(record, TEST_FUNCTION_MAX_DBH, 0, 1.0).dDbhMin = 50.0;   // no tree that thick
    SScenarioTriggerSpec& ratio = AddCondition(record, TEST_FUNCTION_FIRST_CROWN_RATIO, 1, 0.5);
    AddCondition(record, TEST_FUNCTION_FIRST_SPECIES, 1, 1.0);

    EXPECT_EQ(0, Check(record, 2015));
    ASSERT_EQ(3u, observer.m_conditions.size());
    const STriggerConditionCheck& stems = observer.m_conditions[0];
    EXPECT_EQ((std::vector<int>{0, 2, 2, 1}), (std::vector<int>{stems.nCondition, stems.nTrees, stems.nValueType, stems.bHolds}));
    EXPECT_EQ(2.0, stems.dValue);
    EXPECT_EQ(0, observer.m_conditions[1].nTrees);
    EXPECT_EQ(0.0, observer.m_conditions[1].dValue);
    EXPECT_EQ(1, observer.m_conditions[1].bHolds);
    EXPECT_TRUE(std::isnan(observer.m_conditions[2].dValue));
    EXPECT_EQ(0, observer.m_conditions[2].bHolds);
    EXPECT_EQ(2015, observer.m_nYear);
    EXPECT_EQ((std::vector<ENTriggerCheckEnd>{TRIGGER_CHECK_FAILS}), observer.m_ends);

    // The same value passes ">", and the text condition after it is reached with its text.
    ratio.nOperator = 2;
    EXPECT_EQ(0, Check(record, 2015));
    ASSERT_EQ(7u, observer.m_conditions.size());
    EXPECT_EQ(1, observer.m_conditions[5].bHolds);
    EXPECT_EQ("PSME", observer.m_texts[6]);
    EXPECT_EQ(0.0, observer.m_conditions[6].dValue);
    EXPECT_EQ(0, observer.m_conditions[6].bHolds);

    record.triggers[3].nOperator = 2;
    record.triggers[3].dValue = -1.0;
    EXPECT_EQ(1, Check(record, 2015));
    m_port.RefuseInventory("S1");
    EXPECT_EQ(0, Check(record, 2015));
    record.nTriggers = WOX_SCENARIO_MAX_TRIGGERS + 1;
    EXPECT_EQ(0, Check(record, 2015));
    EXPECT_EQ((std::vector<ENTriggerCheckEnd>{TRIGGER_CHECK_FAILS, TRIGGER_CHECK_FAILS, TRIGGER_CHECK_FIRES, TRIGGER_CHECK_NO_TREES,
                                              TRIGGER_CHECK_DAMAGED}),
              observer.m_ends);
    EXPECT_EQ(11u, observer.m_conditions.size());
}

// Whatever the check cannot have makes it answer 0, and it still gives back what it took.
enum class EBroken { MissingLibrary, NoFactoryExport, EnumeratorNotReady, UnknownFunction, TooManyConditions, NegativeConditionCount };

void RefuseInitialize(int bRefuse)
{
    auto pfn = WoxModuleFunction<PFN_TestFuncEnumRefuseInitialize>(WoxModuleLoad(WOX_TEST_FUNCTION_LIBRARY), TEST_FUNCTIONS_REFUSE_INITIALIZE);
    ASSERT_TRUE(pfn);
    pfn(bRefuse);
}

class CBrokenConditionTest : public CCheckTriggerTest, public ::testing::WithParamInterface<EBroken>
{
};

TEST_P(CBrokenConditionTest, AnswersZero)
{
    m_port.SetTrees("S1", Stems(3));
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    SScenarioTriggerSpec& spec = AddCondition(record, TEST_FUNCTION_STEMS, 3, 0.0);   // holds for any value
    char szDataController[WOX_MAX_PATH] = {};
    switch (GetParam())
    {
    case EBroken::MissingLibrary:
        WoxCopyText(spec.szLibrary, (std::string(WOX_TEST_FUNCTION_DIR) + "/libMissing.so").c_str());
        break;
    case EBroken::NoFactoryExport:
        ASSERT_TRUE(m_host.Registry()->ReadString("Libraries", "Data Controller Library", szDataController, WOX_MAX_PATH));
        WoxCopyText(spec.szLibrary, szDataController);
        break;
    case EBroken::EnumeratorNotReady: RefuseInitialize(1); break;
    case EBroken::UnknownFunction: spec.nFunction = 999; break;
    case EBroken::TooManyConditions:
        for (int i = 1; i < WOX_SCENARIO_MAX_TRIGGERS; ++i)
            record.triggers[i] = spec;
        record.nTriggers = WOX_SCENARIO_MAX_TRIGGERS + 1;
        break;
    case EBroken::NegativeConditionCount: record.nTriggers = -1; break;
    }

    EXPECT_EQ(0, Check(record));
    RefuseInitialize(0);
    EXPECT_EQ(0, m_port.RefCount());
    EXPECT_EQ(0, LiveEnumerators());
}

INSTANTIATE_TEST_SUITE_P(Failures, CBrokenConditionTest,
                         ::testing::Values(EBroken::MissingLibrary, EBroken::NoFactoryExport, EBroken::EnumeratorNotReady, EBroken::UnknownFunction,
                                           EBroken::TooManyConditions, EBroken::NegativeConditionCount));

// Each of fifteen conditions on one library loads it and makes an enumerator of its own; the
// tree list is fetched once.
TEST_F(CCheckTriggerTest, FifteenConditionsAreAllEvaluated)
{
    m_port.SetTrees("S1", Stems(3));
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    for (int i = 0; i < WOX_SCENARIO_MAX_TRIGGERS; ++i)
        AddCondition(record, TEST_FUNCTION_STEMS, 1, 3.0);
    const int nCreatedBefore = CreatedEnumerators();
    EXPECT_EQ(1, Check(record));
    EXPECT_EQ(WOX_SCENARIO_MAX_TRIGGERS, CreatedEnumerators() - nCreatedBefore);
    EXPECT_EQ(WOX_SCENARIO_MAX_TRIGGERS, m_pLibMgr->Loads(FunctionLibraryPath()));
    EXPECT_EQ(1, m_log.Count("GetStandInventory"));

    record.triggers[WOX_SCENARIO_MAX_TRIGGERS - 1].dValue = 4.0;
    EXPECT_EQ(0, Check(record));
}
}
