#include "ProjectDatabase.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <unordered_map>

#include "WoxText.h"

namespace
{
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
    "CREATE TABLE stands (stand_id TEXT PRIMARY KEY, area_ha REAL NOT NULL, site_index REAL NOT NULL);"
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
    if (sqlite3_exec(pDb, "BEGIN;", nullptr, nullptr, nullptr) != SQLITE_OK || sqlite3_exec(pDb, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK)
        return Fail(pDb, "cannot create the tables", pError);
    CStmt pProject = Prepare(pDb, "INSERT INTO project VALUES (?, ?, ?)");
    CStmt pStand = Prepare(pDb, "INSERT INTO stands VALUES (?, ?, ?)");
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
        if (sqlite3_step(pStand.get()) != SQLITE_DONE)
            return Fail(pDb, "cannot write stand " + stand.id, pError);
        for (const SInventory& tree : stand.trees)
        {
            char szTree[sizeof tree.szTree + 1], szSpecies[sizeof tree.szSpecies + 1];
            WoxFieldToString(szTree, sizeof szTree, tree.szTree, sizeof tree.szTree);
            WoxFieldToString(szSpecies, sizeof szSpecies, tree.szSpecies, sizeof tree.szSpecies);
            sqlite3_reset(pTree.get());
            sqlite3_bind_text(pTree.get(), 1, stand.id.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(pTree.get(), 2, szTree, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(pTree.get(), 3, szSpecies, -1, SQLITE_TRANSIENT);
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

SInventory MakeTree(const std::string& stand, const std::string& tree, const std::string& species, double dDbh, double dHeight, double dTpha)
{
    SInventory record = {};
    WoxCopyText(record.szStand, stand.c_str());
    WoxCopyText(record.szTree, tree.c_str());
    WoxCopyText(record.szSpecies, species.c_str());
    record.dDbh = dDbh;
    record.dHeight = dHeight;
    record.dTpha = dTpha;
    record.dCrownRatio = 0.0;   // not measured: the growth model estimates it
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
    sqlite3* pRaw = nullptr;
    int nOpen = sqlite3_open_v2(database.c_str(), &pRaw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    CDb pDb(pRaw);
    bool bDone = nOpen == SQLITE_OK ? WriteRows(pDb.get(), project, pError) : Fail(pDb.get(), "cannot create " + database.string(), pError);
    pDb.reset();
    if (!bDone)
        fs::remove(database, ec);
    return bDone;
}

bool ReadProject(const std::string& folder, SProject& project, std::string* pError)
{
    const std::string database = (std::filesystem::path(folder) / WOX_PROJECT_DATABASE).string();
    sqlite3* pRaw = nullptr;
    int nOpen = sqlite3_open_v2(database.c_str(), &pRaw, SQLITE_OPEN_READONLY, nullptr);
    CDb pDb(pRaw);
    if (nOpen != SQLITE_OK)
        return Fail(pDb.get(), "cannot open the project database " + database, pError);
    CStmt pProject = Prepare(pDb.get(), "SELECT name, first_year, period_length FROM project");
    if (!pProject)
        return Fail(pDb.get(), "cannot read the project database " + database, pError);
    if (sqlite3_step(pProject.get()) != SQLITE_ROW)
        return Fail(pDb.get(), database + " has no project row", pError);
    project = SProject{};
    project.name = Column(pProject.get(), 0);
    project.nFirstYear = sqlite3_column_int(pProject.get(), 1);
    project.nPeriodLength = sqlite3_column_int(pProject.get(), 2);
    CStmt pStands = Prepare(pDb.get(), "SELECT stand_id, area_ha, site_index FROM stands ORDER BY rowid");
    CStmt pTrees = Prepare(pDb.get(), "SELECT stand_id, tree_id, species, dbh_cm, height_m, tpha FROM trees ORDER BY stand_id, rowid");
    if (!pStands || !pTrees)
        return Fail(pDb.get(), "cannot read the project database " + database, pError);
    std::unordered_map<std::string, size_t> index;
    while (sqlite3_step(pStands.get()) == SQLITE_ROW)
    {
        project.stands.push_back({Column(pStands.get(), 0), sqlite3_column_double(pStands.get(), 1), sqlite3_column_double(pStands.get(), 2), {}});
        index.emplace(project.stands.back().id, project.stands.size() - 1);
    }
    int nStep;
    while ((nStep = sqlite3_step(pTrees.get())) == SQLITE_ROW)
    {
        std::string stand = Column(pTrees.get(), 0);
        auto found = index.find(stand);
        if (found == index.end())
            continue;   // a tree of no stand (the schema forbids it; skip rather than guess)
        project.stands[found->second].trees.push_back(MakeTree(stand, Column(pTrees.get(), 1), Column(pTrees.get(), 2),
                                                               sqlite3_column_double(pTrees.get(), 3), sqlite3_column_double(pTrees.get(), 4),
                                                               sqlite3_column_double(pTrees.get(), 5)));
    }
    if (nStep != SQLITE_DONE)
        return Fail(pDb.get(), "cannot read the trees of " + database, pError);
    return true;
}
