#pragma once
// What the results writers share: SQLite handles released by their owners, prepared statements,
// and CSV fields.

#include <sqlite3.h>

#include <memory>
#include <string>

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
