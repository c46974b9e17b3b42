#include "DatabaseFile.h"

#include <sqlite3.h>

sqlite3* WoxOpenMemoryDatabase(std::string* pError)
{
    sqlite3* pDb = nullptr;
    // Only the thread that builds it ever uses it: SQLite need not lock around every call.
    if (sqlite3_open_v2(":memory:", &pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
    {
        if (pError)
            *pError = std::string("cannot make a database in memory: ") + (pDb ? sqlite3_errmsg(pDb) : "out of memory");
        sqlite3_close(pDb);
        return nullptr;
    }
    return pDb;
}

bool WoxSaveDatabase(sqlite3* pDb, const std::string& path, CAtomicFile::ECommit mode, std::string* pError)
{
    sqlite3_int64 nSize = 0;
    unsigned char* pBytes = sqlite3_serialize(pDb, "main", &nSize, 0);
    if (!pBytes)
    {
        if (pError)
            *pError = "cannot write " + path + ": the database could not be serialised";
        return false;
    }
    CAtomicFile file;
    bool bOk = file.Open(path) && file.Write(pBytes, static_cast<size_t>(nSize)) && file.Commit(mode);
    sqlite3_free(pBytes);
    if (!bOk && pError)
        *pError = file.Error();
    return bOk;
}
