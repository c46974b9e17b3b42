#include "ProjectDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <unordered_map>

#include "DatabaseFile.h"
#include "ForestLimits.h"
#include "WoxText.h"

namespace
{
// A bounded copy of a text that need not be terminated into a field that is all zeros; as with
// a C string, a zero ends the text.
template <size_t N>
void PutText(char (&field)[N], std::string_view text)
{
    const size_t n = WoxTextLength(text.data(), std::min(text.size(), N));
    if (n)
        std::memcpy(field, text.data(), n);
}

struct SDbClose
{
    void operator()(sqlite3* p) const { sqlite3_close(p); }
};
struct SStmtFinalize
{
    void operator()(sqlite3_stmt* p) const { sqlite3_finalize(p); }
};
using CDb = std::unique_ptr<sqlite3, SDbClose>;
using CStmt = std::unique_ptr<sqlite3_stmt, SStmtFinalize>;

const char* kSchema =
    "CREATE TABLE project (name TEXT NOT NULL, first_year INTEGER NOT NULL, period_length INTEGER NOT NULL);"
    "CREATE TABLE stands (stand_id TEXT PRIMARY KEY, area_ha REAL NOT NULL, site_index REAL NOT NULL,"
    " inventory_year INTEGER, stand_age REAL);"
    "CREATE TABLE trees (stand_id TEXT NOT NULL REFERENCES stands(stand_id), tree_id TEXT NOT NULL, species TEXT NOT NULL,"
    " dbh_cm REAL NOT NULL, height_m REAL NOT NULL, tpha REAL NOT NULL, PRIMARY KEY (stand_id, tree_id));";

CStmt Prepare(sqlite3* pDb, const char* pszSql)
{
    sqlite3_stmt* pStmt = nullptr;
    sqlite3_prepare_v2(pDb, pszSql, -1, &pStmt, nullptr);
    return CStmt(pStmt);
}

std::string Column(sqlite3_stmt* pStmt, int nColumn)
{
    const unsigned char* psz = sqlite3_column_text(pStmt, nColumn);
    return psz ? reinterpret_cast<const char*>(psz) : "";
}

bool Fail(sqlite3* pDb, const std::string& what, std::string* pError)
{
    if (pError)
        *pError = what + ": " + (pDb ? sqlite3_errmsg(pDb) : "out of memory");
    return false;
}

bool WriteRows(sqlite3* pDb, const SProject& project, std::string* pError)
{
    // The database is built in memory and thrown away whole on any failure: it needs no journal.
    if (sqlite3_exec(pDb, "PRAGMA journal_mode=OFF; BEGIN;", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(pDb, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return Fail(pDb, "cannot create the tables", pError);
    CStmt pProject = Prepare(pDb, "INSERT INTO project VALUES (?, ?, ?)");
    CStmt pStand = Prepare(pDb, "INSERT INTO stands VALUES (?, ?, ?, ?, ?)");
    CStmt pTree = Prepare(pDb, "INSERT INTO trees VALUES (?, ?, ?, ?, ?, ?)");
    if (!pProject || !pStand || !pTree)
        return Fail(pDb, "cannot prepare the inserts", pError);
    sqlite3_bind_text(pProject.get(), 1, project.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(pProject.get(), 2, project.nFirstYear);
    sqlite3_bind_int(pProject.get(), 3, project.nPeriodLength);
    if (sqlite3_step(pProject.get()) != SQLITE_DONE)
        return Fail(pDb, "cannot write the project row", pError);
    for (const SProjectStand& stand : project.stands)
    {
        sqlite3_reset(pStand.get());
        sqlite3_bind_text(pStand.get(), 1, stand.id.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(pStand.get(), 2, stand.dArea);
        sqlite3_bind_double(pStand.get(), 3, stand.dSiteIndex);
        if (stand.nInventoryYear > 0)
            sqlite3_bind_int(pStand.get(), 4, stand.nInventoryYear);
        else
            sqlite3_bind_null(pStand.get(), 4);
        if (stand.dStandAge >= 0.0)
            sqlite3_bind_double(pStand.get(), 5, stand.dStandAge);
        else
            sqlite3_bind_null(pStand.get(), 5);
        if (sqlite3_step(pStand.get()) != SQLITE_DONE)
            return Fail(pDb, "cannot write stand " + stand.id, pError);
        for (const SInventory& tree : stand.trees)
        {
            char szTree[sizeof tree.szTree + 1], szSpecies[sizeof tree.szSpecies + 1];
            WoxFieldToString(szTree, sizeof szTree, tree.szTree, sizeof tree.szTree);
            WoxFieldToString(szSpecies, sizeof szSpecies, tree.szSpecies, sizeof tree.szSpecies);
            // The texts outlive the step: SQLite need not copy them.
            sqlite3_reset(pTree.get());
            sqlite3_bind_text(pTree.get(), 1, stand.id.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(pTree.get(), 2, szTree, -1, SQLITE_STATIC);
            sqlite3_bind_text(pTree.get(), 3, szSpecies, -1, SQLITE_STATIC);
            sqlite3_bind_double(pTree.get(), 4, tree.dDbh);
            sqlite3_bind_double(pTree.get(), 5, tree.dHeight);
            sqlite3_bind_double(pTree.get(), 6, tree.dTpha);
            if (sqlite3_step(pTree.get()) != SQLITE_DONE)
                return Fail(pDb, "cannot write tree " + std::string(szTree) + " of stand " + stand.id, pError);
        }
    }
    if (sqlite3_exec(pDb, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return Fail(pDb, "cannot commit", pError);
    return true;
}
}

void FillTree(SInventory& record, std::string_view stand, std::string_view tree, std::string_view species, double dDbh, double dHeight,
              double dTpha)
{
    PutText(record.szStand, stand);
    PutText(record.szTree, tree);
    PutText(record.szSpecies, species);
    record.dDbh = dDbh;
    record.dHeight = dHeight;
    record.dTpha = dTpha;
    record.dCrownRatio = 0.0;   // not measured: the growth model estimates it
}

SInventory MakeTree(std::string_view stand, std::string_view tree, std::string_view species, double dDbh, double dHeight, double dTpha)
{
    SInventory record = {};
    FillTree(record, stand, tree, species, dDbh, dHeight, dTpha);
    return record;
}

bool WriteProject(const std::string& folder, const SProject& project, std::string* pError)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path database = fs::path(folder) / WOX_PROJECT_DATABASE;
    if (fs::exists(database, ec))
    {
        if (pError)
            *pError = folder + " already holds a project";
        return false;
    }
    fs::create_directories(fs::path(folder) / WOX_PROJECT_SCENARIOS, ec);
    if (ec)
    {
        if (pError)
            *pError = "cannot create " + folder + ": " + ec.message();
        return false;
    }
    // The database is made in memory and reaches the disk whole, as the project's last step: a
    // killed or failed import leaves no project.db, so the folder can be imported into again.
    CDb pDb(WoxOpenMemoryDatabase(pError));
    if (!pDb || !WriteRows(pDb.get(), project, pError))
        return false;
    if (!WoxSaveDatabase(pDb.get(), database.string(), CAtomicFile::ECommit::CreateOnly, pError))
    {
        if (pError && fs::exists(database, ec))
            *pError = folder + " already holds a project";
        return false;
    }
    return true;
}

namespace
{
// The columns the reader needs, per table.
const std::vector<std::pair<const char*, std::vector<const char*>>> kColumns = {
    {"project", {"name", "first_year", "period_length"}},
    {"stands", {"stand_id", "area_ha", "site_index"}},
    {"trees", {"stand_id", "tree_id", "species", "dbh_cm", "height_m", "tpha"}},
};

// "" when every table and column is there, else one line naming the first one missing.
std::string MissingColumn(sqlite3* pDb)
{
    for (const auto& [pszTable, columns] : kColumns)
    {
        CStmt pInfo = Prepare(pDb, (std::string("PRAGMA table_info(") + pszTable + ")").c_str());
        std::set<std::string> present;
        while (pInfo && sqlite3_step(pInfo.get()) == SQLITE_ROW)
            present.insert(Column(pInfo.get(), 1));
        if (present.empty())
            return std::string("has no table ") + pszTable;
        for (const char* pszColumn : columns)
            if (!present.count(pszColumn))
                return std::string("table ") + pszTable + " has no column " + pszColumn;
    }
    return {};
}

// Whether the table has the column (columns added later are optional for older projects).
bool HasColumn(sqlite3* pDb, const char* pszTable, const char* pszColumn)
{
    CStmt pInfo = Prepare(pDb, (std::string("PRAGMA table_info(") + pszTable + ")").c_str());
    while (pInfo && sqlite3_step(pInfo.get()) == SQLITE_ROW)
        if (Column(pInfo.get(), 1) == pszColumn)
            return true;
    return false;
}

// A number column within limits; else false with "COLUMN VALUE is outside MIN to MAX" in why.
bool NumberColumn(sqlite3_stmt* pStmt, int nColumn, double dMin, double dMax, double& dValue, std::string& why)
{
    const int nType = sqlite3_column_type(pStmt, nColumn);
    const char* pszName = sqlite3_column_name(pStmt, nColumn);
    if (nType != SQLITE_INTEGER && nType != SQLITE_FLOAT)
    {
        why = std::string(pszName) + " '" + Column(pStmt, nColumn) + "' is not a number";
        return false;
    }
    dValue = sqlite3_column_double(pStmt, nColumn);
    if (WithinLimits(dValue, dMin, dMax))
        return true;
    char szText[160];
    std::snprintf(szText, sizeof szText, "%s %g is outside %g to %g", pszName, dValue, dMin, dMax);
    why = szText;
    return false;
}
}

bool ReadProject(const std::string& folder, SProject& project, std::string* pError)
{
    const std::string database = (std::filesystem::path(folder) / WOX_PROJECT_DATABASE).string();
    // SQLite would wait on a FIFO and read a device: only a regular file is a database.
    std::error_code ec;
    if (std::filesystem::exists(database, ec) && !std::filesystem::is_regular_file(database, ec))
    {
        if (pError)
            *pError = "cannot open the project database " + database + ": not a regular file";
        return false;
    }
    sqlite3* pRaw = nullptr;
    int nOpen = sqlite3_open_v2(database.c_str(), &pRaw, SQLITE_OPEN_READONLY, nullptr);
    CDb pDb(pRaw);
    if (nOpen != SQLITE_OK)
        return Fail(pDb.get(), "cannot open the project database " + database, pError);
    auto refuse = [&](const std::string& why) {
        if (pError)
            *pError = database + ": " + why;
        return false;
    };
    CStmt pProbe = Prepare(pDb.get(), "SELECT count(*) FROM sqlite_master");
    if (!pProbe || sqlite3_step(pProbe.get()) != SQLITE_ROW)
        return Fail(pDb.get(), "cannot read the project database " + database, pError);
    if (std::string missing = MissingColumn(pDb.get()); !missing.empty())
        return refuse(missing);

    CStmt pProject = Prepare(pDb.get(), "SELECT name, first_year, period_length FROM project");
    if (!pProject)
        return Fail(pDb.get(), "cannot read the project database " + database, pError);
    if (sqlite3_step(pProject.get()) != SQLITE_ROW)
        return refuse("has no project row");
    project = SProject{};
    project.name = Column(pProject.get(), 0);
    std::string why;
    double dFirstYear = 0.0, dPeriodLength = 0.0;
    if (!NumberColumn(pProject.get(), 1, kFirstCalendarYear, kLastCalendarYear, dFirstYear, why) ||
        !NumberColumn(pProject.get(), 2, kMinPeriodLength, kMaxPeriodLength, dPeriodLength, why))
        return refuse("project " + why);
    project.nFirstYear = static_cast<int>(dFirstYear);
    project.nPeriodLength = static_cast<int>(dPeriodLength);

    const bool bInventory = HasColumn(pDb.get(), "stands", "inventory_year") && HasColumn(pDb.get(), "stands", "stand_age");
    CStmt pStands = Prepare(pDb.get(), bInventory ? "SELECT stand_id, area_ha, site_index, inventory_year, stand_age FROM stands ORDER BY rowid"
                                                  : "SELECT stand_id, area_ha, site_index FROM stands ORDER BY rowid");
    CStmt pTrees = Prepare(pDb.get(), "SELECT stand_id, tree_id, species, dbh_cm, height_m, tpha FROM trees ORDER BY stand_id, rowid");
    if (!pStands || !pTrees)
        return Fail(pDb.get(), "cannot read the project database " + database, pError);
    std::unordered_map<std::string, size_t> index;
    while (sqlite3_step(pStands.get()) == SQLITE_ROW)
    {
        SProjectStand stand{Column(pStands.get(), 0), 0.0, 0.0, {}};
        if (stand.id.empty() || stand.id.size() > 30)
            return refuse("stand '" + stand.id + "': the identifier must have 1 to 30 characters");
        if (!NumberColumn(pStands.get(), 1, 0.0, kMaxStandAreaHa, stand.dArea, why) || !(stand.dArea > 0.0) ||
            !NumberColumn(pStands.get(), 2, kMinSiteIndexM, kMaxSiteIndexM, stand.dSiteIndex, why))
            return refuse("stand " + stand.id + ": " + (why.empty() ? "area_ha must be positive" : why));
        double dYear = 0.0;
        if (bInventory && sqlite3_column_type(pStands.get(), 3) != SQLITE_NULL)
        {
            if (!NumberColumn(pStands.get(), 3, kFirstCalendarYear, project.nFirstYear, dYear, why))
                return refuse("stand " + stand.id + ": " + why);
            stand.nInventoryYear = static_cast<int>(dYear);
        }
        if (bInventory && sqlite3_column_type(pStands.get(), 4) != SQLITE_NULL && !NumberColumn(pStands.get(), 4, 0.0, 1000.0, stand.dStandAge, why))
            return refuse("stand " + stand.id + ": " + why);
        project.stands.push_back(std::move(stand));
        index.emplace(project.stands.back().id, project.stands.size() - 1);
    }
    int nStep;
    while ((nStep = sqlite3_step(pTrees.get())) == SQLITE_ROW)
    {
        std::string stand = Column(pTrees.get(), 0);
        auto found = index.find(stand);
        if (found == index.end())
            continue;   // a tree of no stand (the schema forbids it; skip rather than guess)
        const std::string tree = Column(pTrees.get(), 1);
        double dDbh = 0.0, dHeight = 0.0, dTpha = 0.0;
        if (!NumberColumn(pTrees.get(), 3, 0.0, kMaxDbhCm, dDbh, why) || !NumberColumn(pTrees.get(), 4, 0.0, kMaxHeightM, dHeight, why) ||
            !NumberColumn(pTrees.get(), 5, 0.0, kMaxStemsPerHa, dTpha, why))
            return refuse("tree " + tree + " of stand " + stand + ": " + why);
        project.stands[found->second].trees.push_back(MakeTree(stand, tree, Column(pTrees.get(), 2), dDbh, dHeight, dTpha));
    }
    if (nStep != SQLITE_DONE)
        return Fail(pDb.get(), "cannot read the trees of " + database, pError);
    return true;
}

bool CanonicalSpecies(SProject& project, const std::function<std::string(const char*)>& canonicalSpecies, std::string* pError)
{
    for (SProjectStand& stand : project.stands)
        for (SInventory& tree : stand.trees)
        {
            char szSpecies[sizeof tree.szSpecies + 1];
            WoxFieldToString(szSpecies, sizeof szSpecies, tree.szSpecies, sizeof tree.szSpecies);
            const std::string code = canonicalSpecies(szSpecies);
            if (code.empty())
            {
                if (pError)
                {
                    char szTree[sizeof tree.szTree + 1];
                    WoxFieldToString(szTree, sizeof szTree, tree.szTree, sizeof tree.szTree);
                    *pError = "tree " + std::string(szTree) + " of stand " + stand.id + ": unknown species '" + szSpecies + "'";
                }
                return false;
            }
            WoxCopyText(tree.szSpecies, code.c_str());
        }
    return true;
}
