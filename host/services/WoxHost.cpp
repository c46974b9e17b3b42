#include "WoxHost.h"

#include <cstdlib>

#include "Files.h"

CWoxHost::CWoxHost() = default;

CWoxHost::~CWoxHost()
{
    // Components may hold tasks on the pool: release them first, then join the workers.
    if (m_pCompMgr)
        m_pCompMgr->ReleaseAll();
    if (m_pThreadPool)
        m_pThreadPool->Shutdown();
}

bool CWoxHost::Load(const std::string& registryPath, std::string* pError)
{
    if (!m_registry.Load(registryPath.c_str(), pError))
        return false;
    std::string catalogue = m_registry.Get("General", "Species Catalogue");
    if (!catalogue.empty() && !m_speciesMap.Load(catalogue.c_str(), pError))
        return false;
    m_pLibMgr = std::make_unique<CWoxLibMgr>(m_registry, &m_reporter);
    m_pThreadPool = std::make_unique<CWoxThreadPool>(3);
    m_pCompMgr = std::make_unique<CWoxCompMgr>(
        CWoxCompMgr::SServices{m_pLibMgr.get(), m_pThreadPool.get(), &m_registry, &m_reporter, &m_speciesMap, Heap()});
    return true;
}

int CWoxHost::LoadComponents() { return m_pCompMgr->LoadFolders(m_registry.GetList("General", "Component Directory")); }

std::string CWoxHost::FindRegistry(const char* pszGiven)
{
    if (pszGiven && *pszGiven)
        return pszGiven;
    if (const char* pszEnv = std::getenv("WOX_REGISTRY"); pszEnv && *pszEnv)
        return pszEnv;
    return WoxExecutableFolder() + "/wox.ini";
}
