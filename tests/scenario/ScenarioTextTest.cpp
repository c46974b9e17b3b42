// The text forms: JSON export then import gives back the same file, errors name their field, and
// the listing words triggers as the editor does.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>

#include "ScenarioSeeds.h"
#include "ScenarioTestSupport.h"
#include "ScenarioJson.h"
#include "ScenarioListing.h"

namespace
{
using namespace ScenarioLayout;

CBytes Sample() { return FileBytes({"Demo", "Thinning and clearcut", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}); }

CScenarioDocument Read(const CBytes& bytes)
{
    CWoxHeap heap;
    CScenarioDocument document;
    std::string error;
    EXPECT_TRUE(ReadScenarioBytes(&heap, bytes, document, &error)) << error;
    return document;
}

// File -> JSON -> file, compared byte for byte (pData bytes carry no meaning and are zeroed).
void ExpectRoundTrip(const CBytes& file, size_t nRecords)
{
    CScenarioDocument document = Read(file);
    CScenarioDocument back;
    std::string error;
    ASSERT_TRUE(ScenarioFromJson(ScenarioToJson(document), back, error)) << error;
    CWoxHeap heap;
    CBytes bytes;
    ASSERT_TRUE(ScenarioDocumentBytes(&heap, back, bytes));
    EXPECT_EQ(WithoutDataHandles(bytes, nRecords), WithoutDataHandles(file, nRecords));
    EXPECT_EQ(heap.BlockCount(), 0u);
}

TEST(ScenarioJson, RoundTripIsByteExact)
{
    ExpectRoundTrip(Sample(), 4);
}

TEST(ScenarioJson, RoundTripCarriesBytesOutsideNamedFields)
{
    CBytes file = Sample();
    // Garbage behind terminators, in padding, szReserved, an unused condition, the info padding.
    file[kInfo + 1 + 10] = 0x7A;                                 // behind the name's terminator
    file[kInfo + 306] = 0x01;                                    // info padding
    size_t r1 = kRecords + kRecord;
    file[r1 + 34] = 0xFF;                                        // record padding
    file[r1 + kReserved + 100] = 'r';                            // szReserved behind its first byte
    file[r1 + kTriggers + 3 * kTrigger + kVariable] = 'v';       // an unused condition
    file[r1 + kTriggers + 0 * kTrigger + 498] = 0x42;            // trigger padding
    file[r1 + kTriggers + 0 * kTrigger + kSpecies + 25] = 'q';   // behind a species terminator
    CByteWriter w(file.size());
    w.Bytes(0, file).U32(r1 + kTriggers + kValue, 0x7FF80001u).U32(r1 + kTriggers + kValue + 4, 0x7FF80000u);  // a NaN payload
    w.Bytes(kRecords + 2 * kRecord + kStand, CBytes(30, 0xE9));  // 30 Latin-1 characters, no terminator
    ExpectRoundTrip(w.Get(), 4);
}

TEST(ScenarioJson, CountsAboveFifteenSurviveTheRoundTrip)
{
    CBytes file = Sample();
    CByteWriter w(file.size());
    w.Bytes(0, file).I32(kRecords + kRecord + kTriggerCount, 99).I32(kRecords + kRecord + kTriggers + kSpeciesCount, -4);
    ExpectRoundTrip(w.Get(), 4);
}

TEST(ScenarioJson, Version30FileIsExportedAsItsConversion)
{
    CBytes old = FileBytes({"Old", "", 2050}, SampleRecords(), {BlockBytes(24, 1), BlockBytes(8, 2)}, 3.0);
    CScenarioDocument document = Read(old);
    ASSERT_EQ(document.records.size(), 4u);
    EXPECT_EQ(document.records[1].nEndYear, -1);
    EXPECT_EQ(document.records[1].triggers[14].dDbhMax, 999.0);
    EXPECT_EQ(document.blocks[3], BlockBytes(8, 2));
}

struct SErrorCase
{
    const char* name;
    std::function<void(nlohmann::json&)> edit;
    std::string error;
};

class ScenarioJsonError : public testing::TestWithParam<SErrorCase>
{
};

TEST_P(ScenarioJsonError, NamesTheField)
{
    nlohmann::json root = nlohmann::json::parse(ScenarioToJson(Read(Sample())));
    GetParam().edit(root);
    CScenarioDocument document;
    std::string error;
    EXPECT_FALSE(ScenarioFromJson(root.dump(), document, error));
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ScenarioJsonError,
    testing::Values(
        SErrorCase{"Format", [](nlohmann::json& j) { j.erase("format"); }, "format: missing"},
        SErrorCase{"EndYearType", [](nlohmann::json& j) { j["info"]["endYear"] = "2050"; }, "info.endYear: expected an integer"},
        SErrorCase{"TreatmentName", [](nlohmann::json& j) { j["records"][2]["treatment"].erase("name"); }, "records[2].treatment.name: missing"},
        SErrorCase{"StandTooLong", [](nlohmann::json& j) { j["records"][0]["stand"] = std::string(31, 'x'); },
                   "records[0].stand: longer than 30 characters"},
        SErrorCase{"NotLatin1", [](nlohmann::json& j) { j["records"][0]["stand"] = "\xe2\x82\xac"; }, "records[0].stand: character outside Latin-1"},
        SErrorCase{"Hex", [](nlohmann::json& j) { j["records"][0]["treatment"]["data"] = "0g"; }, "records[0].treatment.data: not a hex digit"},
        SErrorCase{"Guid", [](nlohmann::json& j) { j["records"][0]["treatment"]["component"] = "{1234}"; },
                   "records[0].treatment.component: expected a GUID such as {01234567-89AB-CDEF-0123-456789ABCDEF}"},
        SErrorCase{"TriggerCount", [](nlohmann::json& j) { j["records"][1]["triggerCount"] = 2; },
                   "records[1].triggers: expected 2 conditions (triggerCount)"},
        SErrorCase{"ExtraPastEnd", [](nlohmann::json& j) { j["records"][0]["extraBytes"] = {{{"offset", 8887}, {"hex", "0102"}}}; },
                   "records[0].extraBytes[0].hex: reaches past the end of the record"}),
    [](const testing::TestParamInfo<SErrorCase>& info) { return std::string(info.param.name); });

TEST(ScenarioJson, InvalidJsonIsOneLine)
{
    CScenarioDocument document;
    std::string error;
    EXPECT_FALSE(ScenarioFromJson("{\"format\": ", document, error));
    EXPECT_EQ(error.rfind("invalid JSON: ", 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(ScenarioListing, WordsRecordsAndTriggersAsTheEditor)
{
    std::string text = ScenarioToText(Read(Sample()));
    for (const char* pszLine : {"Signature:   ScenarioFile\n", "Version:     3.1\n", "Name:        Demo\n", "End year:    2050\n", "Records:     4\n",
                                "  Stand:       STAND-0002\n", "  Kind:        triggered\n", "  Flags:       0x00000001 (allow multiple occurrences)\n",
                                "  Component:   {43424140-4544-4746-4849-4A4B4C4D4E4F}\n", "  Data size:   24 bytes\n",
                                "  Trigger 1:   Basal area > 35.50\n", "    Species:   include PSME, TSHE\n", "    Diameter:  10.00 to 999.00\n"})
        EXPECT_NE(text.find(pszLine), std::string::npos) << pszLine << "\n" << text;
}
}
