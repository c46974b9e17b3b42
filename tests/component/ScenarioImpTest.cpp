#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ScenarioImp.h"
#include "TestHost.h"
#include "WoxText.h"

namespace
{
// Exposes the protected operations and counts destructions.
class CTestableScenarioImp : public CScenarioImp
{
public:
    using CScenarioImp::CScenarioImp;
    using CScenarioImp::CreateArrayExt;
    using CScenarioImp::CreateArrayLong;
    using CScenarioImp::CreateArrayTreatmentDataStand;
    using CScenarioImp::CreateArrayTreatmentDataTreatment;
    using CScenarioImp::CreateArrayTreatments;

    ~CTestableScenarioImp() override { ++s_nDestroyed; }
    static inline int s_nDestroyed = 0;
};

// Passes loads on to the host's library manager and records every path asked for.
class CRecordingLibMgr : public IWoxLibMgr
{
public:
    explicit CRecordingLibMgr(IWoxLibMgr* pReal) : m_pReal(pReal) {}
    HWOXMODULE OpenLibrary(const char* pszPath) override
    {
        paths.emplace_back(pszPath ? pszPath : "(null)");
        return m_pReal ? m_pReal->OpenLibrary(pszPath) : nullptr;
    }
    std::vector<std::string> paths;

private:
    IWoxLibMgr* m_pReal;
};

class ScenarioImpTest : public ::testing::Test
{
protected:
    void SetUp() override { CTestableScenarioImp::s_nDestroyed = 0; }

    // A component created with a registry whose Data Controller Library is pszLibrary
    // (none = the value is missing).
    CTestableScenarioImp* MakeComponent(const char* pszLibrary, int* pnCreate = nullptr)
    {
        if (pszLibrary)
            m_registry.SetString("Libraries", "Data Controller Library", pszLibrary);
        auto* pComponent = new CTestableScenarioImp(host.Heap());
        pComponent->AddReference();
        int nCreate = pComponent->Create(&libMgr, host.ThreadPool(), &m_registry, host.ErrorReporter(), host.SpeciesMap(), host.CompMgr());
        if (pnCreate)
            *pnCreate = nCreate;
        return pComponent;
    }

    std::string RealDataController()
    {
        char szPath[WOX_MAX_PATH] = {};
        EXPECT_TRUE(host.Registry()->ReadString("Libraries", "Data Controller Library", szPath, sizeof szPath));
        return szPath;
    }

