#include "CompMgr.h"

#include <cstdio>

#include "Files.h"
#include "Module.h"

CWoxCompMgr::CWoxCompMgr(const SServices& services) : m_services(services) {}

CWoxCompMgr::~CWoxCompMgr() { ReleaseAll(); }

void CWoxCompMgr::Report(const std::string& message)
{
    if (m_services.pErrorReporter)
        m_services.pErrorReporter->ReportError("component manager", message.c_str());
}

int CWoxCompMgr::LoadFolders(const std::vector<std::string>& folders)
{
    for (const auto& folder : folders)
        for (const auto& name : WoxFindFiles(folder.c_str(), (std::string("*") + WoxSharedLibrarySuffix()).c_str()))
            LoadLibrary((folder + "/" + name).c_str());
    return GetComponentCount();
}

bool CWoxCompMgr::LoadLibrary(const char* pszPath, const FnWrap& fnWrap)
{
    std::string error;
    IComponent* pComponent = WoxLoadComponent(m_services.pLibMgr, pszPath, m_services.hHeap, nullptr, &error);
    if (!pComponent)
    {
        Report(error);
        return false;
    }
    if (fnWrap)
        pComponent = fnWrap(pComponent);
    if (!pComponent->Create(m_services.pLibMgr, m_services.pThreadPool, m_services.pRegistry, m_services.pErrorReporter,
                            m_services.pSpeciesMap, this))
    {
        Report(std::string(pszPath) + ": the component refused Create");
        pComponent->Release();
        return false;
    }
    return AddComponent(pComponent, pszPath);
}

bool CWoxCompMgr::AddComponent(IComponent* pComponent, const char* pszOrigin)
{
    GUID guid = pComponent->GetGUID();
    if (GetComponent(guid))
    {
        Report(std::string(pszOrigin) + ": a component with GUID " + WoxGuidToString(guid) + " is already loaded");
        pComponent->Release();
        return false;
    }
    m_components.push_back(pComponent);
    return true;
}

IDynamic* CWoxCompMgr::GetComponent(GUID guid)
{
    for (IComponent* pComponent : m_components)
        if (pComponent->GetGUID() == guid)
            return pComponent;
    return nullptr;
}

int CWoxCompMgr::GetComponentCount() { return static_cast<int>(m_components.size()); }

IDynamic* CWoxCompMgr::GetComponentAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetComponentCount())
        return nullptr;
    return m_components[static_cast<size_t>(nIndex)];
}

void CWoxCompMgr::ReleaseAll()
{
    while (!m_components.empty())
    {
        IComponent* pComponent = m_components.back();
        m_components.pop_back();
        pComponent->Release();
    }
}

IComponent* WoxLoadComponent(IWoxLibMgr* pLibMgr, const char* pszPath, void* hHeap, int* pnCount, std::string* pError)
{
    auto fail = [&](const char* pszWhy) -> IComponent* {
        if (pError)
            *pError = std::string(pszPath ? pszPath : "") + ": " + pszWhy;
        return nullptr;
    };
    HWOXMODULE hModule = pLibMgr ? pLibMgr->OpenLibrary(pszPath) : nullptr;
    if (!hModule)
        return fail("the library does not load (see the library manager's report)");
    auto pfnCount = WoxModuleFunction<PFN_GetComponentCount>(hModule, "GetComponentCount");
    auto pfnCreate = WoxModuleFunction<PFN_CreateComponent>(hModule, "CreateComponent");
    if (!pfnCount || !pfnCreate)
        return fail("not a component library (no GetComponentCount or CreateComponent export)");
    const int nCount = pfnCount();
    if (pnCount)
        *pnCount = nCount;
    if (nCount < 1)
        return fail("the library holds no component");
    IComponent* pComponent = pfnCreate(hHeap);
    if (!pComponent)
        return fail("CreateComponent returned no object");
    pComponent->AddReference();
    return pComponent;
}

std::string WoxGuidToString(const GUID& guid)
{
    char szText[40];
    std::snprintf(szText, sizeof szText, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2, guid.Data3,
                  guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6],
                  guid.Data4[7]);
    return szText;
}
