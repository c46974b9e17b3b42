// Project import: refusals name file, line and reason and leave nothing behind; a good import
// reads back unchanged.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

#include "ProjectCommand.h"
#include "ProjectDatabase.h"
#include "TestHost.h"

namespace
{
const std::string kStandsHeader = "stand_id,area_ha,site_index\n";
const std::string kTreesHeader = "stand_id,tree_id,species,dbh_cm,height_m,tpha\n";

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
    int Import(const std::string& stands, const std::string& trees) { return ImportFiles(kStandsHeader + stands, kTreesHeader + trees); }

    // The same with whole files (header included) and more arguments.
    int ImportFiles(const std::string& stands, const std::string& trees, std::vector<std::string> more = {})
    {
        std::ofstream(m_folder.File("stands.csv"), std::ios::binary) << stands;
        std::ofstream(m_folder.File("trees.csv"), std::ios::binary) << trees;
        std::vector<std::string> args = {"project", "import", m_folder.File("stands.csv"), m_folder.File("trees.csv"), m_folder.File("project")};
        args.insert(args.end(), more.begin(), more.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::FILE* pErr = std::tmpfile();
        int nResult = RunProjectCommand(m_host, static_cast<int>(args.size()), argv.data(), pErr);
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
    {"NoSize", "A,1.0,30\n", "A,1,PSME,0,,100\n", "trees.csv", 2, "a tree needs a diameter or a height"},
    {"LongStandId", "A234567890123456789012345678901,1.0,30\n", "", "stands.csv", 2, "stand identifier A2345678901234567890123456789"},
    {"NegativeDiameter", "A,1.0,30\n", "A,1,PSME,-2,18,100\n", "trees.csv", 2, "dbh_cm must be a number from 0 to 500 cm, not '-2'"},
    {"HugeDiameter", "A,1.0,30\n", "A,1,PSME,1e200,18,100\n", "trees.csv", 2, "dbh_cm must be a number from 0 to 500 cm"},
    {"InfiniteHeight", "A,1.0,30\n", "A,1,PSME,20,inf,100\n", "trees.csv", 2, "height_m must be a number from 0 to 150 m"},
    {"TallTree", "A,1.0,30\n", "A,1,PSME,20,151,100\n", "trees.csv", 2, "height_m must be a number from 0 to 150 m"},
    {"TooManyStems", "A,1.0,30\n", "A,1,PSME,20,18,2e6\n", "trees.csv", 2, "tpha must be a positive number up to 1e+06"},
    {"NegativeArea", "A,-3,30\n", "", "stands.csv", 2, "area_ha must be a positive number"},
    {"SiteIndexBeyondTheModel", "A,1.0,51\n", "", "stands.csv", 2, "site_index 51 m is outside the growth model's range of 10 to 50 m"},
    {"MissingColumn", "A,1.0,30\n", "A,1,PSME,20,18\n", "trees.csv", 2, "expected 6 columns, found 5"},
    {"NotANumber", "A,1.0,30\n", "A,1,PSME,20,tall,100\n", "trees.csv", 2, "height_m must be a number"},
    {"TreeOfUnknownStand", "A,1.0,30\n", "B,1,PSME,20,18,100\n", "trees.csv", 2, "unknown stand 'B'"},
    {"DuplicateStand", "A,1.0,30\nA,2.0,30\n", "", "stands.csv", 3, "stand A is listed twice"},
    // Found again after the stand's list has grown and another stand's rows came between.
    {"DuplicateTree", "A,1.0,30\nB,1.0,30\n",
     "A,1,PSME,20,18,100\nA,2,PSME,20,18,100\nA,3,PSME,20,18,100\nA,4,PSME,20,18,100\nA,5,PSME,20,18,100\nA,6,PSME,20,18,100\n"
     "A,7,PSME,20,18,100\nA,8,PSME,20,18,100\nA,9,PSME,20,18,100\nB,1,PSME,20,18,100\nA,1,PSME,20,18,100\n",
     "trees.csv", 12, "tree 1 of stand A is listed twice"},
    {"ZeroArea", "A,0,30\n", "", "stands.csv", 2, "area_ha must be a positive number"},
};
INSTANTIATE_TEST_SUITE_P(Refusals, CProjectImportTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SImportCase>& info) { return std::string(info.param.pszName); });

TEST_F(CProjectImportTest, GoodFilesReadBackUnchanged)
{
    // Species codes in any case are kept in the catalogue's spelling (so they grow as that species).
    ASSERT_EQ(0, Import("N-1,12.5,31\nN-2,3,25\n", "N-1,1,PSME,24.5,21.3,150\nN-1,2,tshe,10,9.5,300\nN-2,1,ALRU2,15,14,200\n"))
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

// A spreadsheet's export (byte-order mark, CRLF, quoted fields, headers in another order and
// case, a column of its own) with the three inventory designs: per-hectare figures as a forester
// computes them by hand, missing heights filled, unknown species grown as their class.
TEST_F(CProjectImportTest, SpreadsheetExportWithPlotDesigns)
{
    const std::string stands = "\xEF\xBB\xBF\"Site_Index\",\"STAND_ID\",\"area_ha\",\"owner\",plot_area_m2,subplot_area_m2,breakpoint_dbh_cm,baf_m2ha,plots\r\n"
                               "30,\"F\",2,\"Smith, J.\",400,50,12.5,,4\r\n"
                               "30,\"V\",1,,,,,4,2\r\n"
                               "30,\"D\",1,,,,,,\r\n";
    const std::string trees = "tree_id,stand_id,species,dbh_cm,height_m,tpha\r\n"
                              "\"1,a\",F,psme,30,25,\r\n"    // large tree on the 400 m2 plots: 10000 / (400 * 4)
                              "2,F,PSME,10,,\r\n"              // below the breakpoint: 10000 / (50 * 4), height filled
                              "1,V,PSME,40,28,\r\n"            // 4 m2/ha / (pi/4 * 0.4^2 m2) / 2 plots
                              "1,D,XQZ,20,18,150\r\n"           // unknown code grows as other conifer
                              "2,D,999,20,18,150\r\n";          // numeric inventory code from 300: other broadleaf
    ASSERT_EQ(0, ImportFiles(stands, trees)) << m_errors;
    EXPECT_NE(std::string::npos, m_errors.find("ignored the column owner")) << m_errors;
    EXPECT_NE(std::string::npos, m_errors.find("999 -> 2TB (1), XQZ -> 2TN (1)")) << m_errors;
    EXPECT_NE(std::string::npos, m_errors.find("filled 1 missing heights")) << m_errors;
    SProject project;
    std::string error;
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error)) << error;
    ASSERT_EQ(3u, project.stands.size());
    const auto& fixed = project.stands[0].trees;
    ASSERT_EQ(2u, fixed.size());
    EXPECT_STREQ("1,a", fixed[0].szTree);
    EXPECT_DOUBLE_EQ(6.25, fixed[0].dTpha);
    EXPECT_DOUBLE_EQ(50.0, fixed[1].dTpha);
    EXPECT_GT(fixed[1].dHeight, 5.0);
    EXPECT_LT(fixed[1].dHeight, 25.0);
    EXPECT_NEAR(4.0 / (3.14159265358979 / 4 * 0.16) / 2, project.stands[1].trees[0].dTpha, 1e-9);
    EXPECT_STREQ("2TN", project.stands[2].trees[0].szSpecies);
    EXPECT_STREQ("2TB", project.stands[2].trees[1].szSpecies);
}

