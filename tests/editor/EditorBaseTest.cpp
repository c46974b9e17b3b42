// The editor base over the host's arrays, with scripted treatment components.

#include <gtest/gtest.h>

#include <cstring>

#include "EditorTestSupport.h"
#include "ResourceIds.h"
#include "TestEditor.h"
#include "TestHost.h"
#include "UiTestSupport.h"

namespace
{

constexpr unsigned char kMissing = 9;   // a GUID no component answers to

class EditorBaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        for (CScriptedTreatment* p : {&m_thin, &m_cut, &m_plant, &m_silent})
            m_compMgr.Register(p);
        m_silent.m_bDescribes = false;
        ASSERT_EQ(m_editor.Initialize(m_host.LibMgr(), m_host.Registry(), &m_compMgr, m_host.ThreadPool(), m_host.SpeciesMap(),
                                      m_host.ErrorReporter(), &m_portData),
                  1);
        ASSERT_EQ(m_editor.CreateTreatmentArray(m_editor.Scenario().pTreatments), 1);
        m_editor.Scenario().info.nEndYear = 2060;
    }

    static SScenarioTreatment Record(int32_t nYear, const char* pszStand, unsigned char nComponent, const char* pszName)
    {
        SScenarioTreatment record = {};
        record.nYear = nYear;
        record.nEndYear = -1;
        WoxCopyText(record.szStand, pszStand);
        record.treatment.guidComponent = TestGuid(nComponent);
        WoxCopyText(record.treatment.szName, pszName);
        return record;
    }

    void AddToScenario(const SScenarioTreatment& record) { ASSERT_TRUE(m_editor.Scenario().pTreatments->Add(&record)); }

    const SScenarioTreatment& Stored(int nIndex)
    {
        return *static_cast<const SScenarioTreatment*>(m_editor.Scenario().pTreatments->GetAt(nIndex, 0));
    }

    IDynamicPtrTemplate<IArrayExt2> Records(std::initializer_list<SScenarioTreatment> records)
    {
        IDynamicPtrTemplate<IArrayExt2> pArray = m_host.MakeArray(sizeof(SScenarioTreatment));
        for (const SScenarioTreatment& record : records)
            pArray->Add(&record);
        return pArray;
    }

    std::vector<std::string> TypeNames(IArrayExt2& list)
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetSize(); ++i)
            names.push_back(static_cast<const STreatmentTypeEntry*>(list.GetAt(i, 0))->display.szName);
        return names;
    }

    uint32_t Block(double dValue)
    {
        uint32_t hBlock = m_host.Heap()->Alloc(sizeof dValue);
        std::memcpy(m_host.Heap()->Data(hBlock), &dValue, sizeof dValue);
        return hBlock;
    }

    CTestHost m_host;
    CEditorPortData m_portData;
    CTestCompMgr m_compMgr;
    CScriptedTreatment m_thin{TestGuid(1), "Thin"}, m_cut{TestGuid(2), "Cut"}, m_plant{TestGuid(3), "Plant"}, m_silent{TestGuid(4), "Silent"};
    CTestEditor m_editor{m_host.Heap()};
};

struct STypesCase
{
    const char* pszName;
    std::vector<unsigned char> listed;   // components the project lists
    std::vector<unsigned char> used;     // components the scenario's records use
    bool bListAnswers;
    int nResult;
    std::vector<std::string> types;
};

class BuildTreatmentTypesTest : public EditorBaseTest, public ::testing::WithParamInterface<STypesCase>
{
};

