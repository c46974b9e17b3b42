#include <gtest/gtest.h>

#include "Files.h"
#include "TestHost.h"

namespace
{
bool AnyReportContains(CWoxErrorReporter* pReporter, const std::string& text)
{
    for (const auto& report : pReporter->Reports())
        if (report.find(text) != std::string::npos)
            return true;
    return false;
}

TEST(LibMgrTest, LoadsAllowedLibrariesOnceAndRefusesOthers)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    HWOXMODULE hModule = host.LibMgr()->OpenLibrary(WOX_FAKE_NO_EXPORTS);
    ASSERT_NE(hModule, nullptr);
    EXPECT_EQ(host.LibMgr()->OpenLibrary(WOX_FAKE_NO_EXPORTS), hModule);

    // The same library copied outside the registry's folders is refused.
    CTempFolder outside;
    std::string copy = outside.File("libWoxFakeNoExports.so");
    ASSERT_TRUE(WoxCopyFile(WOX_FAKE_NO_EXPORTS, copy.c_str()));
    EXPECT_EQ(host.LibMgr()->OpenLibrary(copy.c_str()), nullptr);
    EXPECT_TRUE(AnyReportContains(host.ErrorReporter(), "refused to load " + copy));

    EXPECT_EQ(host.LibMgr()->OpenLibrary("/nonexistent/libX.so"), nullptr);
    EXPECT_TRUE(AnyReportContains(host.ErrorReporter(), "/nonexistent/libX.so: no such file"));
    EXPECT_EQ(host.LibMgr()->OpenLibrary(""), nullptr);
}

// A library named by an absolute path that no longer exists is found by its file name in the
// function directory; a file that does exist outside the allowed folders is still refused.
TEST(LibMgrTest, MovedFunctionLibraryIsFoundInTheFunctionDirectory)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    const std::string folder = host.Registry()->Get("General", "Function Directory");
    const std::vector<std::string> names = WoxFindFiles(folder.c_str(), "*.so");
    ASSERT_FALSE(names.empty()) << folder;
    HWOXMODULE hModule = host.LibMgr()->OpenLibrary((folder + "/" + names[0]).c_str());
    ASSERT_NE(hModule, nullptr);
    EXPECT_EQ(host.LibMgr()->OpenLibrary(("/moved/away/" + names[0]).c_str()), hModule);
    EXPECT_EQ(host.LibMgr()->OpenLibrary("/moved/away/libNotThere.so"), nullptr);

    CTempFolder outside;
    const std::string copy = outside.File(names[0]);
    ASSERT_TRUE(WoxCopyFile((folder + "/" + names[0]).c_str(), copy.c_str()));
    EXPECT_EQ(host.LibMgr()->OpenLibrary(copy.c_str()), nullptr);
    EXPECT_TRUE(AnyReportContains(host.ErrorReporter(), "refused to load " + copy));
}

TEST(CompMgrTest, SkipsLibrariesThatAreNotComponents)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    EXPECT_FALSE(host.CompMgr()->LoadLibrary(WOX_FAKE_NO_EXPORTS));
    EXPECT_TRUE(AnyReportContains(host.ErrorReporter(), "not a component library"));
    EXPECT_EQ(host.CompMgr()->GetComponentCount(), 0);
    // The fakes folder holds no component: loading it adds none and crashes nothing.
    EXPECT_EQ(host.CompMgr()->LoadFolders({WOX_FAKES_DIR}), 0);
}
}