// A species map sends unknown codes to catalogue species; a species.csv in the project folder adds
// species that the map and the trees may then name; a map naming a species nowhere is refused.
TEST_F(CProjectImportTest, SpeciesMapAndProjectCatalogue)
{
    std::filesystem::create_directories(m_folder.File("project"));
    std::ofstream(m_folder.File("project/species.csv")) << "code,scientific name,common name\nQUXX,Quercus exempli,sample oak\n";
    std::ofstream(m_folder.File("map.csv")) << "code,species\nxqz,TSHE\n773,quxx\n";
    ASSERT_EQ(0, ImportFiles(kStandsHeader + "S,1,30\n", kTreesHeader + "S,1,XQZ,20,18,100\nS,2,773,20,18,100\nS,3,quxx,20,18,100\nS,4,ABC,20,18,100\n",
                             {"--species-map", m_folder.File("map.csv")}))
        << m_errors;
    SProject project;
    std::string error;
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error)) << error;
    ASSERT_EQ(4u, project.stands[0].trees.size());
    EXPECT_STREQ("TSHE", project.stands[0].trees[0].szSpecies);
    EXPECT_STREQ("QUXX", project.stands[0].trees[1].szSpecies);
    EXPECT_STREQ("QUXX", project.stands[0].trees[2].szSpecies);
    EXPECT_STREQ("2TN", project.stands[0].trees[3].szSpecies) << "codes the map lacks still take the rule";

    std::filesystem::remove_all(m_folder.File("project"));
    std::ofstream(m_folder.File("map.csv")) << "code,species\nxqz,TSHE\n773,QUYY\n";
    EXPECT_NE(0, ImportFiles(kStandsHeader + "S,1,30\n", kTreesHeader + "S,1,XQZ,20,18,100\n", {"--species-map", m_folder.File("map.csv")}));
    EXPECT_NE(std::string::npos, m_errors.find("map.csv:3")) << m_errors;
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("project/project.db")));
}

