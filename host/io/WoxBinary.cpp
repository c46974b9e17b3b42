#include "WoxBinary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <system_error>

namespace
{
constexpr const char* kSource = "IO Library";
}

CWoxBinary::~CWoxBinary()
{
    Close();
}

void CWoxBinary::AddReference()
{
    m_nReferences.fetch_add(1, std::memory_order_relaxed);
}

void CWoxBinary::Release()
{
    if (m_nReferences.fetch_sub(1, std::memory_order_acq_rel) <= 1)
        delete this;
}

int CWoxBinary::Initialize(IWoxErrorReporter* pErrorReporter)
{
    m_pErrorReporter = pErrorReporter;
    return 1;
}

void CWoxBinary::Report(const char* pszWhat, const std::string& reason)
{
    if (!m_pErrorReporter)
        return;
    std::string message = std::string(pszWhat) + " '" + m_path + "': " + reason;
    m_pErrorReporter->ReportError(kSource, message.c_str());
}

void CWoxBinary::ReportErrno(const char* pszWhat, int nError)
{
    Report(pszWhat, std::error_code(nError, std::generic_category()).message());
}

void CWoxBinary::Close()
{
    if (m_fd < 0)
        return;
    // close() is not retried after EINTR: the descriptor is released either way on Linux.
    if (::close(m_fd) != 0)
        ReportErrno("close", errno);
    m_fd = -1;
}

int64_t CWoxBinary::Tell()
{
    if (m_fd < 0)
        return -1;
    return m_nPosition;
}

int CWoxBinary::Open(const char* pszPath, int nMode, int bCreate)
{
    Close();
    m_path = pszPath ? pszPath : "";
    if (!pszPath || !*pszPath)
    {
        Report("open", "no path given");
        return 0;
    }
    int nFlags;
    switch (nMode)
    {
    case 0: nFlags = O_RDONLY; break;
    case 1: nFlags = O_WRONLY; break;
    case 2: nFlags = O_RDWR; break;
    default:
        Report("open", "unknown access mode " + std::to_string(nMode));
        return 0;
    }
    nFlags |= O_CLOEXEC;
    if (bCreate)
        nFlags |= O_CREAT | O_TRUNC;
    int fd;
    do
        fd = ::open(pszPath, nFlags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
    {
        ReportErrno("open", errno);
        return 0;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        Report("open", "not a regular file");
        ::close(fd);
        return 0;
    }
    m_fd = fd;
    m_nPosition = 0;
    return 1;
}

int CWoxBinary::Read(void* pBuffer, uint32_t* pnDone, uint32_t nSize)
{
    uint32_t nDone = 0;
    int bResult = 0;
    if (m_fd < 0)
        Report("read", "file not open");
    else if (!pBuffer && nSize > 0)
        Report("read", "no buffer");
    else
    {
        auto* pBytes = static_cast<unsigned char*>(pBuffer);
        while (nDone < nSize)
        {
            ssize_t n = ::pread(m_fd, pBytes + nDone, nSize - nDone, static_cast<off_t>(m_nPosition + nDone));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
            {
                ReportErrno("read", errno);
                break;
            }
            if (n == 0)
            {
                Report("read", "end of file after " + std::to_string(nDone) + " of " + std::to_string(nSize) + " bytes");
                break;
            }
            nDone += static_cast<uint32_t>(n);
        }
        m_nPosition += nDone;
        bResult = nDone == nSize;
    }
    if (pnDone)
        *pnDone = nDone;
    return bResult;
}

int CWoxBinary::Seek(int64_t nPosition, int nOrigin)
{
    if (m_fd < 0)
    {
        Report("seek", "file not open");
        return 0;
    }
    int64_t nBase;
    switch (nOrigin)
    {
    case 0: nBase = 0; break;
    case 1: nBase = m_nPosition; break;
    case 2:
        nBase = GetLength();
        if (nBase < 0)
            return 0;
        break;
    default:
        Report("seek", "unknown origin " + std::to_string(nOrigin));
        return 0;
    }
    // Like lseek: any position at or after the start is accepted, also past the end.
    if ((nPosition < 0 && nBase < -nPosition) || (nPosition > 0 && nBase > INT64_MAX - nPosition))
    {
        ReportErrno("seek", EINVAL);
        return 0;
    }
    m_nPosition = nBase + nPosition;
    return 1;
}

int CWoxBinary::Write(const void* pBuffer, uint32_t* pnDone, uint32_t nSize)
{
    uint32_t nDone = 0;
    int bResult = 0;
    if (m_fd < 0)
        Report("write", "file not open");
    else if (!pBuffer && nSize > 0)
        Report("write", "no buffer");
    else
    {
        const auto* pBytes = static_cast<const unsigned char*>(pBuffer);
        while (nDone < nSize)
        {
            ssize_t n = ::pwrite(m_fd, pBytes + nDone, nSize - nDone, static_cast<off_t>(m_nPosition + nDone));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
            {
                // write() answering 0 for a non-empty buffer would loop for ever: treat as full.
                ReportErrno("write", n < 0 ? errno : ENOSPC);
                break;
            }
            nDone += static_cast<uint32_t>(n);
        }
        m_nPosition += nDone;
        bResult = nDone == nSize;
    }
    if (pnDone)
        *pnDone = nDone;
    return bResult;
}

int64_t CWoxBinary::GetLength()
{
    if (m_fd < 0)
        return -1;
    struct stat info;
    if (::fstat(m_fd, &info) != 0)
    {
        ReportErrno("stat", errno);
        return -1;
    }
    return static_cast<int64_t>(info.st_size);
}

IWoxBinary* WoxCreateWoxBinary()
{
    return new (std::nothrow) CWoxBinary;
}
