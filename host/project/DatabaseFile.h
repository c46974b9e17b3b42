#pragma once
// SQLite databases that are built in memory and reach the disk whole: the bytes of the finished
// database replace (or create) the file in one atomic step, so that a kill or a full disk leaves
// the old file or none, never a database without its rows or with a hot journal beside it.

#include <string>

#include "AtomicFile.h"

struct sqlite3;

// An empty database in memory, for the thread that opens it only; null (with *pError) when
// SQLite cannot make one. Close it with sqlite3_close.
sqlite3* WoxOpenMemoryDatabase(std::string* pError);

// Writes the database to path through CAtomicFile (mode Replace or CreateOnly). False with one
// line in *pError.
bool WoxSaveDatabase(sqlite3* pDb, const std::string& path, CAtomicFile::ECommit mode, std::string* pError);