TEST_P(BuildTreatmentTypesTest, ListsEachTypeOnce)
{
    const STypesCase& c = GetParam();
    for (unsigned char n : c.listed)
        m_portData.m_components.push_back(TestGuid(n));
    m_portData.m_bListAnswers = c.bListAnswers;
    for (unsigned char n : c.used)
        AddToScenario(Record(2030, "S1", n, "T"));
    IDynamicPtrTemplate<IArrayExt2> pList;
    ASSERT_EQ(m_editor.CreateTreatmentDataArray(pList), 1);
    EXPECT_EQ(m_editor.BuildTreatmentTypes(pList), c.nResult);
    EXPECT_EQ(TypeNames(*pList), c.types);
    if (!c.types.empty())
    {
        EXPECT_TRUE(static_cast<const STreatmentTypeEntry*>(pList->GetAt(0, 0))->guidComponent == TestGuid(c.listed.empty() ? c.used[0] : c.listed[0]));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BuildTreatmentTypesTest,
                         ::testing::Values(STypesCase{"DuplicatesOnce", {1, 2, 1}, {2}, true, 1, {"Thin", "Cut"}},
                                           STypesCase{"ScenarioTypesJoin", {1}, {3, 1, 3}, true, 1, {"Thin", "Plant"}},
                                           STypesCase{"OnlyScenarioTypes", {}, {2}, true, 1, {"Cut"}},
                                           STypesCase{"MissingComponentEndsItsPass", {1, kMissing, 2}, {3, kMissing, 2}, true, 1, {"Thin", "Plant"}},
                                           STypesCase{"SilentComponentEndsItsPass", {4, 1}, {}, true, 1, {}},
                                           STypesCase{"NoProjectList", {1}, {1}, false, 0, {}}),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(EditorBaseTest, OneTypeIsTakenWithoutAskingAndGetsTheSelection)
{
    AddToScenario(Record(2030, "S1", 2, "Cut it"));   // a type only the scenario uses
    IDynamicPtrTemplate<IArrayExt2> pStands = m_host.MakeArray(sizeof(STreatmentDataStand));
    STreatmentDataStand stand = {};
    WoxCopyText(stand.szStand, "S7");
    pStands->Add(&stand);
    CScriptedAutomation automation(nullptr);
    STreatmentData selection;

    EXPECT_EQ(m_editor.SelectNormalTreatments(&selection, pStands), 1);
    EXPECT_TRUE(automation.m_dialogs.empty());
    ASSERT_EQ(m_cut.m_calls.size(), 1u);
    const SEditingCall& call = m_cut.m_calls[0];
    EXPECT_EQ(call.operation, "DefineTreatments");
    EXPECT_EQ(call.pSelection, &selection);
    EXPECT_EQ(call.pPortData, &m_portData);
    EXPECT_EQ(call.stands, std::vector<std::string>{"S7"});
    EXPECT_EQ(selection.bYears + selection.bStands + selection.bTreatments, 3);
    ASSERT_NE(selection.pnEndYear, nullptr);
    EXPECT_EQ(*selection.pnEndYear, 2060);
    EXPECT_TRUE(selection.pYears && selection.pStands && selection.pTreatments);

    // The triggered part: the treatments alone, no years, stands or end year.
    STreatmentData triggered;
    EXPECT_EQ(m_editor.SelectTriggeredTreatments(&triggered), 1);
    ASSERT_EQ(m_cut.m_calls.size(), 2u);
    EXPECT_EQ(m_cut.m_calls[1].operation, "DefineTriggeredTreatment");
    EXPECT_FALSE(m_cut.m_calls[1].bStandsGiven);
    EXPECT_EQ(triggered.bYears + triggered.bStands, 0);
    EXPECT_EQ(triggered.bTreatments, 1);
    EXPECT_TRUE(!triggered.pYears && !triggered.pStands && triggered.pTreatments && !triggered.pnEndYear);
    EXPECT_TRUE(automation.m_boxes.empty());
}

TEST_F(EditorBaseTest, SeveralTypesAskWhichOne)
{
    m_portData.m_components = {TestGuid(1), TestGuid(2), TestGuid(3)};
    int nChoose = 2;
    std::vector<std::string> rows;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        ASSERT_EQ(driver.TemplateId(), IDD_TREATMENT_TYPES);
        rows.clear();
        for (int i = 0; i < driver.GetRowCount(IDC_TREATMENT_TYPE_LIST); ++i)
            rows.push_back(driver.GetRowText(IDC_TREATMENT_TYPE_LIST, i));
        if (nChoose < 0)
            driver.PressButton(IDCANCEL);
        else
        {
            driver.SelectRow(IDC_TREATMENT_TYPE_LIST, nChoose);
            driver.PressButton(IDOK);
        }
    });
    STreatmentData selection;
    EXPECT_EQ(m_editor.SelectNormalTreatments(&selection, m_host.MakeArray(sizeof(STreatmentDataStand))), 1);
    EXPECT_EQ(rows, (std::vector<std::string>{"Thin", "Cut", "Plant"}));
    EXPECT_EQ(m_plant.m_calls.size(), 1u);
    EXPECT_TRUE(m_thin.m_calls.empty() && m_cut.m_calls.empty());

    nChoose = -1;
    STreatmentData cancelled;
    EXPECT_EQ(m_editor.SelectTriggeredTreatments(&cancelled), 0);
    EXPECT_EQ(m_plant.m_calls.size() + m_thin.m_calls.size() + m_cut.m_calls.size(), 1u);
    EXPECT_EQ(automation.m_dialogs.size(), 2u);
}

