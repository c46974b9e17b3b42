// Project import: refusals name file, line and reason and leave nothing behind; a good import
// reads back unchanged.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ProjectCommand.h"
#include "ProjectDatabase.h"
#include "TestHost.h"

namespace
{
const char* kStandsHeader = "stand_id,area_ha,site_index\n";
const char* kTreesHeader = "stand_id,tree_id,species,dbh_cm,height_m,tpha\n";

struct SImportCase
{
    const char* pszName;
    const char* pszStands;   // rows after the header
    const char* pszTrees;
    const char* pszFile;     // "stands.csv" or "trees.csv"
    int nLine;
    const char* pszReason;
};

void PrintTo(const SImportCase& c, std::ostream* pStream) { *pStream << c.pszName; }

class CProjectImportTest : public ::testing::TestWithParam<SImportCase>
{
protected:
    // Runs the import command; answers its exit code and fills m_errors.
    int Import(const std::string& stands, const std::string& trees)
    {
        std::ofstream(m_folder.File("stands.csv")) << kStandsHeader << stands;
        std::ofstream(m_folder.File("trees.csv")) << kTreesHeader << trees;
        std::string standsPath = m_folder.File("stands.csv"), treesPath = m_folder.File("trees.csv"), project = m_folder.File("project");
        char szProject[] = "project", szImport[] = "import";
        char* argv[] = {szProject, szImport, standsPath.data(), treesPath.data(), project.data(), nullptr};
        std::FILE* pErr = std::tmpfile();
        int nResult = RunProjectCommand(m_host, 5, argv, pErr);
        std::rewind(pErr);
        char szLine[512];
        m_errors.clear();
        while (std::fgets(szLine, sizeof szLine, pErr))
            m_errors += szLine;
        std::fclose(pErr);
        return nResult;
    }

    CTestHost m_host;
    CTempFolder m_folder;
    std::string m_errors;
};

TEST_P(CProjectImportTest, RefusesTheRowAndWritesNothing)
{
    const SImportCase& c = GetParam();
    EXPECT_EQ(1, Import(c.pszStands, c.pszTrees));
    std::string where = m_folder.File(c.pszFile) + ":" + std::to_string(c.nLine) + ": ";
    EXPECT_NE(std::string::npos, m_errors.find(where + c.pszReason)) << m_errors;
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("project/project.db")));
}

const SImportCase kCases[] = {
    {"UnknownSpecies", "A,1.0,30\n", "A,1,PSME,20,18,100\nA,2,XXXX,20,18,100\n", "trees.csv", 3, "unknown species 'XXXX'"},
    {"LongStandId", "A234567890123456789012345678901,1.0,30\n", "", "stands.csv", 2, "stand identifier A2345678901234567890123456789"},
    {"NegativeDiameter", "A,1.0,30\n", "A,1,PSME,-2,18,100\n", "trees.csv", 2, "dbh_cm must be a number of 0 or more"},
    {"MissingColumn", "A,1.0,30\n", "A,1,PSME,20,18\n", "trees.csv", 2, "expected 6 columns, found 5"},
    {"NotANumber", "A,1.0,30\n", "A,1,PSME,20,tall,100\n", "trees.csv", 2, "height_m must be a number"},
    {"TreeOfUnknownStand", "A,1.0,30\n", "B,1,PSME,20,18,100\n", "trees.csv", 2, "unknown stand 'B'"},
    {"DuplicateStand", "A,1.0,30\nA,2.0,30\n", "", "stands.csv", 3, "stand A is listed twice"},
    {"ZeroArea", "A,0,30\n", "", "stands.csv", 2, "area_ha must be a positive number"},
};
INSTANTIATE_TEST_SUITE_P(Refusals, CProjectImportTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SImportCase>& info) { return std::string(info.param.pszName); });

TEST_F(CProjectImportTest, GoodFilesReadBackUnchanged)
{
    ASSERT_EQ(0, Import("N-1,12.5,31\nN-2,3,25\n", "N-1,1,PSME,24.5,21.3,150\nN-1,2,TSHE,10,9.5,300\nN-2,1,ALRU2,15,14,200\n"))
        << m_errors;
    SProject project;
    std::string error;
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error)) << error;
    EXPECT_EQ(2025, project.nFirstYear);
    EXPECT_EQ(5, project.nPeriodLength);
    ASSERT_EQ(2u, project.stands.size());
    EXPECT_EQ("N-1", project.stands[0].id);
    EXPECT_DOUBLE_EQ(12.5, project.stands[0].dArea);
    EXPECT_DOUBLE_EQ(31.0, project.stands[0].dSiteIndex);
    ASSERT_EQ(2u, project.stands[0].trees.size());
    const SInventory& tree = project.stands[0].trees[1];
    EXPECT_STREQ("TSHE", tree.szSpecies);
    EXPECT_STREQ("2", tree.szTree);
    EXPECT_DOUBLE_EQ(10.0, tree.dDbh);
    EXPECT_DOUBLE_EQ(9.5, tree.dHeight);
    EXPECT_DOUBLE_EQ(300.0, tree.dTpha);
    EXPECT_TRUE(std::filesystem::is_directory(m_folder.File("project/scenarios")));
    // A second import into the same folder is refused and leaves the first project alone.
    EXPECT_EQ(1, Import("Z,1,30\n", ""));
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error));
    EXPECT_EQ(2u, project.stands.size());
}
}
