#include "ScenarioRecords.h"

#include <cstring>

namespace
{
void ResetDescriptor(SScenarioTriggerSpec& spec)
{
    spec.szVariable[0] = 0;
    spec.nDescriptorA = 5;
    spec.nDescriptorB = 1;
    spec.nDescriptorC = 9;
    spec.szLibrary[0] = 0;
    spec.nFunction = 0;
}

void ResetFilter(SScenarioTriggerSpec& spec)
{
    spec.dValue = 0.0;
    spec.nOperator = TRIGGER_LESS;
    spec.bInclude = 0;
    std::memset(spec.szSpecies, 0, sizeof spec.szSpecies);
    spec.nSpecies = 0;
    spec.dDbhMax = 999.0;
    spec.dDbhMin = 0.0;
    spec.dHeightMax = 999.0;
    spec.dHeightMin = 0.0;
}

int Clamp(int32_t n, int nMax) { return n < 0 ? 0 : (n > nMax ? nMax : n); }
}

void ResetTriggerSpec(SScenarioTriggerSpec& spec)
{
    ResetDescriptor(spec);
    ResetFilter(spec);
}

void ResetTriggerPart(SScenarioTreatment& record)
{
    for (SScenarioTriggerSpec& spec : record.triggers)
        ResetDescriptor(spec);
    record.szReserved[0] = 0;
    record.nEndYear = -1;
    record.nFlags = 0;
    record.nTriggers = 0;
    for (SScenarioTriggerSpec& spec : record.triggers)
        ResetFilter(spec);
}

void ResetTriggerFilter(SScenarioTriggerSpec& spec)
{
    ResetFilter(spec);
}

int ScenarioTriggerCount(const SScenarioTreatment& record) { return Clamp(record.nTriggers, WOX_SCENARIO_MAX_TRIGGERS); }

int ScenarioSpeciesCount(const SScenarioTriggerSpec& spec) { return Clamp(spec.nSpecies, WOX_SCENARIO_MAX_SPECIES); }
