#pragma once
// Shared by the trigger definition and species subset dialog tests: the host loaded from the test
// registry, with the function directory pointed at the tests' variables folder (three libraries
// listing 50 variables each and one whose enumerator refuses to initialise).

#include <cstring>
#include <string>

#include "TestHost.h"

// The host registry with "General" / "Function Directory" answered by another folder.
class CFunctionFolderRegistry final : public IWoxRegistry
{
public:
    CFunctionFolderRegistry(IWoxRegistry* pRegistry, std::string folder) : m_pRegistry(pRegistry), m_folder(std::move(folder)) {}

    int ReadString(const char* pszSection, const char* pszValue, char* pszBuffer, int nBuffer) override
    {
        if (std::strcmp(pszSection, "General") != 0 || std::strcmp(pszValue, "Function Directory") != 0)
            return m_pRegistry->ReadString(pszSection, pszValue, pszBuffer, nBuffer);
        if (m_folder.empty() || nBuffer < 1)
            return 0;
        std::snprintf(pszBuffer, static_cast<size_t>(nBuffer), "%s", m_folder.c_str());
        return 1;
    }

private:
    IWoxRegistry* m_pRegistry;
    std::string m_folder;
};

// The folder of the test variable libraries (beside the test registry).
inline std::string TestVariablesFolder()
{
    const std::string registry = CTestHost::RegistryPath();
    return registry.substr(0, registry.find_last_of('/')) + "/variables";
}
