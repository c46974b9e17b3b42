#include "TestHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Files.h"
#include "Module.h"

CTestHost::CTestHost()
{
    std::string error;
    m_bLoaded = Load(RegistryPath(), &error);
    if (!m_bLoaded)
        ADD_FAILURE() << "test host: " << error;
    ErrorReporter()->SetQuiet(true);
}

std::string CTestHost::RegistryPath()
{
    const char* pszPath = std::getenv("WOX_REGISTRY");
    return pszPath && *pszPath ? pszPath : WOX_TEST_REGISTRY;
}

IDynamicPtrTemplate<IArrayExt2> CTestHost::MakeArray(int nElementSize)
{
    IDynamicPtrTemplate<IArrayExt2> pArray;
    if (!m_bLoaded)
        return pArray;
    char szPath[WOX_MAX_PATH] = {};
    if (!Registry()->ReadString("Libraries", "Data Controller Library", szPath, sizeof szPath))
        return pArray;
    auto pfnCreate = WoxModuleFunction<PFN_CreateArrayExt2>(LibMgr()->OpenLibrary(szPath), "CreateArrayExt2");
    if (!pfnCreate)
        return pArray;
    pArray = pfnCreate(Heap());
    if (pArray && !pArray->Initialize(LibMgr(), Registry(), ErrorReporter(), nElementSize))
        pArray.Clear();
    return pArray;
}

CTempFolder::CTempFolder()
{
    m_path = WoxMakeTempFolder("woxtest");
    if (m_path.empty())
        ADD_FAILURE() << "cannot make a temporary folder";
}

CTempFolder::~CTempFolder()
{
    std::error_code ignored;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ignored);
}