// With --skip-bad-rows the good rows are imported and the refused ones land beside the input,
// with their line and reason and their fields as written (here one of several kilobytes, in
// quotes with a quote, a comma and a line break, that moves the lines of the rows after it);
// the summary counts refusals per cause.
TEST_F(CProjectImportTest, SkipBadRowsWritesRejects)
{
    const std::string longId = std::string(5000, 'x') + "\"\"q\"\",\r\nz";   // as written between the quotes
    ASSERT_EQ(0, ImportFiles(kStandsHeader + "A,1,30\n", kTreesHeader + "A,1,PSME,20,18,100\nB,1,PSME,20,18,100\nB,2,PSME,20,18,100\nA,\"" + longId +
                                                              "\",PSME,20,18,100\nA,2,PSME,x,18,100\nA,3,PSME,20,18,100\n",
                             {"--skip-bad-rows"}))
        << m_errors;
    EXPECT_NE(std::string::npos, m_errors.find("4 rows refused: bad dbh_cm 1; bad tree_id 1; unknown stand 2 (B 2)")) << m_errors;
    std::ifstream rejects(m_folder.File("trees.rejects.csv"), std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(rejects)), std::istreambuf_iterator<char>());
    EXPECT_EQ(0u, written.find("line,reason,stand_id,tree_id,species,dbh_cm,height_m,tpha\n3,unknown stand 'B',B,1,PSME,20,18,100\n"));
    EXPECT_NE(std::string::npos, written.find("\n5,tree identifier must have 1 to 23 characters,A,\"" + longId + "\",PSME,20,18,100\n7,\"dbh_cm"))
        << written;
    SProject project;
    std::string error;
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error)) << error;
    EXPECT_EQ(2u, project.stands[0].trees.size());
}

