// The three host library modules, loaded the way the host loads them: every export is there and
// makes a working object.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Containers.h"
#include "Files.h"
#include "Module.h"
#include "ThreadObjects.h"

namespace
{
HWOXMODULE Load(const char* pszPath)
{
    std::string error;
    HWOXMODULE hModule = WoxModuleLoad(pszPath, &error);
    EXPECT_NE(hModule, nullptr) << pszPath << ": " << error;
    return hModule;
}
}

TEST(HostModules, DataControllerExportsWorkingContainers)
{
    HWOXMODULE hModule = Load(WOX_DATACONTROLLER_MODULE);
    ASSERT_NE(hModule, nullptr);
    auto pfnArray = WoxModuleFunction<PFN_CreateArrayExt2>(hModule, "CreateArrayExt2");
    auto pfnInventory = WoxModuleFunction<PFN_CreateInventoryExt>(hModule, "CreateInventoryExt");
    auto pfnQueue = WoxModuleFunction<PFN_CreateQueue2>(hModule, "CreateQueue2");
    auto pfnStatus = WoxModuleFunction<PFN_CreateStatusExt>(hModule, "CreateStatusExt");
    auto pfnSpecies = WoxModuleFunction<PFN_CreateSpeciesMapExt>(hModule, "CreateSpeciesMapExt");
    ASSERT_TRUE(pfnArray && pfnInventory && pfnQueue && pfnStatus && pfnSpecies);

    IDynamicPtrTemplate<IArrayExt2> pArray(pfnArray(nullptr));
    ASSERT_TRUE(pArray->Initialize(nullptr, nullptr, nullptr, 4));
    int nYear = 2030;
    ASSERT_TRUE(pArray->Add(&nYear));
    EXPECT_EQ(*static_cast<int*>(pArray->GetAt(0, 0)), 2030);

    IDynamicPtrTemplate<IInventoryExt> pTrees(pfnInventory(nullptr));
    ASSERT_TRUE(pTrees->Initialize(nullptr, nullptr, nullptr));
    SInventory tree{};
    tree.dDbh = 31.5;
    ASSERT_TRUE(pTrees->Add(&tree));
    EXPECT_DOUBLE_EQ(pTrees->GetAt(0)->dDbh, 31.5);

    IDynamicPtrTemplate<IQueueExt2> pQueue(pfnQueue(nullptr));
    ASSERT_TRUE(pQueue->Initialize(nullptr, nullptr, nullptr, 4));
    ASSERT_TRUE(pQueue->Push(&nYear));
    EXPECT_EQ(*static_cast<int*>(pQueue->WaitHead(-1)), 2030);

    IDynamicPtrTemplate<IStatusExt> pStands(pfnStatus(nullptr));
    ASSERT_TRUE(pStands->Initialize(nullptr, nullptr, nullptr));
    ASSERT_TRUE(pStands->Add("S-17"));
    EXPECT_STREQ(pStands->GetAt(0), "S-17");

    IDynamicPtrTemplate<ISpeciesListExt> pSpecies(pfnSpecies(nullptr));
    ASSERT_TRUE(pSpecies->Initialize(nullptr, nullptr, nullptr));
    EXPECT_EQ(pSpecies->GetSize(), 0);
}

TEST(HostModules, IoLibraryExportsAWorkingFile)
{
    HWOXMODULE hModule = Load(WOX_IO_MODULE);
    ASSERT_NE(hModule, nullptr);
    auto pfnBinary = WoxModuleFunction<PFN_CreateWoxBinary>(hModule, "CreateWoxBinary");
    ASSERT_NE(pfnBinary, nullptr);
    IDynamicPtrTemplate<IWoxBinary> pFile(pfnBinary());
    ASSERT_TRUE(pFile->Initialize(nullptr));
    std::string path = WoxTempFolder() + "/wox-module-test.bin";
    ASSERT_TRUE(pFile->Open(path.c_str(), 2, 1));
    EXPECT_TRUE(pFile->Write("abc", nullptr, 3));
    EXPECT_EQ(pFile->GetLength(), 3);
    pFile->Close();
    std::remove(path.c_str());
}

TEST(HostModules, ThreadLibraryExportsEventAndMutex)
{
    HWOXMODULE hModule = Load(WOX_THREAD_MODULE);
    ASSERT_NE(hModule, nullptr);
    auto pfnEvent = WoxModuleFunction<PFN_CreateTdEvent>(hModule, "CreateTdEvent");
    auto pfnMutex = WoxModuleFunction<PFN_CreateTdMutex>(hModule, "CreateTdMutex");
    ASSERT_TRUE(pfnEvent && pfnMutex);
    IDynamicPtrTemplate<ITdEvent> pStop(pfnEvent(nullptr));
    IDynamicPtrTemplate<ITdMutex> pMutex(pfnMutex(nullptr));
    ASSERT_TRUE(pStop->Create(1, 0, nullptr, nullptr));
    ASSERT_TRUE(pMutex->Create(0, nullptr, nullptr));
    EXPECT_EQ(pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), -1, 0), 0);
    EXPECT_TRUE(pMutex->ReleaseMutex());
    pStop->SetEvent();
    EXPECT_EQ(pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), -1, 0), 1);
}
