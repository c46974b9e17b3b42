#include "HostObject.h"

bool WoxOpenHostLibrary(IWoxLibMgr* pLibMgr, const char* pszPath, HWOXMODULE& hModule)
{
    if (!hModule && pLibMgr)
        hModule = pLibMgr->OpenLibrary(pszPath);
    return hModule != nullptr;
}

bool WoxLoadHostLibrary(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, const char* pszValue, char* pszPath, HWOXMODULE& hModule)
{
    if (!pLibMgr || !pRegistry || !pszPath)
        return false;
    if (pRegistry->ReadString("Libraries", pszValue, pszPath, WOX_MAX_PATH) <= 0)
        return false;
    return WoxOpenHostLibrary(pLibMgr, pszPath, hModule);
}

bool WoxCreateArrayExt2(HWOXMODULE hDataController, HWOXHEAP hHeap, IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry,
                        IWoxErrorReporter* pErrorReporter, int nElementSize, IDynamicPtrTemplate<IArrayExt2>& pArray)
{
    return WoxCreateHostObject<PFN_CreateArrayExt2>(hDataController, "CreateArrayExt2", pArray, hHeap) &&
           pArray->Initialize(pLibMgr, pRegistry, pErrorReporter, nElementSize) != 0;
}
