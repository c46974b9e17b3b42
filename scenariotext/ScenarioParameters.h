#pragma once
// Named treatment parameters in the JSON form of a scenario: a codec that knows some treatment
// components' parameter blocks shows them decoded beside the raw bytes and builds blocks from
// them. Components it does not know keep their bytes in hex only.

#include <string>
#include <vector>

#include "ScenarioDocument.h"

struct SParameterValue
{
    std::string name;
    bool bText = false;
    double dValue = 0.0;   // when !bText
    std::string text;      // when bText: Latin-1 bytes
};

class IParameterCodec
{
public:
    virtual ~IParameterCodec() = default;
    // The named parameters of a block; false (hex only) for a component it does not know or a
    // block too short for its parameters.
    virtual bool Decode(const GUID& component, const CByteVector& block, std::vector<SParameterValue>& values) const = 0;
    // Writes the values into block: over the bytes it holds (from hex), or into a new block when
    // it is empty, where every parameter the block needs must be given. False with one line in
    // error naming the parameter at fault or the unknown component.
    virtual bool Encode(const GUID& component, const std::vector<SParameterValue>& values, CByteVector& block, std::string& error) const = 0;
};
