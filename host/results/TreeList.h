#pragma once
// The tree list of a run: every tree record of every stand in every measured year, after that
// year's treatments, streamed to a CSV file while the run goes on (a long run's records would not
// fit in memory). Columns: year, stand_id, tree_id, species, dbh_cm, height_m, crown_ratio, tpha.
// Called on the simulation's thread only.

#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Containers.h"

class CTreeListWriter
{
public:
    // Starts the file's new content (the file itself appears at Close) with the header.
    bool Open(const std::string& path, std::string* pError);
    // Appends the stand's records of the year; false once a write failed (Close names why).
    bool Write(int nYear, const std::string& stand, const std::vector<SInventory>& trees);
    // Writes the rest, flushes to disk and puts the file in place; false with the reason of the
    // first failed write. A writer destroyed without Close leaves no file.
    bool Close(std::string* pError);

private:
    bool Flush();

    CAtomicFile m_file;
    std::string m_buffer;
    bool m_bFailed = false;
};
