#pragma once
// Sample scenario files: the fuzz target's seeds and inputs of the corpus replay test.

#include <string>
#include <vector>

#include "ScenarioBytes.h"

struct SSeed
{
    std::string name;
    CBytes bytes;
};

inline std::vector<SRecordBytes> SampleRecords()
{
    SRecordBytes normal;
    normal.nYear = 2030;
    normal.stand = "STAND-0001";
    normal.name = "Thin from below";
    normal.description = "to 25 m2/ha";
    normal.nDataSize = 24;

    SRecordBytes triggered;
    triggered.nYear = 2035;
    triggered.stand = "STAND-0002";
    triggered.bTriggered = true;
    triggered.bDefaultTriggerPart = true;
    triggered.nEndYear = 2060;
    triggered.nFlags = 1;
    triggered.guidFirst = 0x40;
    triggered.name = "Clearcut";
    STriggerBytes basalArea;
    basalArea.variable = "Basal area";
    basalArea.dValue = 35.5;
    basalArea.nOperator = 2;
    basalArea.bInclude = 1;
    basalArea.species = {"PSME", "TSHE"};
    basalArea.dDbhMin = 10;
    triggered.triggers = {basalArea};

    SRecordBytes plain;
    plain.nYear = 2040;
    plain.stand = "STAND-0003";
    plain.name = "Plant";
    plain.nDataSize = 0;

    SRecordBytes last = normal;
    last.nYear = 2045;
    last.nDataSize = 8;
    return {normal, triggered, plain, last};
}

inline std::vector<SSeed> ScenarioSeeds()
{
    SInfoBytes info{"Demo scenario", "Thinning and clearcut", 2050};
    std::vector<SRecordBytes> records = SampleRecords();
    std::vector<CBytes> blocks = {BlockBytes(24, 1), BlockBytes(8, 2)};

    std::vector<SSeed> seeds;
    seeds.push_back({"empty-31.scenario", HeaderBytes(info, 0)});
    seeds.push_back({"sample-31.scenario", FileBytes(info, records, blocks)});
    seeds.push_back({"sample-30.scenario", FileBytes(info, records, blocks, 3.0)});
    seeds.push_back({"version-20.scenario", FileBytes(info, records, blocks, 2.0)});
    CBytes truncated = FileBytes(info, records, blocks);
    truncated.resize(5000);
    seeds.push_back({"truncated-31.scenario", truncated});

    CBytes huge = HeaderBytes(info, 0x7FFFFFFF);
    seeds.push_back({"huge-count.scenario", huge});

    SRecordBytes big = records[0];
    big.nDataSize = 0xFFFFFFFFu;
    seeds.push_back({"huge-data-size.scenario", FileBytes(info, {big}, {BlockBytes(16, 3)})});

    SRecordBytes unterminated = records[1];
    unterminated.stand = std::string(30, 'S');
    unterminated.name = std::string(256, 'N');
    CBytes odd = FileBytes({std::string(50, 'A'), std::string(256, 'D'), 2050}, {unterminated}, {});
    CByteWriter w(odd.size());
    w.Bytes(0, odd).I32(ScenarioLayout::kRecords + ScenarioLayout::kTriggerCount, 99);
    seeds.push_back({"unterminated-31.scenario", w.Get()});
    return seeds;
}
