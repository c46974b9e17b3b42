#include "LibMgr.h"

#include <algorithm>

#include "Files.h"
#include "Module.h"
#include "Registry.h"

namespace
{
std::string ParentFolder(const std::string& path)
{
    size_t nSlash = path.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : path.substr(0, nSlash);
}
}

CWoxLibMgr::CWoxLibMgr(const CWoxRegistry& registry, IWoxErrorReporter* pErrorReporter) : m_pErrorReporter(pErrorReporter)
{
    std::vector<std::string> folders;
    for (const auto& [name, path] : registry.Section("Libraries"))
        folders.push_back(ParentFolder(path));
    m_functionDirectory = registry.Get("General", "Function Directory");
    folders.push_back(m_functionDirectory);
    for (const auto& folder : registry.GetList("General", "Component Directory"))
        folders.push_back(folder);
    for (const auto& folder : registry.GetList("General", "Library Directories"))
        folders.push_back(folder);
    for (const auto& folder : folders)
    {
        std::string canonical = WoxRealPath(folder.c_str());
        if (!canonical.empty() && std::find(m_allowed.begin(), m_allowed.end(), canonical) == m_allowed.end())
            m_allowed.push_back(canonical);
    }
}

void CWoxLibMgr::Report(const std::string& message)
{
    if (m_pErrorReporter)
        m_pErrorReporter->ReportError("library manager", message.c_str());
}

HWOXMODULE CWoxLibMgr::OpenLibrary(const char* pszPath)
{
    if (!pszPath)
        return nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto it = m_byRequest.find(std::string_view(pszPath));
        if (it != m_byRequest.end())
            return it->second;
    }
    std::string path = WoxNativePath(pszPath);
    std::string canonical = WoxRealPath(path.c_str());
    if (canonical.empty() && path[0] == '/' && !m_functionDirectory.empty() && path.back() != '/')
        canonical = WoxRealPath((m_functionDirectory + path.substr(path.find_last_of('/'))).c_str());
    if (canonical.empty())
    {
        Report("cannot load " + path + ": no such file");
        return nullptr;
    }
    if (std::find(m_allowed.begin(), m_allowed.end(), ParentFolder(canonical)) == m_allowed.end())
    {
        Report("refused to load " + path + ": it lies outside the folders the host registry names");
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_loaded.find(canonical);
    if (it != m_loaded.end())
    {
        if (pszPath[0] == '/')
            m_byRequest.emplace(pszPath, it->second);
        return it->second;
    }
    std::string reason;
    HWOXMODULE hModule = WoxModuleLoad(canonical.c_str(), &reason);
    if (!hModule)
    {
        Report("cannot load " + path + ": " + reason);
        return nullptr;
    }
    m_loaded.emplace(canonical, hModule);
    if (pszPath[0] == '/')
        m_byRequest.emplace(pszPath, hModule);
    return hModule;
}
