#include <gtest/gtest.h>

#include <fstream>

#include "Registry.h"
#include "TestHost.h"

namespace
{
TEST(RegistryTest, ReadsValuesAndAnswersZeroForMissingOrOversizedOnes)
{
    CTempFolder folder;
    std::ofstream(folder.File("wox.ini")) << "; comment\n[Libraries]\nIO Library = /opt/wox/libWoxIO.so \n\n[General]\n"
                                             "Component Directory=/a;;/b ;\n";
    CWoxRegistry registry;
    std::string error;
    ASSERT_TRUE(registry.Load(folder.File("wox.ini").c_str(), &error)) << error;

    char szBuffer[260];
    EXPECT_EQ(registry.ReadString("Libraries", "IO Library", szBuffer, sizeof szBuffer), 1);
    EXPECT_STREQ(szBuffer, "/opt/wox/libWoxIO.so");
    EXPECT_EQ(registry.ReadString("Libraries", "Thread Library", szBuffer, sizeof szBuffer), 0);
    EXPECT_EQ(registry.ReadString("Nowhere", "IO Library", szBuffer, sizeof szBuffer), 0);
    // A path cut to the buffer could name another file: such a value counts as missing.
    char szSmall[8];
    EXPECT_EQ(registry.ReadString("Libraries", "IO Library", szSmall, sizeof szSmall), 0);
    EXPECT_EQ(registry.GetList("General", "Component Directory"), (std::vector<std::string>{"/a", "/b"}));
}

TEST(RegistryTest, RefusesMissingAndMalformedFiles)
{
    CTempFolder folder;
    CWoxRegistry registry;
    std::string error;
    EXPECT_FALSE(registry.Load(folder.File("absent.ini").c_str(), &error));
    EXPECT_NE(error.find("absent.ini"), std::string::npos);

    std::ofstream(folder.File("bad.ini")) << "[General]\nno equals sign here\n";
    EXPECT_FALSE(registry.Load(folder.File("bad.ini").c_str(), &error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;
}
}
