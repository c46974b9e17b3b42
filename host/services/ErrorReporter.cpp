#include "ErrorReporter.h"

CWoxErrorReporter::~CWoxErrorReporter()
{
    if (m_pLog)
        std::fclose(m_pLog);
}

void CWoxErrorReporter::ReportError(const char* pszSource, const char* pszMessage)
{
    const std::string source = pszSource ? pszSource : "wox";
    std::string line = source + ": " + (pszMessage ? pszMessage : "");
    std::lock_guard<std::mutex> guard(m_lock);
    for (const std::string& held : m_heldSources)
        if (held == source)
        {
            ++m_held[line];
            return;
        }
    if (!m_bQuiet)
        std::fprintf(stderr, "%s\n", line.c_str());
    if (m_pLog)
    {
        std::fprintf(m_pLog, "%s\n", line.c_str());
        std::fflush(m_pLog);
    }
    m_reports.push_back(std::move(line));
}

bool CWoxErrorReporter::SetLogFile(const char* pszPath)
{
    FILE* pLog = std::fopen(pszPath, "a");
    if (!pLog)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_pLog)
        std::fclose(m_pLog);
    m_pLog = pLog;
    return true;
}

void CWoxErrorReporter::SetQuiet(bool bQuiet)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bQuiet = bQuiet;
}

std::vector<std::string> CWoxErrorReporter::Reports()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_reports;
}

void CWoxErrorReporter::HoldSources(std::vector<std::string> sources)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_heldSources = std::move(sources);
}

std::vector<std::pair<std::string, size_t>> CWoxErrorReporter::TakeHeld()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<std::pair<std::string, size_t>> held(m_held.begin(), m_held.end());
    m_held.clear();
    return held;
}