// A component that refuses, or no component to ask: nothing is added and no message appears.
TEST_F(EditorBaseTest, RefusingOrMissingComponentAddsNothing)
{
    CScriptedAutomation automation(nullptr);
    m_portData.m_components = {TestGuid(kMissing), TestGuid(1)};
    STreatmentData none;
    EXPECT_EQ(m_editor.SelectNormalTreatments(&none, {}), 0);
    EXPECT_TRUE(m_thin.m_calls.empty());

    m_portData.m_components = {TestGuid(1)};
    m_thin.m_onEdit = [](STreatmentData&) { return 0; };
    STreatmentData refused;
    EXPECT_EQ(m_editor.SelectNormalTreatments(&refused, {}), 0);
    EXPECT_EQ(m_thin.m_calls.size(), 1u);
    EXPECT_EQ(refused.pTreatments->GetSize(), 0);
    EXPECT_TRUE(automation.m_dialogs.empty());
    EXPECT_TRUE(automation.m_boxes.empty());
}

// SameTriggers between a record and a changed copy of it.
struct STriggersCase
{
    const char* pszName;
    void (*change)(SScenarioTreatment&);
    bool bSame;
};

class SameTriggersTest : public ::testing::TestWithParam<STriggersCase>
{
};

SScenarioTreatment TriggeredRecord()
{
    SScenarioTreatment record = {};
    record.bTriggered = 1;
    record.nEndYear = 2060;
    record.nTriggers = 2;
    for (SScenarioTriggerSpec& trigger : record.triggers)
    {
        WoxCopyText(trigger.szLibrary, "/opt/wox/functions/libWoxStandVariables.so");
        WoxCopyText(trigger.szVariable, "Basal area");
        trigger.dValue = 30.0;
        trigger.nOperator = TRIGGER_GREATER;
        trigger.bInclude = 1;
        trigger.nSpecies = 2;
        WoxCopyText(trigger.szSpecies[0], "PSME");
        WoxCopyText(trigger.szSpecies[1], "TSHE");
        trigger.dDbhMax = 200.0;
        trigger.dHeightMax = 80.0;
    }
    return record;
}

