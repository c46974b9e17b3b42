#pragma once
// The records of a scenario. The same bytes are used in memory and in the scenario file, so every
// file record keeps its size and field offsets on every target (checked below; the info and the
// treatment part, which the host sees too, are checked with the contracts in ScenarioData.h). Padding is spelled
// out as fields so that a zero-filled record is zero everywhere and every byte can be addressed.
//
// Counts read from a file (nTriggers, nSpecies) are stored as they are; code that indexes the
// trigger or species arrays goes through ScenarioTriggerCount / ScenarioSpeciesCount, which clamp
// them to 0..15. Text fields may lack a terminator; read them with the WoxText.h helpers.

#include <cstddef>
#include <cstdint>

#include "Containers.h"
#include "ScenarioData.h"
#include "WoxTypes.h"


// Versions are compared for exact equality: 3.1 is the bit pattern CD CC CC CC CC CC 08 40.
constexpr double WOX_SCENARIO_VERSION = 3.1;
constexpr double WOX_SCENARIO_VERSION_30 = 3.0;


struct SScenarioHeader
{
    uint32_t nReserved;       // written 0, never read
    char szSignature[30];     // "ScenarioFile"; nothing checks it
    char cPad0[6];
    double dVersion;          // 3.1 (3.0 = old format, converted on open)
    SScenarioInfo info;
    int32_t nRecords;         // records from file position 512
    char cPad1[4];
};

// A record of a version 3.0 file, read only for conversion.
struct SScenarioTreatment30
{
    int32_t nYear;
    char szStand[30];
    char cPad0[2];
    int32_t bTriggered;
    char cOldTriggers[344];   // not carried over
    STreatmentDataTreatment treatment;
};

// File positions.
constexpr int64_t WOX_SCENARIO_RECORDS_POSITION = 512;
constexpr size_t WOX_TRIGGER_PART_BEGIN = 40;
constexpr size_t WOX_TRIGGER_PART_END = 8352;  // one past the last byte

// Sets one trigger condition to its defaults: no variable, descriptor codes 5, 1, 9, a filter
// that lets every tree through (exclude nothing, bounds 0..999).
void ResetTriggerSpec(SScenarioTriggerSpec& spec);
// Sets only the filter of a condition to its defaults (threshold 0, operator "<", no species in
// exclude mode, bounds 0..999); the function descriptor (bytes 0..327) keeps its contents.
void ResetTriggerFilter(SScenarioTriggerSpec& spec);

// Sets the trigger part of a record (bytes 40..8351) to its defaults: descriptor defaults of all
// 15 conditions, then szReserved empty, nEndYear -1, nFlags 0, nTriggers 0, then the filter
// defaults of all 15 conditions. Padding bytes are left as they are.
void ResetTriggerPart(SScenarioTreatment& record);

// nTriggers / nSpecies as a safe index bound (0..15), whatever the file held.
int ScenarioTriggerCount(const SScenarioTreatment& record);
int ScenarioSpeciesCount(const SScenarioTriggerSpec& spec);

// Size and offset checks against the documented layouts.
static_assert(sizeof(SScenarioHeader) == 368);
static_assert(offsetof(SScenarioHeader, nReserved) == 0);
static_assert(offsetof(SScenarioHeader, szSignature) == 4);
static_assert(offsetof(SScenarioHeader, cPad0) == 34);
static_assert(offsetof(SScenarioHeader, dVersion) == 40);
static_assert(offsetof(SScenarioHeader, info) == 48);
static_assert(offsetof(SScenarioHeader, nRecords) == 360);
static_assert(offsetof(SScenarioHeader, cPad1) == 364);


static_assert(sizeof(SScenarioTreatment30) == 920);
static_assert(offsetof(SScenarioTreatment30, nYear) == 0);
static_assert(offsetof(SScenarioTreatment30, szStand) == 4);
static_assert(offsetof(SScenarioTreatment30, cPad0) == 34);
static_assert(offsetof(SScenarioTreatment30, bTriggered) == 36);
static_assert(offsetof(SScenarioTreatment30, cOldTriggers) == 40);
static_assert(offsetof(SScenarioTreatment30, treatment) == 384);
