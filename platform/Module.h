#pragma once
// Loaded modules: loading by path (for the host library manager only) and symbol lookup.

#include <string>

#include "WoxTypes.h"

// Loads a shared library; none on failure, with the loader's reason in *pError when given.
HWOXMODULE WoxModuleLoad(const char* pszPath, std::string* pError = nullptr);

// The address of an exported symbol, or none when the module lacks it.
void* WoxModuleSymbol(HWOXMODULE hModule, const char* pszName);

// Looks up a factory export and casts it to its function type.
template <class PFN>
inline PFN WoxModuleFunction(HWOXMODULE hModule, const char* pszName)
{
    return reinterpret_cast<PFN>(WoxModuleSymbol(hModule, pszName));
}

// The file name suffix of shared libraries on this platform (".so").
const char* WoxSharedLibrarySuffix();
