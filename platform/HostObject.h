#pragma once
// The one way to obtain a host object: the library that a registry value names, loaded once
// through the host's library manager; the factory export found in it; the object it makes, held
// by a counted reference; its initialisation. Used by the component object, the scenario file,
// the dialogs and the tasks alike. Nothing here reports a failure: callers answer 0, as the host
// conventions ask.

#include "Containers.h"
#include "Dynamic.h"
#include "HostServices.h"
#include "Module.h"

// Loads the library at pszPath through the library manager unless hModule holds it already.
bool WoxOpenHostLibrary(IWoxLibMgr* pLibMgr, const char* pszPath, HWOXMODULE& hModule);

// Reads the path of a host library (section "Libraries", value pszValue) into pszPath, a field of
// WOX_MAX_PATH bytes, and loads the library unless hModule holds it already. False when the
// registry does not answer above 0 or the library does not load.
bool WoxLoadHostLibrary(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, const char* pszValue, char* pszPath, HWOXMODULE& hModule);

// Calls the factory export of the module with the arguments and holds what it makes in pObject,
// releasing what pObject held before. False when the export is missing (pObject is then left as
// it was) or the factory makes nothing (pObject is then empty).
template <class PFN, class T, class... Args>
bool WoxCreateHostObject(HWOXMODULE hModule, const char* pszExport, IDynamicPtrTemplate<T>& pObject, Args... args)
{
    PFN pfnCreate = WoxModuleFunction<PFN>(hModule, pszExport);
    if (!pfnCreate)
        return false;
    pObject = pfnCreate(args...);
    return static_cast<bool>(pObject);
}

// An array of nElementSize-byte elements made by the Data Controller Library with the heap and
// initialised with the three services. False when it cannot be made or its Initialize answers 0
// (pArray then holds the array that refused).
bool WoxCreateArrayExt2(HWOXMODULE hDataController, HWOXHEAP hHeap, IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry,
                        IWoxErrorReporter* pErrorReporter, int nElementSize, IDynamicPtrTemplate<IArrayExt2>& pArray);
