#include <gtest/gtest.h>

#include "ComponentInterface.h"
#include "Module.h"
#include "ScenarioImp.h"
#include "TestHost.h"

namespace
{
// The component library as the host sees it: loaded by path through the library manager.
TEST(ComponentExportsTest, HostLoadsCreatesAndReleasesTheComponent)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    HWOXMODULE hModule = host.LibMgr()->OpenLibrary(WOX_SCENARIO_MODULE);
    ASSERT_NE(hModule, nullptr);
    EXPECT_EQ(host.LibMgr()->OpenLibrary(WOX_SCENARIO_MODULE), hModule) << "a library is loaded once";

    auto pfnCount = WoxModuleFunction<PFN_GetComponentCount>(hModule, "GetComponentCount");
    auto pfnCreate = WoxModuleFunction<PFN_CreateComponent>(hModule, "CreateComponent");
    ASSERT_NE(pfnCount, nullptr);
    ASSERT_NE(pfnCreate, nullptr);
    EXPECT_EQ(pfnCount(), 1);

    IComponent* pCreated = pfnCreate(host.Heap());
    ASSERT_NE(pCreated, nullptr);
    IDynamicPtrTemplate<IComponent> pComponent;
    pComponent.Attach(static_cast<IComponent*>(pCreated->GetInterface(WOX_INTERFACE_COMPONENT)));
    ASSERT_EQ(pComponent.Get(), pCreated);
    EXPECT_EQ(pComponent->Create(host.LibMgr(), host.ThreadPool(), host.Registry(), host.ErrorReporter(), host.SpeciesMap(), host.CompMgr()), 1);
    EXPECT_EQ(pComponent->GetGUID(), CScenarioImp::s_guid);
    EXPECT_EQ(pComponent->GetType(), WOX_DESIGNATOR_SCENARIO);
    EXPECT_EQ(pfnCount(), 1) << "the count does not depend on the library's state";
}

// The component manager creates the scenario component of the component folder once and
// answers it by GUID.
TEST(ComponentExportsTest, ComponentManagerHoldsTheComponentByGuid)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    ASSERT_TRUE(host.CompMgr()->LoadLibrary(WOX_SCENARIO_MODULE));
    EXPECT_FALSE(host.CompMgr()->LoadLibrary(WOX_SCENARIO_MODULE)) << "a second component under the same GUID is refused";
    IDynamic* pFound = host.CompMgr()->GetComponent(CScenarioImp::s_guid);
    ASSERT_NE(pFound, nullptr);
    EXPECT_EQ(static_cast<IComponent*>(pFound)->GetType(), WOX_DESIGNATOR_SCENARIO);
    EXPECT_EQ(host.CompMgr()->GetComponent(GUID{1, 2, 3, {4}}), nullptr);
}
}
