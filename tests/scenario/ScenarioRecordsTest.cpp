// The reset operations and count clamps of the scenario records, checked at documented offsets.

#include <gtest/gtest.h>

#include <cstring>

#include "ScenarioBytes.h"
#include "ScenarioRecords.h"

namespace
{
int32_t I32At(const uint8_t* p, size_t at)
{
    int32_t n;
    std::memcpy(&n, p + at, 4);
    return n;
}
double F64At(const uint8_t* p, size_t at)
{
    double d;
    std::memcpy(&d, p + at, 8);
    return d;
}
}

TEST(ScenarioRecords, ResetTriggerPartSetsDefaultsAndLeavesOtherBytes)
{
    using namespace ScenarioLayout;
    SScenarioTreatment record;
    std::memset(&record, 0xAB, sizeof record);
    ResetTriggerPart(record);
    auto p = reinterpret_cast<const uint8_t*>(&record);

    EXPECT_EQ(p[kReserved], 0);
    EXPECT_EQ(p[kReserved + 1], 0xAB);  // "emptied" is the first byte only
    EXPECT_EQ(I32At(p, kEndYear), -1);
    EXPECT_EQ(I32At(p, kFlags), 0);
    EXPECT_EQ(I32At(p, kTriggerCount), 0);
    for (size_t i = 0; i < 15; ++i)
    {
        size_t at = kTriggers + i * kTrigger;
        SCOPED_TRACE(i);
        EXPECT_EQ(p[at + kVariable], 0);
        EXPECT_EQ(p[at + kLibrary], 0);
        EXPECT_EQ(I32At(p, at + kDescA), 5);
        EXPECT_EQ(I32At(p, at + kDescB), 1);
        EXPECT_EQ(I32At(p, at + kDescC), 9);
        EXPECT_EQ(I32At(p, at + kFunction), 0);
        EXPECT_EQ(F64At(p, at + kValue), 0.0);
        EXPECT_EQ(I32At(p, at + kOperator), 0);
        EXPECT_EQ(I32At(p, at + kInclude), 0);
        for (size_t k = 0; k < 150; ++k)
            ASSERT_EQ(p[at + kSpecies + k], 0);
        EXPECT_EQ(I32At(p, at + kSpeciesCount), 0);
        EXPECT_EQ(F64At(p, at + kDbhMax), 999.0);
        EXPECT_EQ(F64At(p, at + kDbhMin), 0.0);
        EXPECT_EQ(F64At(p, at + kHeightMax), 999.0);
        EXPECT_EQ(F64At(p, at + kHeightMin), 0.0);
        EXPECT_EQ(p[at + 340], 0xAB);  // padding untouched
    }
    // Outside the trigger part nothing changes.
    for (size_t at : {size_t{0}, size_t{4}, size_t{36}, size_t{8348}, size_t{8352}, size_t{8887}})
        EXPECT_EQ(p[at], 0xAB) << at;
}

struct SClampCase
{
    int32_t nStored;
    int nUsable;
};

class ScenarioCountClamp : public testing::TestWithParam<SClampCase>
{
};

TEST_P(ScenarioCountClamp, CountsAreUsableIndexBounds)
{
    SScenarioTreatment record = {};
    record.nTriggers = GetParam().nStored;
    record.triggers[0].nSpecies = GetParam().nStored;
    EXPECT_EQ(ScenarioTriggerCount(record), GetParam().nUsable);
    EXPECT_EQ(ScenarioSpeciesCount(record.triggers[0]), GetParam().nUsable);
}

INSTANTIATE_TEST_SUITE_P(Counts, ScenarioCountClamp,
                         testing::Values(SClampCase{INT32_MIN, 0}, SClampCase{-1, 0}, SClampCase{0, 0}, SClampCase{7, 7}, SClampCase{15, 15},
                                         SClampCase{16, 15}, SClampCase{INT32_MAX, 15}));
