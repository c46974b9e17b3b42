#pragma once
// Progress of a simulation run on a stream: on a terminal one bar redrawn in place, period by
// period; elsewhere (a log file, a pipe) one plain line per period, so logs stay readable.

#include <cstdio>
#include <string>

class CRunProgress
{
public:
    // pStream may be none: nothing is shown then. bTerminal chooses the bar.
    CRunProgress(std::FILE* pStream, bool bTerminal, int nPeriods);
    CRunProgress(const CRunProgress&) = delete;
    CRunProgress& operator=(const CRunProgress&) = delete;
    // Ends the bar's line, also when the run stops early.
    ~CRunProgress();

    // Period nPeriod (1-based) of the run, simulating nYear, is done.
    void PeriodDone(int nPeriod, int nYear, size_t nTreatments);

    // The bar line for a period, without the carriage return; kept apart for its tests.
    static std::string BarLine(int nPeriod, int nPeriods, int nYear, size_t nTreatments, size_t nTotalTreatments);

private:
    std::FILE* m_pStream;
    bool m_bTerminal;
    int m_nPeriods;
    size_t m_nTotalTreatments = 0;
    bool m_bDrawn = false;
};