TEST_P(SameTriggersTest, ComparesTheConditions)
{
    const SScenarioTreatment a = TriggeredRecord();
    SScenarioTreatment b = a;
    GetParam().change(b);
    EXPECT_EQ(CEditorBase::SameTriggers(a, b), GetParam().bSame);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SameTriggersTest,
    ::testing::Values(STriggersCase{"Identical", [](SScenarioTreatment&) {}, true},
                      STriggersCase{"SpeciesModeIgnored", [](SScenarioTreatment& r) { r.triggers[1].bInclude = 0; }, true},
                      STriggersCase{"SpeciesCountIgnored",
                                    [](SScenarioTreatment& r) {
                                        r.triggers[0].nSpecies = 3;
                                        WoxCopyText(r.triggers[0].szSpecies[2], "THPL");
                                    },
                                    true},
                      STriggersCase{"CodeBeyondTheCount", [](SScenarioTreatment& r) { WoxCopyText(r.triggers[0].szSpecies[2], "THPL"); }, true},
                      STriggersCase{"UnusedCondition", [](SScenarioTreatment& r) { r.triggers[2].dValue = 1.0; }, true},
                      STriggersCase{"ListedCode", [](SScenarioTreatment& r) { WoxCopyText(r.triggers[1].szSpecies[1], "THPL"); }, false},
                      STriggersCase{"Threshold", [](SScenarioTreatment& r) { r.triggers[1].dValue = 31.0; }, false},
                      STriggersCase{"Operator", [](SScenarioTreatment& r) { r.triggers[0].nOperator = TRIGGER_LESS; }, false},
                      STriggersCase{"Variable", [](SScenarioTreatment& r) { WoxCopyText(r.triggers[0].szVariable, "Stems"); }, false},
                      STriggersCase{"Library", [](SScenarioTreatment& r) { r.triggers[1].szLibrary[40] = 'X'; }, false},
                      STriggersCase{"TreeBound", [](SScenarioTreatment& r) { r.triggers[1].dHeightMin = 2.0; }, false},
                      STriggersCase{"EndYear", [](SScenarioTreatment& r) { r.nEndYear = 2070; }, false},
                      STriggersCase{"ConditionCount", [](SScenarioTreatment& r) { r.nTriggers = 1; }, false}),
    [](const auto& info) { return std::string(info.param.pszName); });

// FindTreatment for a changed copy of the second of three records (the third is a duplicate of
// the second); stand and name fill their fields without a terminator.
struct SFindCase
{
    const char* pszName;
    void (*change)(SScenarioTreatment&);
    int nIndex;   // -1 = not found
};

class FindTreatmentTest : public EditorBaseTest, public ::testing::WithParamInterface<SFindCase>
{
};

