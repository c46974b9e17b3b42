#pragma once
// The parts of a scenario the host sees: the scenario block that SetupComponent fills and
// RunComponent reads (SComponentData::pData), its info record, its treatment records (the
// elements of SScenarioData::pTreatments, which the host checks before a run) and the treatment
// of a record, which treatment components receive (STreatmentData::pTreatments). They are also
// file records, so their sizes and offsets are checked here.

#include <cstddef>
#include <cstdint>

#include "Containers.h"
#include "Dynamic.h"
#include "WoxTypes.h"

struct SScenarioInfo
{
    char szName[50];          // scenario name, also the base of the file name
    char szDescription[256];  // free text
    char cPad0[2];
    int32_t nEndYear;         // last year; later records are left out when the scenario is written
};

// The treatment a record applies: a host treatment component and its opaque parameter block.
struct STreatmentDataTreatment
{
    GUID guidComponent;
    char szName[256];
    char szDescription[256];
    uint32_t pData;           // block handle on the component heap; 0 when nDataSize is 0
    uint32_t nDataSize;       // size of the parameter block in bytes
};

constexpr int WOX_SCENARIO_MAX_TRIGGERS = 15;
constexpr int WOX_SCENARIO_MAX_SPECIES = 15;

// Flag bit of SScenarioTreatment::nFlags: a triggered record stays listed after it was applied.
constexpr uint32_t WOX_TREATMENT_ALLOW_MULTIPLE = 1u;

// Trigger operators (SScenarioTriggerSpec::nOperator).
enum ENTriggerOperator : int32_t
{
    TRIGGER_LESS = 0,
    TRIGGER_EQUAL = 1,
    TRIGGER_GREATER = 2
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

// The scenario held in memory. Not a file record; the scenario file fills and reads only info
// and pTreatments (elements are the 8888-byte treatment records, in file order).
struct SScenarioData
{
    uint32_t nReserved = 0;
    SScenarioInfo info = {};
    char szPath[WOX_MAX_PATH] = {};
    int32_t nRunYear = 0;
    IDynamicPtrTemplate<IArrayExt2> pTreatments;
};

static_assert(sizeof(SScenarioInfo) == 312);
static_assert(offsetof(SScenarioInfo, szName) == 0);
static_assert(offsetof(SScenarioInfo, szDescription) == 50);
static_assert(offsetof(SScenarioInfo, cPad0) == 306);
static_assert(offsetof(SScenarioInfo, nEndYear) == 308);

static_assert(sizeof(STreatmentDataTreatment) == 536);
static_assert(offsetof(STreatmentDataTreatment, guidComponent) == 0);
static_assert(offsetof(STreatmentDataTreatment, szName) == 16);
static_assert(offsetof(STreatmentDataTreatment, szDescription) == 272);
static_assert(offsetof(STreatmentDataTreatment, pData) == 528);
static_assert(offsetof(STreatmentDataTreatment, nDataSize) == 532);

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
