// The difference of two scenarios: records matched by identity whatever their order, duplicates
// paired equal-first, and the fields that changed named.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "ScenarioDiff.h"
#include "WoxText.h"

namespace
{
SScenarioTreatment Record(int nYear, const char* pszStand, const char* pszName)
{
    SScenarioTreatment record;
    std::memset(&record, 0, sizeof record);
    ResetTriggerPart(record);
    record.nYear = nYear;
    WoxCopyText(record.szStand, pszStand);
    WoxCopyText(record.treatment.szName, pszName);
    record.treatment.guidComponent.Data1 = 1;
    return record;
}

// Two thinnings of stand 10 in 2030 (the same identity), one of stand 9 in 2040, a triggered
// clearcut of stand 10 from 2035.
CScenarioDocument Plan()
{
    CScenarioDocument document;
    WoxCopyText(document.header.info.szName, "Plan");
    document.header.info.nEndYear = 2050;
    document.records = {Record(2030, "10", "Thin"), Record(2030, "10", "Thin"), Record(2040, "9", "Thin"), Record(2035, "10", "Clearcut")};
    SScenarioTreatment& clearcut = document.records[3];
    clearcut.bTriggered = 1;
    clearcut.nEndYear = 2050;
    clearcut.nTriggers = 1;
    WoxCopyText(clearcut.triggers[0].szVariable, "Basal Area (m2/ha)");
    clearcut.triggers[0].nOperator = TRIGGER_GREATER;
    clearcut.triggers[0].dValue = 40.0;
    document.blocks = {CByteVector{1}, CByteVector{2}, CByteVector{3}, CByteVector{}};
    return document;
}

struct SDiffCase
{
    const char* pszName;
    std::function<void(CScenarioDocument&)> fnEdit;   // makes B from the plan
    size_t nAdded, nRemoved, nChanged;
    std::vector<std::string> changedFields;   // of the one changed record
};

class CScenarioDiffTest : public testing::TestWithParam<SDiffCase>
{
};

TEST_P(CScenarioDiffTest, CountsAndNamesTheChanges)
{
    const CScenarioDocument a = Plan();
    CScenarioDocument b = Plan();
    GetParam().fnEdit(b);
    const SScenarioDiff diff = DiffScenarios(a, b);
    size_t nCounts[3] = {};
    std::vector<std::string> fields;
    for (const SRecordChange& change : diff.records)
    {
        ++nCounts[change.kind];
        for (const SFieldChange& field : change.fields)
            fields.push_back(field.field);
    }
    const std::string text = DiffToText(diff, "a", "b");
    EXPECT_EQ(nCounts[SRecordChange::Added], GetParam().nAdded) << text;
    EXPECT_EQ(nCounts[SRecordChange::Removed], GetParam().nRemoved) << text;
    EXPECT_EQ(nCounts[SRecordChange::Changed], GetParam().nChanged) << text;
    EXPECT_EQ(fields, GetParam().changedFields) << text;
    EXPECT_EQ(diff.Equal(), GetParam().nAdded + GetParam().nRemoved + GetParam().nChanged == 0) << text;
}

const SDiffCase kCases[] = {
    {"Identical", [](CScenarioDocument&) {}, 0, 0, 0, {}},
    {"Reordered",
     [](CScenarioDocument& b) {
         std::reverse(b.records.begin(), b.records.end());
         std::reverse(b.blocks.begin(), b.blocks.end());
     },
     0, 0, 0, {}},
    {"Added", [](CScenarioDocument& b) { b.records.push_back(Record(2045, "11", "Thin")), b.blocks.emplace_back(); }, 1, 0, 0, {}},
    {"Removed", [](CScenarioDocument& b) { b.records.erase(b.records.begin() + 2), b.blocks.erase(b.blocks.begin() + 2); }, 0, 1, 0, {}},
    // Twins (same identity): B holds the second one first and a changed first one last; the
    // equal ones pair, so only one record changed.
    {"ChangedTwinReordered", [](CScenarioDocument& b) { b.blocks[0] = CByteVector{2}, b.blocks[1] = CByteVector{7}; },
     0, 0, 1, {"parameters"}},
    {"ChangedCondition", [](CScenarioDocument& b) { b.records[3].triggers[0].dValue = 35.0, b.records[3].nFlags = 1; }, 0, 0, 1, {"flags", "condition 1"}},
    {"OtherYearIsAnotherRecord", [](CScenarioDocument& b) { b.records[2].nYear = 2045; }, 1, 1, 0, {}},
};
INSTANTIATE_TEST_SUITE_P(Pairs, CScenarioDiffTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SDiffCase>& info) { return std::string(info.param.pszName); });

TEST(ScenarioDiffText, GroupsByStandThenYear)
{
    const CScenarioDocument a = Plan();
    CScenarioDocument b;
    b.header.info = a.header.info;
    b.header.info.nEndYear = 2060;
    const std::string text = DiffToText(DiffScenarios(a, b), "a", "b");
    // Stand 9 before stand 10; stand 10's years in order, each heading once.
    EXPECT_EQ(text,
              "--- a\n+++ b\n"
              "scenario end year: 2050 -> 2060\n"
              "stand 9, 2040\n  - Thin (normal, {00000001-0000-0000-0000-000000000000}), record 3 of A\n"
              "stand 10, 2030\n  - Thin (normal, {00000001-0000-0000-0000-000000000000}), record 1 of A\n"
              "  - Thin (normal, {00000001-0000-0000-0000-000000000000}), record 2 of A\n"
              "stand 10, 2035\n  - Clearcut (triggered to 2050, {00000001-0000-0000-0000-000000000000}), record 4 of A\n"
              "0 added, 4 removed, 0 changed, scenario information changed\n");
}
}