TEST_P(FindTreatmentTest, MatchesOnIdentity)
{
    const std::string stand(30, 'S'), name(256, 'N');
    SScenarioTreatment record = Record(2030, stand.c_str(), 1, name.c_str());
    IDynamicPtrTemplate<IArrayExt2> pArray = Records({Record(2030, "Other", 1, "Thin"), record, record});
    GetParam().change(record);
    int nIndex = -1;
    EXPECT_EQ(CEditorBase::FindTreatment(pArray.Get(), record, &nIndex), GetParam().nIndex >= 0);
    EXPECT_EQ(nIndex, GetParam().nIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTreatmentTest,
    ::testing::Values(SFindCase{"Same", [](SScenarioTreatment&) {}, 1},
                      SFindCase{"OtherDescriptionBlockAndTriggers",
                                [](SScenarioTreatment& r) {
                                    WoxCopyText(r.treatment.szDescription, "changed");
                                    r.treatment.pData = 77;
                                    r.nTriggers = 3;
                                    r.bTriggered = 1;
                                },
                                1},
                      SFindCase{"OtherYear", [](SScenarioTreatment& r) { r.nYear = 2035; }, -1},
                      SFindCase{"OtherEndYear", [](SScenarioTreatment& r) { r.nEndYear = 2060; }, -1},
                      SFindCase{"OtherStandAtItsLastCharacter", [](SScenarioTreatment& r) { r.szStand[29] = 'T'; }, -1},
                      SFindCase{"OtherNameAtItsLastCharacter", [](SScenarioTreatment& r) { r.treatment.szName[255] = 'M'; }, -1},
                      SFindCase{"OtherComponent", [](SScenarioTreatment& r) { r.treatment.guidComponent = TestGuid(2); }, -1}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(EditorBaseTest, ModifiedNormalTreatmentReplacesTheRecordsTreatment)
{
    SScenarioTreatment record = Record(2030, "S1", 1, "Thin to 20");
    WoxCopyText(record.treatment.szDescription, "Light");
    record.treatment.pData = Block(20.0);
    record.treatment.nDataSize = 8;
    const uint32_t hOld = record.treatment.pData;
    AddToScenario(Record(2025, "S1", 1, "Thin to 20"));
    AddToScenario(record);
    uint32_t hNew = 0;
    m_thin.m_onEdit = [&](STreatmentData& selection) {
        // The component sees the record's whole treatment.
        EXPECT_EQ(selection.pTreatments->GetSize(), 1);
        const auto& handed = *static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(0, 0));
        EXPECT_EQ(std::memcmp(&handed, &record.treatment, sizeof handed), 0);
        STreatmentDataTreatment changed = handed;
        WoxCopyText(changed.szName, "Thin to 15");
        changed.pData = hNew = Block(15.0);
        selection.pTreatments->SetAt(0, 0, &changed);
        return 1;
    };

    EXPECT_EQ(m_editor.ModifyTreatments(Records({record}).Get()), 1);
    EXPECT_STREQ(Stored(1).treatment.szName, "Thin to 15");
    EXPECT_STREQ(Stored(1).treatment.szDescription, "Light");
    EXPECT_EQ(Stored(1).treatment.pData, hNew);
    EXPECT_EQ(Stored(1).nYear, 2030);
    EXPECT_STREQ(Stored(0).treatment.szName, "Thin to 20");
    EXPECT_EQ(m_host.Heap()->Data(hOld), nullptr) << "the replaced block is freed";
    EXPECT_EQ(m_editor.m_nModified, 1);
}

enum class ENoChange
{
    ComponentRefuses,
    RecordNotInScenario,
    ComponentMissing,
};

class ModifyWithoutChangeTest : public EditorBaseTest, public ::testing::WithParamInterface<ENoChange>
{
};

TEST_P(ModifyWithoutChangeTest, LeavesScenarioAndBlocksAlone)
{
    SScenarioTreatment record = Record(2030, "S1", GetParam() == ENoChange::ComponentMissing ? kMissing : 1, "Thin");
    record.treatment.pData = Block(20.0);
    record.treatment.nDataSize = 8;
    if (GetParam() != ENoChange::RecordNotInScenario)
        AddToScenario(record);
    uint32_t hNew = 0;
    m_thin.m_onEdit = [&](STreatmentData& selection) {
        STreatmentDataTreatment changed = *static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(0, 0));
        changed.pData = hNew = Block(15.0);
        selection.pTreatments->SetAt(0, 0, &changed);
        return GetParam() == ENoChange::ComponentRefuses ? 0 : 1;
    };

    EXPECT_EQ(m_editor.ModifyTreatments(Records({record}).Get()), 1);
    EXPECT_EQ(m_editor.m_nModified, 0);
    EXPECT_NE(m_host.Heap()->Data(record.treatment.pData), nullptr);
    if (GetParam() != ENoChange::RecordNotInScenario)
    {
        EXPECT_EQ(Stored(0).treatment.pData, record.treatment.pData);
    }
    else
    {
        EXPECT_EQ(m_host.Heap()->Data(hNew), nullptr) << "a block with no record to go into is freed";
    }
    if (GetParam() == ENoChange::ComponentRefuses)
        m_host.Heap()->Free(hNew);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModifyWithoutChangeTest,
                         ::testing::Values(ENoChange::ComponentRefuses, ENoChange::RecordNotInScenario, ENoChange::ComponentMissing));

TEST_F(EditorBaseTest, TriggeredRecordEditsItsGroupOfSameTriggers)
{
    SScenarioTreatment first = TriggeredRecord(), second = TriggeredRecord(), other = TriggeredRecord();
    for (auto* p : {&first, &second, &other})
    {
        p->nYear = 2030;
        p->treatment.guidComponent = TestGuid(1);
        WoxCopyText(p->treatment.szName, "Thin");
    }
    WoxCopyText(first.szStand, "S1");
    WoxCopyText(second.szStand, "S2");
    WoxCopyText(other.szStand, "S1");
    other.triggers[0].dValue = 40.0;
    for (auto* p : {&first, &other, &second})
        AddToScenario(*p);
    AddToScenario(Record(2030, "S1", 1, "Thin"));

    std::vector<std::string> group;
    m_editor.m_onTriggered = [&](IArrayExt2& records, IDynamicPtrTemplate<IArrayExt2>& pResults) {
        for (int i = 0; i < records.GetSize(); ++i)
            group.push_back(static_cast<const SScenarioTreatment*>(records.GetAt(i, 0))->szStand);
        pResults = m_host.MakeArray(sizeof(SScenarioTreatment));
        for (const SScenarioTreatment* p : {&first, &second})
        {
            SScenarioTreatment changed = *p;
            changed.triggers[0].dValue = 25.0;
            changed.nFlags = WOX_TREATMENT_ALLOW_MULTIPLE;
            pResults->Add(&changed);
        }
        return 1;
    };
    EXPECT_EQ(m_editor.ModifyTreatments(Records({first}).Get()), 1);
    EXPECT_EQ(group, (std::vector<std::string>{"S1", "S2"}));
    EXPECT_EQ(Stored(0).triggers[0].dValue, 25.0);
    EXPECT_EQ(Stored(2).triggers[0].dValue, 25.0);
    EXPECT_EQ(Stored(2).nFlags, WOX_TREATMENT_ALLOW_MULTIPLE);
    EXPECT_EQ(Stored(1).triggers[0].dValue, 40.0);
    EXPECT_EQ(m_editor.m_nModified, 1);
}

// Through the triggered treatment dialog itself: its change reaches every record of the group,
// each keeping its own stand; after Cancel nothing changes and the next record is still handled.
TEST_F(EditorBaseTest, TriggeredGroupChangesThroughTheDialog)
{
    SScenarioTreatment first = TriggeredRecord(), second = TriggeredRecord();
    for (auto* p : {&first, &second})
    {
        p->nYear = 2030;
        p->treatment.guidComponent = TestGuid(1);
        WoxCopyText(p->treatment.szName, "Thin");
    }
    WoxCopyText(first.szStand, "S1");
    WoxCopyText(second.szStand, "S2");
    for (auto* p : {&first, &second})
        AddToScenario(*p);
    bool bAccept = true;
    std::vector<std::string> rows;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        ASSERT_EQ(driver.TemplateId(), IDD_TRIGGERED);
        rows.clear();
        for (int i = 0; i < driver.GetRowCount(IDC_TRIGGERED_TREATMENTS); ++i)
            rows.push_back(driver.GetRowText(IDC_TRIGGERED_TREATMENTS, i));
        if (bAccept)
        {
            driver.PressButton(IDC_TRIGGERED_MULTIPLE);
            driver.PressButton(IDOK);
        }
    });
    EXPECT_EQ(m_editor.ModifyTreatments(Records({second}).Get()), 1);
    EXPECT_EQ(rows, (std::vector<std::string>{"Thin", "Thin"}));
    for (int i : {0, 1})
    {
        EXPECT_EQ(Stored(i).nFlags, WOX_TREATMENT_ALLOW_MULTIPLE);
        EXPECT_EQ(Stored(i).nYear, 2030);
        EXPECT_EQ(Stored(i).triggers[1].dValue, 30.0);
    }
    EXPECT_STREQ(Stored(0).szStand, "S1");
    EXPECT_STREQ(Stored(1).szStand, "S2");
    EXPECT_EQ(m_editor.Scenario().pTreatments->GetSize(), 2);
    EXPECT_EQ(m_editor.m_nModified, 1);

    bAccept = false;
    m_portData.m_components = {TestGuid(1)};
    EXPECT_EQ(m_editor.ModifyTreatments(Records({first, Record(2030, "S1", 1, "Thin")}).Get()), 1);
    EXPECT_EQ(m_editor.m_nModified, 1);
    EXPECT_EQ(m_thin.m_calls.size(), 1u) << "the normal record after the cancelled one";
}

