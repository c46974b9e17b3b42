// The scenario check: each kind of fault in an otherwise sound scenario gives exactly its finding,
// and a sound scenario (including conditions that only look alike) gives none.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "ScenarioCheck.h"
#include "WoxText.h"

namespace
{
const GUID kThin = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kOther = {0x99999999, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr const char* kBasalArea = "Basal Area (m2/ha)";

SScenarioTreatment Record(int nYear, const char* pszStand)
{
    SScenarioTreatment record;
    std::memset(&record, 0, sizeof record);
    ResetTriggerPart(record);
    record.nYear = nYear;
    WoxCopyText(record.szStand, pszStand);
    WoxCopyText(record.treatment.szName, "Thin");
    record.treatment.guidComponent = kThin;
    record.treatment.nDataSize = 8;
    return record;
}

SScenarioTriggerSpec Condition(int nOperator, double dValue)
{
    SScenarioTriggerSpec spec;
    std::memset(&spec, 0, sizeof spec);
    ResetTriggerSpec(spec);
    WoxCopyText(spec.szVariable, kBasalArea);
    spec.nFunction = 1;
    spec.nOperator = nOperator;
    spec.dValue = dValue;
    spec.bInclude = 1;
    spec.nSpecies = 1;
    WoxCopyText(spec.szSpecies[0], "PSME");
    spec.dDbhMin = 10.0;
    return spec;
}

// A sound scenario: a normal thinning of S1 in 2030, and a thinning of S2 triggered while its
// Douglas-fir basal area lies between 30 and 60 (two conditions on one value that can both hold).
CScenarioDocument Sound()
{
    CScenarioDocument document;
    document.header.info.nEndYear = 2050;
    document.records.push_back(Record(2030, "S1"));
    SScenarioTreatment triggered = Record(2035, "S2");
    triggered.bTriggered = 1;
    triggered.nEndYear = 2050;
    triggered.nTriggers = 2;
    triggered.triggers[0] = Condition(TRIGGER_GREATER, 30.0);
    triggered.triggers[1] = Condition(TRIGGER_LESS, 60.0);
    document.records.push_back(triggered);
    document.blocks.assign(2, CByteVector(8, 0));
    return document;
}

SScenarioCheckContext Context()
{
    SScenarioCheckContext context;
    context.stands = {"S1", "S2"};
    context.components = {kThin};
    context.fnKnownSpecies = [](const std::string& code) { return code == "PSME" || code == "TSHE"; };
    context.fnPlausibleRange = [](const std::string& variable, double& dMin, double& dMax) {
        dMin = 0.0, dMax = 150.0;
        return variable == kBasalArea;
    };
    context.fnCheckParameters = [](const GUID&, const CByteVector& block, std::string& why) {
        why = "the block must be 8 bytes";
        return block.size() == 8;
    };
    return context;
}

SScenarioTriggerSpec& Trigger(CScenarioDocument& d, int n) { return d.records[1].triggers[n]; }

struct SCheckCase
{
    const char* pszName;
    std::function<void(CScenarioDocument&)> fnDamage;
    const char* pszKind;   // "" = no finding
    bool bError;
    size_t nRecord;
};

class CScenarioCheckTest : public testing::TestWithParam<SCheckCase>
{
};

TEST_P(CScenarioCheckTest, FindsExactlyTheFault)
{
    CScenarioDocument document = Sound();
    GetParam().fnDamage(document);
    const std::vector<SScenarioFinding> findings = CheckScenario(document, Context());
    if (!*GetParam().pszKind)
    {
        EXPECT_TRUE(findings.empty()) << FindingsToText("x", document, findings);
        return;
    }
    ASSERT_EQ(findings.size(), 1u) << FindingsToText("x", document, findings);
    EXPECT_STREQ(findings[0].pszKind, GetParam().pszKind);
    EXPECT_EQ(findings[0].bError, GetParam().bError) << findings[0].message;
    EXPECT_EQ(findings[0].nRecord, GetParam().nRecord);
}

const SCheckCase kCases[] = {
    {"Sound", [](CScenarioDocument&) {}, "", false, 0},
    {"SameVariableOverOtherTreesIsNoContradiction", [](CScenarioDocument& d) { Trigger(d, 1) = Condition(TRIGGER_LESS, 20.0), Trigger(d, 1).dDbhMin = 30.0; }, "", false, 0},
    {"UnsetEndYearIsNoFinding", [](CScenarioDocument& d) { d.records[1].nEndYear = -1; }, "", false, 0},
    {"AfterEndYear", [](CScenarioDocument& d) { d.records[0].nYear = 2055; }, "after-end-year", true, 1},
    {"EndYearBeforeYear", [](CScenarioDocument& d) { d.records[1].nEndYear = 2030; }, "end-year-before-year", true, 2},
    {"EndYearAfterScenario", [](CScenarioDocument& d) { d.records[1].nEndYear = 2070; }, "end-year-after-scenario", false, 2},
    {"UnknownStand", [](CScenarioDocument& d) { WoxCopyText(d.records[1].szStand, "S9"); }, "unknown-stand", true, 2},
    {"UnknownComponent", [](CScenarioDocument& d) { d.records[0].treatment.guidComponent = kOther; }, "unknown-component", true, 1},
    {"ParametersRefused", [](CScenarioDocument& d) { d.blocks[0].resize(4); }, "parameters", true, 1},
    {"Duplicate", [](CScenarioDocument& d) { d.records.push_back(d.records[0]), d.blocks.push_back(d.blocks[0]); }, "duplicate", false, 3},
    {"Contradiction", [](CScenarioDocument& d) { Trigger(d, 1).dValue = 25.0; }, "contradictory-conditions", true, 2},
    {"EqualOutsideTheBounds", [](CScenarioDocument& d) { Trigger(d, 1) = Condition(TRIGGER_EQUAL, 30.0); }, "contradictory-conditions", true, 2},
    {"ImplausibleThreshold", [](CScenarioDocument& d) { Trigger(d, 0).dValue = -5.0; }, "implausible-threshold", false, 2},
    {"NotANumberThreshold", [](CScenarioDocument& d) { Trigger(d, 1).dValue = std::nan(""); }, "implausible-threshold", true, 2},
    {"UnknownSpeciesIncluded", [](CScenarioDocument& d) { WoxCopyText(Trigger(d, 0).szSpecies[0], "XXXX"); }, "unknown-species", true, 2},
    {"UnknownSpeciesExcluded", [](CScenarioDocument& d) { Trigger(d, 0).bInclude = 0, WoxCopyText(Trigger(d, 0).szSpecies[0], "XXXX"); }, "unknown-species", false, 2},
    {"DbhBoundsCrossed", [](CScenarioDocument& d) { Trigger(d, 0).dDbhMax = 5.0; }, "crossed-bounds", true, 2},
    {"HeightBoundsCrossed", [](CScenarioDocument& d) { Trigger(d, 0).dHeightMin = 1000.0; }, "crossed-bounds", true, 2},
    {"TooManyConditions", [](CScenarioDocument& d) { d.records[0].nTriggers = 16; }, "damaged", true, 1},
    {"TooManySpecies", [](CScenarioDocument& d) { Trigger(d, 1).nSpecies = -1; }, "damaged", true, 2},
};
INSTANTIATE_TEST_SUITE_P(Faults, CScenarioCheckTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SCheckCase>& info) { return std::string(info.param.pszName); });
}
