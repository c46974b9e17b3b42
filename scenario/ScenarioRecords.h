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

constexpr int WOX_SCENARIO_MAX_TRIGGERS = 15;
constexpr int WOX_SCENARIO_MAX_SPECIES = 15;

// Versions are compared for exact equality: 3.1 is the bit pattern CD CC CC CC CC CC 08 40.
constexpr double WOX_SCENARIO_VERSION = 3.1;
constexpr double WOX_SCENARIO_VERSION_30 = 3.0;

// Flag bit of SScenarioTreatment::nFlags: a triggered record stays listed after it was applied.
constexpr uint32_t WOX_TREATMENT_ALLOW_MULTIPLE = 1u;

// Trigger operators (SScenarioTriggerSpec::nOperator).
enum ENTriggerOperator : int32_t
{
    TRIGGER_LESS = 0,
    TRIGGER_EQUAL = 1,
    TRIGGER_GREATER = 2
};

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

// One condition of a triggered record, with the tree filter it applies first.
struct SScenarioTriggerSpec
{
    // Bytes 0..327: a copy of the function descriptor the condition uses.
    char szVariable[52];
    int32_t nDescriptorA;
    int32_t nDescriptorB;
    int32_t nDescriptorC;
    char szLibrary[260];
    int32_t nFunction;
    double dValue;            // threshold
    int32_t nOperator;        // ENTriggerOperator
    char cPad0[4];
    int32_t bInclude;         // species list mode: non-zero = include, 0 = exclude
    char szSpecies[WOX_SCENARIO_MAX_SPECIES][10];
    char cPad1[2];
    int32_t nSpecies;         // species codes in use, 0..15 (clamp on use)
    double dDbhMax;           // bounds are inclusive; maximum before minimum
    double dDbhMin;
    double dHeightMax;
    double dHeightMin;
};

struct SScenarioTreatment
{
    int32_t nYear;            // normal: year applied; triggered: first year tested
    char szStand[30];
    char cPad0[2];
    int32_t bTriggered;
    // Bytes 40..8351 are the trigger part (see ResetTriggerPart).
    char szReserved[256];
    int32_t nEndYear;         // triggered: last year shown by the editor; -1 = unset
    uint32_t nFlags;          // WOX_TREATMENT_ALLOW_MULTIPLE
    SScenarioTriggerSpec triggers[WOX_SCENARIO_MAX_TRIGGERS];
    int32_t nTriggers;        // conditions in use, 0..15 (clamp on use)
    char cPad1[4];
    STreatmentDataTreatment treatment;
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

static_assert(sizeof(SScenarioTriggerSpec) == 536);
static_assert(offsetof(SScenarioTriggerSpec, szVariable) == 0);
static_assert(offsetof(SScenarioTriggerSpec, nDescriptorA) == 52);
static_assert(offsetof(SScenarioTriggerSpec, nDescriptorB) == 56);
static_assert(offsetof(SScenarioTriggerSpec, nDescriptorC) == 60);
static_assert(offsetof(SScenarioTriggerSpec, szLibrary) == 64);
static_assert(offsetof(SScenarioTriggerSpec, nFunction) == 324);
static_assert(offsetof(SScenarioTriggerSpec, dValue) == 328);
static_assert(offsetof(SScenarioTriggerSpec, nOperator) == 336);
static_assert(offsetof(SScenarioTriggerSpec, cPad0) == 340);
static_assert(offsetof(SScenarioTriggerSpec, bInclude) == 344);
static_assert(offsetof(SScenarioTriggerSpec, szSpecies) == 348);
static_assert(offsetof(SScenarioTriggerSpec, cPad1) == 498);
static_assert(offsetof(SScenarioTriggerSpec, nSpecies) == 500);
static_assert(offsetof(SScenarioTriggerSpec, dDbhMax) == 504);
static_assert(offsetof(SScenarioTriggerSpec, dDbhMin) == 512);
static_assert(offsetof(SScenarioTriggerSpec, dHeightMax) == 520);
static_assert(offsetof(SScenarioTriggerSpec, dHeightMin) == 528);

static_assert(sizeof(SScenarioTreatment) == 8888);
static_assert(offsetof(SScenarioTreatment, nYear) == 0);
static_assert(offsetof(SScenarioTreatment, szStand) == 4);
static_assert(offsetof(SScenarioTreatment, cPad0) == 34);
static_assert(offsetof(SScenarioTreatment, bTriggered) == 36);
static_assert(offsetof(SScenarioTreatment, szReserved) == 40);
static_assert(offsetof(SScenarioTreatment, nEndYear) == 296);
static_assert(offsetof(SScenarioTreatment, nFlags) == 300);
static_assert(offsetof(SScenarioTreatment, triggers) == 304);
static_assert(offsetof(SScenarioTreatment, nTriggers) == 8344);
static_assert(offsetof(SScenarioTreatment, cPad1) == 8348);
static_assert(offsetof(SScenarioTreatment, treatment) == 8352);
static_assert(offsetof(SScenarioTreatment, treatment) + offsetof(STreatmentDataTreatment, pData) == 8880);

static_assert(sizeof(SScenarioTreatment30) == 920);
static_assert(offsetof(SScenarioTreatment30, nYear) == 0);
static_assert(offsetof(SScenarioTreatment30, szStand) == 4);
static_assert(offsetof(SScenarioTreatment30, cPad0) == 34);
static_assert(offsetof(SScenarioTreatment30, bTriggered) == 36);
static_assert(offsetof(SScenarioTreatment30, cOldTriggers) == 40);
static_assert(offsetof(SScenarioTreatment30, treatment) == 384);