// Refusals name the line a row starts on, in a file read in pieces of a MiB: blank lines, a line
// of spaces, CRLF and line breaks inside quotes (in a column nobody asked for, and in one
// field that straddles the end of a piece) all count.
TEST_F(CProjectImportTest, LinesCountedAcrossBreaksAndPieces)
{
    std::string trees = "stand_id,tree_id,species,dbh_cm,height_m,tpha,note\r\nA,1,PSME,20,18,100,\"two\nlines\"\r\n\r\n   \n";
    constexpr size_t kPiece = size_t{1} << 20;
    for (int t = 2; trees.size() < 3 * kPiece; ++t)
    {
        const std::string row = "A," + std::to_string(t) + ",PSME,20,18,100,";
        if (trees.size() < kPiece - 100 || trees.size() > kPiece)
            trees.append(row).append("x\n");
        else   // a row of padding, then one whose quoted note begins 5 bytes before the piece ends
        {
            const std::string padding = "A,p" + std::to_string(t) + ",PSME,20,18,100,";
            const size_t nPadding = kPiece - 5 - trees.size() - padding.size() - 1 - row.size();
            trees.append(padding).append(nPadding, 'x').append("\n").append(row).append("\"a\n\n\n\n\n\n\n\n\nb\"\n");
        }
    }
    const size_t nBadLine = 1 + static_cast<size_t>(std::count(trees.begin(), trees.end(), '\n'));
    trees += "A,0,PSME,x,18,100,\"\n\"\nA,-1,PSME,20,18,100,\"\"\n";
    EXPECT_EQ(1, ImportFiles(kStandsHeader + "A,1,30\n", trees));
    EXPECT_NE(std::string::npos, m_errors.find("trees.csv:" + std::to_string(nBadLine) + ": dbh_cm must be")) << m_errors;
    EXPECT_NE(std::string::npos, m_errors.find("1 row refused")) << m_errors;

    // A quote that is never closed fails the file at the line its record starts on.
    EXPECT_EQ(1, ImportFiles(kStandsHeader + "A,1,30\n", kTreesHeader + "A,1,PSME,20,18,100\n\nA,\"2,PSME,20,18,100\n" + std::string(70000, '\n')));
    EXPECT_NE(std::string::npos, m_errors.find("trees.csv: line 4: a record longer than 65536 bytes")) << m_errors;
}

// A file large enough for the import to reserve memory for its tree lists up front reads back
// whole, every stand with its own trees.
TEST_F(CProjectImportTest, LargeFileReadsBack)
{
    constexpr int kStands = 100, kTrees = 400;
    std::string stands, trees;
    for (int s = 0; s < kStands; ++s)
    {
        const std::string stand = std::string("S").append(std::to_string(s));
        stands.append(stand).append(",1,30\n");
        for (int t = 0; t < kTrees; ++t)
            trees.append(stand).append(",").append(std::to_string(t)).append(",PSME,").append(std::to_string(10 + (s + t) % 40)).append(".5,18,100\n");
    }
    ASSERT_EQ(0, Import(stands, trees)) << m_errors;
    SProject project;
    std::string error;
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error)) << error;
    ASSERT_EQ(size_t{kStands}, project.stands.size());
    for (int s = 0; s < kStands; s += 33)
    {
        const auto& stand = project.stands[static_cast<size_t>(s)];
        ASSERT_EQ(size_t{kTrees}, stand.trees.size());
        EXPECT_STREQ(("S" + std::to_string(s)).c_str(), stand.trees.back().szStand);
        EXPECT_EQ(10 + (s + kTrees - 1) % 40 + 0.5, stand.trees.back().dDbh);
    }
}

// Numbers are read to the same double, however they are spelt.
TEST_F(CProjectImportTest, NumbersReadAsWritten)
{
    const char* const kSpellings[] = {"0.1", "24.5", "12.", ".5", "+3.25", "007.250", "1e1", "2.675", "499.999999999999", "0.0000000000000001"};
    const char* const kStems[] = {"99999.9999999999", "123456.789012345678", "1E+3"};
    std::string trees = kTreesHeader;
    for (size_t i = 0; i < std::size(kSpellings); ++i)
        trees += "A," + std::to_string(i + 1) + ",PSME," + kSpellings[i] + ",18," + kStems[i % std::size(kStems)] + "\n";
    ASSERT_EQ(0, ImportFiles(kStandsHeader + "A,1,30\n", trees)) << m_errors;
    SProject project;
    std::string error;
    ASSERT_TRUE(ReadProject(m_folder.File("project"), project, &error)) << error;
    ASSERT_EQ(std::size(kSpellings), project.stands[0].trees.size());
    auto value = [](std::string_view text) {
        text.remove_prefix(text.front() == '+');
        double dValue = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), dValue);
        return dValue;
    };
    for (size_t i = 0; i < std::size(kSpellings); ++i)
    {
        const SInventory& tree = project.stands[0].trees[i];
        EXPECT_EQ(value(kSpellings[i]), tree.dDbh) << kSpellings[i];
        EXPECT_EQ(value(kStems[i % std::size(kStems)]), tree.dTpha) << kStems[i % std::size(kStems)];
    }
}