// Edit mode on a group read from an older file (no end year): Edit... gives a treatment a new
// block and Delete drops the other one. Cancel frees the new block and changes nothing; OK writes
// the group back in place with the end year set, removes the deleted record and frees the blocks
// that were replaced or removed.
TEST_F(EditorBaseTest, TriggeredEditKeepsEditedBlockAndDeletedRows)
{
    SScenarioTreatment a = TriggeredRecord(), b = TriggeredRecord();
    for (auto* p : {&a, &b})
    {
        p->nYear = 2030;
        p->nEndYear = -1;
        p->treatment.guidComponent = TestGuid(1);
        WoxCopyText(p->szStand, "S1");
        p->treatment.nDataSize = 8;
    }
    WoxCopyText(a.treatment.szName, "Thin A");
    WoxCopyText(b.treatment.szName, "Thin B");
    a.treatment.pData = Block(20.0);
    b.treatment.pData = Block(25.0);
    AddToScenario(Record(2025, "S2", 1, "Thin"));
    AddToScenario(a);
    AddToScenario(b);

    std::vector<uint32_t> made;
    m_thin.m_onEdit = [&](STreatmentData& selection) {
        STreatmentDataTreatment changed = *static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(0, 0));
        changed.pData = Block(15.0);
        made.push_back(changed.pData);
        return selection.pTreatments->SetAt(0, 0, &changed);
    };
    bool bAccept = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        ASSERT_EQ(driver.TemplateId(), IDD_TRIGGERED);
        driver.SelectRow(IDC_TRIGGERED_TREATMENTS, 0);
        driver.PressButton(IDC_TRIGGERED_TREATMENT_EDIT);
        driver.SelectRow(IDC_TRIGGERED_TREATMENTS, 0);
        driver.PressButton(IDC_TRIGGERED_TREATMENT_EDIT);   // a second edit frees the first new block
        driver.SelectRow(IDC_TRIGGERED_TREATMENTS, 1);
        driver.PressButton(IDC_TRIGGERED_TREATMENT_DELETE);
        driver.PressButton(bAccept ? IDOK : IDCANCEL);
    });
    EXPECT_EQ(m_editor.ModifyTreatments(Records({a}).Get()), 1);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(m_host.Heap()->Data(made[0]), nullptr);
    EXPECT_EQ(m_host.Heap()->Data(made[1]), nullptr) << "cancelled: the new block is freed";
    EXPECT_EQ(m_editor.Scenario().pTreatments->GetSize(), 3);
    EXPECT_EQ(std::memcmp(&Stored(1), &a, sizeof a), 0);
    EXPECT_NE(m_host.Heap()->Data(a.treatment.pData), nullptr);
    EXPECT_NE(m_host.Heap()->Data(b.treatment.pData), nullptr);
    EXPECT_EQ(m_editor.m_nModified, 0);

    bAccept = true;
    made.clear();
    EXPECT_EQ(m_editor.ModifyTreatments(Records({a}).Get()), 1);
    ASSERT_EQ(made.size(), 2u);
    ASSERT_EQ(m_editor.Scenario().pTreatments->GetSize(), 2);
    EXPECT_STREQ(Stored(0).szStand, "S2");
    EXPECT_STREQ(Stored(1).treatment.szName, "Thin A");
    EXPECT_EQ(Stored(1).treatment.pData, made[1]);
    EXPECT_NE(m_host.Heap()->Data(made[1]), nullptr);
    EXPECT_EQ(Stored(1).bTriggered, 1);
    EXPECT_EQ(Stored(1).nYear, 2030);
    EXPECT_EQ(Stored(1).nEndYear, 2060);
    for (uint32_t hGone : {made[0], a.treatment.pData, b.treatment.pData})
        EXPECT_EQ(m_host.Heap()->Data(hGone), nullptr);
    EXPECT_EQ(m_editor.m_nModified, 1);
    m_host.Heap()->Free(made[1]);
}

} // namespace
