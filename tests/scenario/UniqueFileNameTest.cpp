// File names of new scenario files: the mapping of names and the counter.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "TestHost.h"
#include "UniqueFileName.h"

struct SStemCase
{
    std::string name;
    std::string stem;
};

class ScenarioFileStemTest : public testing::TestWithParam<SStemCase>
{
};

TEST_P(ScenarioFileStemTest, MapsNamesToSafeFileNames)
{
    EXPECT_EQ(ScenarioFileStem(GetParam().name.c_str(), 50), GetParam().stem);
}

INSTANTIATE_TEST_SUITE_P(Names, ScenarioFileStemTest,
                         testing::Values(SStemCase{"Thinning 2030", "Thinning 2030"}, SStemCase{"", "Scenario"}, SStemCase{".", "_"},
                                         SStemCase{"..", "_."}, SStemCase{"../../etc/passwd", "_._.._etc_passwd"},
                                         SStemCase{"a\\b/c", "a_b_c"}, SStemCase{"w:x*y?\"<>|", "w_x_y_____"},
                                         SStemCase{"tab\there", "tab_here"}, SStemCase{".hidden", "_hidden"},
                                         SStemCase{"B\xe4ume", "B\xc3\xa4ume"}));

TEST(ScenarioFileStem, StopsAtTheFieldWidth)
{
    char field[50];
    std::memset(field, 'N', sizeof field);  // no terminator
    EXPECT_EQ(ScenarioFileStem(field, sizeof field), std::string(50, 'N'));
}

TEST(UniqueScenarioPath, CountsFromTwoUntilANameIsFree)
{
    std::set<std::string> taken = {"/p/A.scenario", "/p/A (2).scenario"};
    auto exists = [&](const std::string& path) { return taken.count(path) > 0; };
    EXPECT_EQ(UniqueScenarioPath("/p", "B", "scenario", exists), "/p/B.scenario");
    EXPECT_EQ(UniqueScenarioPath("/p/", "A", "scenario", exists), "/p/A (3).scenario");
    EXPECT_EQ(UniqueScenarioPath("\\p", "A", "scenario", exists), "/p/A (3).scenario");
    EXPECT_EQ(UniqueScenarioPath(std::string(250, 'f').c_str(), "A", "scenario", exists), "");
}

TEST(UniqueScenarioPath, EveryByteStaysInsideTheFolderOnDisk)
{
    CTempFolder folder;
    for (int c = 1; c < 256; ++c)
    {
        char name[3] = {static_cast<char>(c), static_cast<char>(c), 0};
        std::string path = UniqueScenarioPath(folder.Path().c_str(), name);
        ASSERT_FALSE(path.empty()) << c;
        std::filesystem::path p(path);
        EXPECT_EQ(p.parent_path().string(), folder.Path()) << c;
        EXPECT_EQ(p.extension().string(), ".scenario") << c;
        EXPECT_NE(p.filename().string()[0], '.') << c;
    }
}
