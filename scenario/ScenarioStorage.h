#pragma once
// Where a CScenarioFile keeps its bytes when it does not use the host. By default a scenario file
// goes through the host's IO Library (binary files), Data Controller Library (arrays) and the
// platform's file operations. A storage replaces all of them at once, so that the file logic can
// run on an in-memory volume: the fuzz target, the unit tests and the text tools (which must never
// modify the file they show) use CMemoryVolume.

#include <string>

#include "Containers.h"

class IScenarioStorage
{
public:
    // A new binary-file object (no reference taken yet, as a host factory returns it).
    virtual IWoxBinary* CreateBinary() = 0;
    // A new array (no reference taken yet); the caller initialises it.
    virtual IArrayExt2* CreateArray(HWOXHEAP hHeap) = 0;
    virtual bool FileExists(const char* pszPath) = 0;
    virtual bool DeleteFile(const char* pszPath) = 0;
    virtual bool CopyFile(const char* pszFrom, const char* pszTo) = 0;
    virtual std::string TempFolder() = 0;

protected:
    ~IScenarioStorage() = default;
};
