#include "Module.h"

#include <dlfcn.h>

HWOXMODULE WoxModuleLoad(const char* pszPath, std::string* pError)
{
    if (!pszPath || !*pszPath)
    {
        if (pError)
            *pError = "empty library path";
        return nullptr;
    }
    void* hModule = dlopen(pszPath, RTLD_NOW | RTLD_LOCAL);
    if (!hModule && pError)
    {
        const char* pszReason = dlerror();
        *pError = pszReason ? pszReason : "unknown loader error";
    }
    return hModule;
}

void* WoxModuleSymbol(HWOXMODULE hModule, const char* pszName)
{
    if (!hModule || !pszName)
        return nullptr;
    return dlsym(hModule, pszName);
}

const char* WoxSharedLibrarySuffix() { return ".so"; }
