#pragma once
// The named parameters of the host's four treatment components (thinning from below and from
// above, clearcut, planting) for the JSON form of a scenario. Names carry their unit.

#include "ScenarioParameters.h"

class CTreatmentParameterCodec final : public IParameterCodec
{
public:
    bool Decode(const GUID& component, const CByteVector& block, std::vector<SParameterValue>& values) const override;
    bool Encode(const GUID& component, const std::vector<SParameterValue>& values, CByteVector& block, std::string& error) const override;
};
