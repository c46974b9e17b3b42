#include "RunProgress.h"

#include <algorithm>

namespace
{
constexpr int kBarWidth = 30;
}

CRunProgress::CRunProgress(std::FILE* pStream, bool bTerminal, int nPeriods)
    : m_pStream(pStream), m_bTerminal(bTerminal), m_nPeriods(std::max(nPeriods, 1))
{
}

CRunProgress::~CRunProgress()
{
    if (m_pStream && m_bDrawn)
    {
        std::fputc('\n', m_pStream);
        std::fflush(m_pStream);
    }
}

std::string CRunProgress::BarLine(int nPeriod, int nPeriods, int nYear, size_t nTreatments, size_t nTotalTreatments)
{
    nPeriods = std::max(nPeriods, 1);
    nPeriod = std::clamp(nPeriod, 0, nPeriods);
    const int nFilled = nPeriod * kBarWidth / nPeriods;
    std::string line = "wox run [" + std::string(static_cast<size_t>(nFilled), '#') +
                       std::string(static_cast<size_t>(kBarWidth - nFilled), ' ') + "] " + std::to_string(nPeriod) + "/" +
                       std::to_string(nPeriods) + " periods, " + std::to_string(nYear) + ": " + std::to_string(nTreatments) +
                       " treatment(s), " + std::to_string(nTotalTreatments) + " in all";
    return line;
}

void CRunProgress::PeriodDone(int nPeriod, int nYear, size_t nTreatments)
{
    m_nTotalTreatments += nTreatments;
    if (!m_pStream)
        return;
    if (m_bTerminal)
    {
        // "\x1b[K" clears what a longer earlier line left behind.
        std::fprintf(m_pStream, "\r%s\x1b[K", BarLine(nPeriod, m_nPeriods, nYear, nTreatments, m_nTotalTreatments).c_str());
        m_bDrawn = true;
    }
    else
        std::fprintf(m_pStream, "wox run: period %d/%d (%d): %zu treatment(s) applied\n", nPeriod, m_nPeriods, nYear, nTreatments);
    std::fflush(m_pStream);
}
