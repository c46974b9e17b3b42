// The host library modules, loaded the way the host loads them: every factory is exported and
// makes an object. What the objects do is tested in the libraries' own tests, and the component's
// tests use these modules through the registry.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "Containers.h"
#include "HostDialogs.h"
#include "Module.h"
#include "ThreadObjects.h"

namespace
{
template <class PFN>
IDynamic* Make(HWOXMODULE hModule, const char* pszExport)
{
    auto pfn = WoxModuleFunction<PFN>(hModule, pszExport);
    if constexpr (std::is_invocable_v<PFN>)
        return pfn ? pfn() : nullptr;
    else
        return pfn ? pfn(nullptr) : nullptr;
}

IDynamic* MakeProgressDlg(HWOXMODULE hModule, const char* pszExport)
{
    auto pfn = WoxModuleFunction<PFN_CreateProgressDlg>(hModule, pszExport);
    return pfn ? pfn(0) : nullptr;
}

struct SExportCase
{
    const char* pszModule;
    const char* pszExport;
    IDynamic* (*pfnMake)(HWOXMODULE, const char*);
};

class HostModuleTest : public ::testing::TestWithParam<SExportCase>
{
};

TEST_P(HostModuleTest, ExportsAWorkingFactory)
{
    std::string error;
    HWOXMODULE hModule = WoxModuleLoad(GetParam().pszModule, &error);
    ASSERT_NE(hModule, nullptr) << error;
    IDynamicPtrTemplate<IDynamic> pObject(GetParam().pfnMake(hModule, GetParam().pszExport));
    EXPECT_TRUE(pObject) << GetParam().pszExport;
}

INSTANTIATE_TEST_SUITE_P(
    Exports, HostModuleTest,
    ::testing::Values(SExportCase{WOX_DATACONTROLLER_MODULE, "CreateArrayExt2", Make<PFN_CreateArrayExt2>},
                      SExportCase{WOX_DATACONTROLLER_MODULE, "CreateInventoryExt", Make<PFN_CreateInventoryExt>},
                      SExportCase{WOX_DATACONTROLLER_MODULE, "CreateQueue2", Make<PFN_CreateQueue2>},
                      SExportCase{WOX_DATACONTROLLER_MODULE, "CreateStatusExt", Make<PFN_CreateStatusExt>},
                      SExportCase{WOX_DATACONTROLLER_MODULE, "CreateSpeciesMapExt", Make<PFN_CreateSpeciesMapExt>},
                      SExportCase{WOX_IO_MODULE, "CreateWoxBinary", Make<PFN_CreateWoxBinary>},
                      SExportCase{WOX_THREAD_MODULE, "CreateTdEvent", Make<PFN_CreateTdEvent>},
                      SExportCase{WOX_THREAD_MODULE, "CreateTdMutex", Make<PFN_CreateTdMutex>},
                      SExportCase{WOX_COMMONCONTROL_MODULE, "CreateProgressDlg", MakeProgressDlg}),
    [](const auto& info) { return std::string(info.param.pszExport); });
}
