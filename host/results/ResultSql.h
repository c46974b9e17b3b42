#pragma once
// What the results writers share: SQLite handles released by their owners, prepared statements,
// the results database built in memory and saved whole, and CSV fields.

#include <sqlite3.h>

#include <memory>
#include <utility>
#include <string>

#include "DatabaseFile.h"

struct SDbClose
{
    void operator()(sqlite3* p) const { sqlite3_close(p); }
};
struct SStmtFinalize
{
    void operator()(sqlite3_stmt* p) const { sqlite3_finalize(p); }
};
using CStatement = std::unique_ptr<sqlite3_stmt, SStmtFinalize>;

// The statement for sql; empty when SQLite refuses it.
inline CStatement PrepareStatement(sqlite3* pDb, const std::string& sql)
{
    sqlite3_stmt* pStmt = nullptr;
    sqlite3_prepare_v2(pDb, sql.c_str(), -1, &pStmt, nullptr);
    return CStatement(pStmt);
}

// A results database: built in memory in one transaction, then written over its file whole, so
// that a reader finds the previous results or the new ones, never a part.
class CResultDatabase
{
public:
    CResultDatabase(std::string path, std::string* pError) : m_path(std::move(path)), m_pError(pError) {}

    // Opens the database and creates the tables of pszSchema in a new transaction.
    bool Begin(const char* pszSchema)
    {
        m_pDb.reset(WoxOpenMemoryDatabase(m_pError));
        if (!m_pDb)
            return false;
        if (sqlite3_exec(m_pDb.get(), "BEGIN;", nullptr, nullptr, nullptr) != SQLITE_OK ||
            sqlite3_exec(m_pDb.get(), pszSchema, nullptr, nullptr, nullptr) != SQLITE_OK)
            return Fail("cannot create");
        return true;
    }
    sqlite3* Get() const { return m_pDb.get(); }
    CStatement Prepare(const char* pszSql) const { return PrepareStatement(m_pDb.get(), pszSql); }
    // Sets the error "<what> <file>: <SQLite's message>" and answers false.
    bool Fail(const char* pszWhat) const
    {
        if (m_pError)
            *m_pError = std::string(pszWhat) + " " + m_path + ": " + sqlite3_errmsg(m_pDb.get());
        return false;
    }
    // Commits and replaces the file with the finished database.
    bool Commit() const
    {
        if (sqlite3_exec(m_pDb.get(), "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
            return Fail("cannot commit");
        return WoxSaveDatabase(m_pDb.get(), m_path, CAtomicFile::ECommit::Replace, m_pError);
    }

private:
    std::string m_path;
    std::string* m_pError;
    std::unique_ptr<sqlite3, SDbClose> m_pDb;
};

// A CSV field, quoted (RFC 4180) when it holds a comma, a quote or a line break.
inline std::string CsvText(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
