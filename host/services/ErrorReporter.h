#pragma once
// The host error reporter: one line per report on stderr, and in a log file when one is set.
// Thread-safe.

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "HostServices.h"

class CWoxErrorReporter final : public IWoxErrorReporter
{
public:
    CWoxErrorReporter() = default;
    ~CWoxErrorReporter();

    void ReportError(const char* pszSource, const char* pszMessage) override;

    // Also appends every report to this file; false when it cannot be opened.
    bool SetLogFile(const char* pszPath);
    // Keeps reports off stderr (they are still kept and logged); for tests and quiet batch runs.
    void SetQuiet(bool bQuiet);
    // Every report so far, "source: message".
    std::vector<std::string> Reports();

    // From now on, reports of these sources are only counted per distinct line ("source:
    // message"), neither printed nor kept in Reports(): a run repeats the same failure for every
    // stand and period and says so once at the end. An empty list ends the holding.
    void HoldSources(std::vector<std::string> sources);
    // The held lines with their counts, in line order; clears them.
    std::vector<std::pair<std::string, size_t>> TakeHeld();

private:
    std::mutex m_lock;
    FILE* m_pLog = nullptr;
    bool m_bQuiet = false;
    std::vector<std::string> m_reports;
    std::vector<std::string> m_heldSources;
    std::map<std::string, size_t> m_held;
};
