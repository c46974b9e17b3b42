#pragma once
// Where a CScenarioFile keeps its bytes when it does not use the host. By default a scenario file
// goes through the host's IO Library (binary files), Data Controller Library (arrays) and the
// platform's atomic file replace. A storage replaces all of them at once, so that the file logic
// can run on an in-memory volume: the fuzz target, the unit tests and the text tools (which must
// never modify the file they show) use CMemoryVolume.

#include <cstdint>
#include <vector>

#include "Containers.h"

class IScenarioStorage
{
public:
    // A new binary-file object (no reference taken yet, as a host factory returns it).
    virtual IWoxBinary* CreateBinary() = 0;
    // A new array (no reference taken yet); the caller initialises it.
    virtual IArrayExt2* CreateArray(HWOXHEAP hHeap) = 0;
    // Replaces the file's content with the bytes as one step: afterwards the file holds either
    // its old bytes (false) or the new ones (true).
    virtual bool ReplaceFile(const char* pszPath, const std::vector<uint8_t>& bytes) = 0;

protected:
    ~IScenarioStorage() = default;
};