    CTestHost host;
    CRecordingLibMgr libMgr{host.LibMgr()};
    CWoxRegistry m_registry;
};

TEST_F(ScenarioImpTest, ReferenceCountingAndIdentity)
{
    auto* pComponent = new CTestableScenarioImp(host.Heap());
    // The interface answer takes the first reference; other interfaces take none.
    EXPECT_EQ(pComponent->GetInterface(WOX_INTERFACE_TOOL), nullptr);
    EXPECT_EQ(pComponent->GetInterface(WOX_INTERFACE_COMPONENT), static_cast<void*>(pComponent));
    pComponent->AddReference();
    pComponent->Release();
    EXPECT_EQ(CTestableScenarioImp::s_nDestroyed, 0);
    pComponent->Release();
    EXPECT_EQ(CTestableScenarioImp::s_nDestroyed, 1);

    // A release at a count of 0 destroys as well.
    (new CTestableScenarioImp(host.Heap()))->Release();
    EXPECT_EQ(CTestableScenarioImp::s_nDestroyed, 2);
}

TEST_F(ScenarioImpTest, DescribesItselfAsTheStandardScenario)
{
    CTestableScenarioImp* pComponent = MakeComponent(nullptr);
    SComponentDisplay display;
    std::memset(&display, 0x7F, sizeof display);
    EXPECT_EQ(pComponent->GetDisplayInfo(&display), 1);
    EXPECT_STREQ(display.szName, "Standard Scenario");
    EXPECT_EQ(display.dVersion, 3.0);
    EXPECT_GT(WoxTextLength(display.szAuthor), 0u);
    EXPECT_LT(WoxTextLength(display.szAuthor), sizeof display.szAuthor);
    EXPECT_EQ(display.szName[255], 0) << "the name field is zero-filled";
    EXPECT_EQ(pComponent->GetType(), 11);
    pComponent->Release();
}

TEST_F(ScenarioImpTest, CreateWithoutRegistryValueFailsButKeepsTheServices)
{
    int nCreate = -1;
    CTestableScenarioImp* pComponent = MakeComponent(nullptr, &nCreate);
    EXPECT_EQ(nCreate, 0);
    // The library manager was kept: the creator asks it for the (empty) path and fails.
    IDynamicPtrTemplate<IArrayExt2> pArray;
    EXPECT_EQ(pComponent->CreateArrayLong(pArray), 0);
    ASSERT_EQ(libMgr.paths.size(), 1u);
    EXPECT_EQ(libMgr.paths[0], "");
    EXPECT_FALSE(pArray);
    pComponent->Release();
}

TEST_F(ScenarioImpTest, CreatorsLoadTheDataControllerOnceAndMakeArraysOfTheirSizes)
{
    int nCreate = 0;
    CTestableScenarioImp* pComponent = MakeComponent(RealDataController().c_str(), &nCreate);
    ASSERT_EQ(nCreate, 1);

    // The tree-list creator uses the module an earlier creator loaded; before that it fails.
    IDynamicPtrTemplate<IInventoryExt> pTrees;
    EXPECT_EQ(pComponent->CreateArrayExt(pTrees), 0);
    EXPECT_TRUE(libMgr.paths.empty());

    struct SCase
    {
        int (CTestableScenarioImp::*pfnCreate)(IDynamicPtrTemplate<IArrayExt2>&);
        size_t nSize;
    };
    const SCase cases[] = {{&CTestableScenarioImp::CreateArrayLong, 4},
                           {&CTestableScenarioImp::CreateArrayTreatments, 8888},
                           {&CTestableScenarioImp::CreateArrayTreatmentDataStand, 36},
                           {&CTestableScenarioImp::CreateArrayTreatmentDataTreatment, 536}};
    for (const SCase& test : cases)
    {
        IDynamicPtrTemplate<IArrayExt2> pArray;
        ASSERT_EQ((pComponent->*test.pfnCreate)(pArray), 1) << test.nSize;
        ASSERT_TRUE(pArray);
        // An element of exactly the size comes back whole; the next byte is not copied.
        std::vector<unsigned char> element(test.nSize + 1, 0xA5);
        element.back() = 0x5A;
        ASSERT_NE(pArray->Add(element.data()), 0);
        auto* pStored = static_cast<unsigned char*>(pArray->GetAt(0, 0));
        ASSERT_NE(pStored, nullptr);
        EXPECT_EQ(std::memcmp(pStored, element.data(), test.nSize), 0) << test.nSize;
        EXPECT_EQ(pArray->GetSize(), 1);
    }
    EXPECT_EQ(pComponent->CreateArrayExt(pTrees), 1);
    EXPECT_TRUE(pTrees);
    EXPECT_EQ(libMgr.paths.size(), 1u) << "the Data Controller Library is loaded once";
    pComponent->Release();
}

TEST_F(ScenarioImpTest, CreatorsFailCleanly)
{
    struct SCase
    {
        const char* pszName;
        std::string library;
    };
    const SCase cases[] = {{"missing library", "/nonexistent/libWoxDataController.so"},
                           {"library without the export", WOX_FAKE_NO_EXPORTS},
                           {"array refusing initialisation", WOX_FAKE_DATA_CONTROLLER}};
    for (const SCase& test : cases)
    {
        SCOPED_TRACE(test.pszName);
        libMgr.paths.clear();
        CTestableScenarioImp* pComponent = MakeComponent(test.library.c_str());
        IDynamicPtrTemplate<IArrayExt2> pArray;
        EXPECT_EQ(pComponent->CreateArrayTreatments(pArray), 0);
        EXPECT_EQ(pComponent->CreateArrayLong(pArray), 0);
        IDynamicPtrTemplate<IInventoryExt> pTrees;
        EXPECT_EQ(pComponent->CreateArrayExt(pTrees), 0);
        EXPECT_FALSE(pTrees);
        pComponent->Release();
    }
}
}