// A project database that does not hold what a run needs is refused with one line naming the
// table, column, stand or tree, before any of it reaches the forest.
struct SDatabaseCase
{
    const char* pszName;
    const char* pszSql;     // applied to a good project
    const char* pszReason;
};

void PrintTo(const SDatabaseCase& c, std::ostream* pStream) { *pStream << c.pszName; }

class CProjectDatabaseTest : public ::testing::TestWithParam<SDatabaseCase>
{
};

TEST_P(CProjectDatabaseTest, RefusesWithOneLine)
{
    CTempFolder folder;
    SProject good;
    good.name = "P";
    good.nFirstYear = 2025;
    good.nPeriodLength = 5;
    good.stands.push_back({"A", 2.0, 30.0, {MakeTree("A", "1", "PSME", 20, 18, 100)}});
    ASSERT_TRUE(WriteProject(folder.Path(), good, nullptr));
    sqlite3* pDb = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(folder.File("project.db").c_str(), &pDb));
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(pDb, GetParam().pszSql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(pDb);
    sqlite3_close(pDb);
    SProject project;
    std::string error;
    EXPECT_FALSE(ReadProject(folder.Path(), project, &error));
    EXPECT_EQ(error, folder.File("project.db") + ": " + GetParam().pszReason);
}

const SDatabaseCase kDatabaseCases[] = {
    {"MissingColumn", "ALTER TABLE stands DROP COLUMN site_index", "table stands has no column site_index"},
    {"MissingTable", "DROP TABLE trees", "has no table trees"},
    {"YearPastInt32", "UPDATE project SET first_year = 2147483647", "project first_year 2.14748e+09 is outside 1000 to 3000"},
    {"NoPeriods", "UPDATE project SET period_length = 0", "project period_length 0 is outside 1 to 50"},
    {"NegativeArea", "UPDATE stands SET area_ha = -2", "stand A: area_ha -2 is outside 0 to 1e+06"},
    {"HugeDiameter", "UPDATE trees SET dbh_cm = 1e200", "tree 1 of stand A: dbh_cm 1e+200 is outside 0 to 500"},
    {"TextHeight", "UPDATE trees SET height_m = 'tall'", "tree 1 of stand A: height_m 'tall' is not a number"},
};
INSTANTIATE_TEST_SUITE_P(Databases, CProjectDatabaseTest, ::testing::ValuesIn(kDatabaseCases),
                         [](const ::testing::TestParamInfo<SDatabaseCase>& info) { return std::string(info.param.pszName); });

// Project databases of the fuzz corpus (former findings) keep their exact outcome.
TEST(ProjectDatabaseCorpus, ReplaysWithExactOutcomes)
{
    const std::map<std::string, std::string> expected = {
        {"first-year-overflow.db", "project first_year 2.14748e+09 is outside 1000 to 3000"},
    };
    for (const auto& [name, reason] : expected)
    {
        CTempFolder folder;
        std::filesystem::copy_file(std::string(WOX_FUZZ_CORPUS) + "/" + name, folder.File("project.db"));
        SProject project;
        std::string error;
        EXPECT_FALSE(ReadProject(folder.Path(), project, &error)) << name;
        EXPECT_EQ(error, folder.File("project.db") + ": " + reason);
    }
}
}
