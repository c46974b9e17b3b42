#pragma once
// The parts of a scenario the host sees: the scenario block that SetupComponent fills and
// RunComponent reads (SComponentData::pData), its info record, and the treatment of a record,
// which treatment components receive (STreatmentData::pTreatments). Info and treatment are also
// parts of file records, so their sizes and offsets are checked here.

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
