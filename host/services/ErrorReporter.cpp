#include "ErrorReporter.h"

CWoxErrorReporter::~CWoxErrorReporter()
{
    if (m_pLog)
        std::fclose(m_pLog);
}

void CWoxErrorReporter::ReportError(const char* pszSource, const char* pszMessage)
{
    std::string line = std::string(pszSource ? pszSource : "wox") + ": " + (pszMessage ? pszMessage : "");
    std::lock_guard<std::mutex> guard(m_lock);
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
