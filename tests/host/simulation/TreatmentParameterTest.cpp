// The JSON form of a scenario shows the host treatments' parameters by name beside the hex and
// reads either; other components keep hex only.

#include <gtest/gtest.h>

#include <cstring>

#include "ScenarioJson.h"
#include "TreatmentParameterCodec.h"
#include "Treatments.h"

namespace
{
std::string Record(const std::string& component, const std::string& treatment)
{
    return R"({"year": 2030, "stand": "A", "triggered": 0, "endYear": -1, "flags": 0, "triggerPartDefaults": true, "triggerCount": 0,
      "triggers": [], "treatment": {"component": ")" +
           component + R"(", "name": "T", "description": "", )" + treatment + "}}";
}

std::string Scenario(const std::vector<std::string>& records)
{
    std::string json = R"({"format": "wox-scenario", "formatVersion": 1, "info": {"name": "P", "description": "", "endYear": 2060}, "records": [)";
    for (size_t i = 0; i < records.size(); ++i)
        json += (i ? "," : "") + records[i];
    return json + "]}";
}

const char* kThinBelow = "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000001}";
const char* kPlanting = "{6A1D2F01-5C3B-4E7A-9B10-3C2F00000004}";
const char* kForeign = "{11111111-2222-3333-4444-555555555555}";

TEST(TreatmentParameterTest, ExportShowsNamesAndImportTakesEither)
{
    const CTreatmentParameterCodec codec;
    CScenarioDocument document;
    std::string error;
    ASSERT_TRUE(ScenarioFromJson(Scenario({Record(kThinBelow, R"("data": "0000000000003A40")"),
                                           Record(kPlanting, R"("parameters": {"species": "PSME", "stemsPerHa": 1000, "dbh_cm": 0, "height_m": 0})"),
                                           Record(kForeign, R"("data": "01020304")"),
                                           Record(kThinBelow, R"("data": "0000000000003A40", "parameters": {"residualBasalArea_m2ha": 20})")}),
                                 document, error, &codec))
        << error;
    ASSERT_EQ(4u, document.blocks.size());
    SPlantingParameters planting = {};
    ASSERT_EQ(kPlantingParametersFirstSize, document.blocks[1].size());
    std::memcpy(&planting, document.blocks[1].data(), kPlantingParametersFirstSize);
    EXPECT_STREQ("PSME", planting.szSpecies);
    EXPECT_EQ(1000.0, planting.dStemsPerHa);
    double dResidual = 0.0;
    ASSERT_EQ(8u, document.blocks[3].size());
    std::memcpy(&dResidual, document.blocks[3].data(), 8);
    EXPECT_EQ(20.0, dResidual) << "a parameter given beside the hex wins";

    const std::string json = ScenarioToJson(document, &codec);
    EXPECT_NE(std::string::npos, json.find(R"("parameters": {
          "residualBasalArea_m2ha": 26)")) << json;
    EXPECT_NE(std::string::npos, json.find(R"("species": "PSME")")) << json;
    EXPECT_EQ(3u, [&] {
        size_t n = 0;
        for (size_t at = json.find("\"parameters\""); at != std::string::npos; at = json.find("\"parameters\"", at + 1))
            ++n;
        return n;
    }()) << "the foreign component keeps hex only";
    CScenarioDocument again;
    ASSERT_TRUE(ScenarioFromJson(json, again, error, &codec)) << error;
    EXPECT_EQ(document.blocks, again.blocks);
}

struct SParameterCase
{
    const char* pszName;
    const char* pszComponent;
    const char* pszTreatment;
    const char* pszError;
};

TEST(TreatmentParameterTest, RefusesWhatNoBlockCanHold)
{
    const SParameterCase cases[] = {
        {"ForeignComponent", kForeign, R"("parameters": {"x": 1})", "the component has no named parameters"},
        {"UnknownName", kThinBelow, R"("parameters": {"residual": 1})", "residual: not a parameter of this component (residualBasalArea_m2ha)"},
        {"MissingLeadingField", kPlanting, R"("parameters": {"species": "PSME", "dbh_cm": 0, "height_m": 0})", "stemsPerHa: missing"},
        {"LaterFieldWithoutItsPartner", kPlanting,
         R"("parameters": {"species": "PSME", "stemsPerHa": 1, "dbh_cm": 0, "height_m": 0, "survival": 0.9})", "seedlingAge_years: missing"},
        {"TextTooLong", kPlanting, R"("data": "", "parameters": {"species": "ABCDEFGHIJK"})", "species: expected a text of at most 10"},
        {"TextForANumber", kThinBelow, R"("parameters": {"residualBasalArea_m2ha": "26"})", "expected a number"},
    };
    const CTreatmentParameterCodec codec;
    for (const SParameterCase& c : cases)
    {
        CScenarioDocument document;
        std::string error;
        EXPECT_FALSE(ScenarioFromJson(Scenario({Record(c.pszComponent, c.pszTreatment)}), document, error, &codec)) << c.pszName;
        EXPECT_EQ(0u, error.rfind("records[0].treatment.parameters: ", 0)) << c.pszName << ": " << error;
        EXPECT_NE(std::string::npos, error.find(c.pszError)) << c.pszName << ": " << error;
    }
}
}
