#include "InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace
{
std::string Reason(int nError) { return std::error_code(nError, std::generic_category()).message(); }

std::string SizeText(size_t nBytes)
{
    if (nBytes >= (size_t{1} << 20) && nBytes % (size_t{1} << 20) == 0)
        return std::to_string(nBytes >> 20) + " MiB";
    return std::to_string(nBytes) + " bytes";
}

const char* KindOf(mode_t nMode)
{
    if (S_ISDIR(nMode))
        return "is a folder, not a file";
    if (S_ISFIFO(nMode))
        return "is a pipe, not a file";
    if (S_ISCHR(nMode) || S_ISBLK(nMode))
        return "is a device, not a file";
    if (S_ISSOCK(nMode))
        return "is a socket, not a file";
    return nullptr;
}

// Opens a regular file for reading. Opened without blocking, so that a FIFO without a writer
// cannot hold the caller before its kind is known.
int OpenRegular(const std::string& path, struct stat& info, std::string* pError)
{
    auto fail = [&](const std::string& why) {
        if (pError)
            *pError = why;
        return -1;
    };
    int fd;
    do
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return fail("cannot open " + path + ": " + Reason(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        const char* pszKind = KindOf(info.st_mode);
        ::close(fd);
        return fail(path + " " + (pszKind ? pszKind : "is not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

template <class TBytes>
bool ReadWhole(const std::string& path, size_t nLimit, TBytes& bytes, std::string* pError)
{
    struct stat info;
    int fd = OpenRegular(path, info, pError);
    if (fd < 0)
        return false;
    if (static_cast<unsigned long long>(info.st_size) > nLimit)
    {
        ::close(fd);
        if (pError)
            *pError = path + " is larger than " + SizeText(nLimit);
        return false;
    }
    // The size is taken once; a file that grows meanwhile is read up to the limit and refused.
    bytes.assign(static_cast<size_t>(info.st_size), 0);
    size_t nDone = 0;
    for (;;)
    {
        if (nDone == bytes.size())
        {
            char c;
            ssize_t nMore = ::read(fd, &c, 1);
            if (nMore < 0 && errno == EINTR)
                continue;
            if (nMore <= 0)
                break;
            if (bytes.size() >= nLimit)
            {
                ::close(fd);
                if (pError)
                    *pError = path + " is larger than " + SizeText(nLimit);
                return false;
            }
            bytes.push_back(static_cast<typename TBytes::value_type>(c));
            ++nDone;
            continue;
        }
        ssize_t n = ::read(fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            int nError = errno;
            ::close(fd);
            if (pError)
                *pError = "cannot read " + path + ": " + Reason(nError);
            return false;
        }
        if (n == 0)
        {
            bytes.resize(nDone);  // shrank meanwhile
            break;
        }
        nDone += static_cast<size_t>(n);
    }
    ::close(fd);
    return true;
}

}  // namespace

bool WoxReadFile(const std::string& path, size_t nLimit, std::string& bytes, std::string* pError)
{
    return ReadWhole(path, nLimit, bytes, pError);
}

bool WoxReadFile(const std::string& path, size_t nLimit, std::vector<uint8_t>& bytes, std::string* pError)
{
    return ReadWhole(path, nLimit, bytes, pError);
}

CWoxLineReader::~CWoxLineReader()
{
    if (m_pFile)
        std::fclose(m_pFile);
}

bool CWoxLineReader::Open(const std::string& path, std::string* pError)
{
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = nullptr;
    m_bFailed = false;
    struct stat info;
    int fd = OpenRegular(path, info, pError);
    if (fd < 0)
        return false;
    m_pFile = ::fdopen(fd, "rb");
    if (!m_pFile)
    {
        if (pError)
            *pError = "cannot read " + path + ": " + Reason(errno);
        ::close(fd);
        return false;
    }
    return true;
}

bool CWoxLineReader::Next(std::string& line, size_t nMaxLine, bool& bTooLong)
{
    line.clear();
    bTooLong = false;
    if (!m_pFile)
        return false;
    int c = EOF;
    bool bAny = false;
    while ((c = std::getc(m_pFile)) != EOF)
    {
        bAny = true;
        if (c == '\n')
            break;
        if (bTooLong)
            continue;
        if (line.size() >= nMaxLine + 1)  // room for a "\r" before the line end
        {
            bTooLong = true;
            line.clear();
            continue;
        }
        line += static_cast<char>(c);
    }
    if (c == EOF && std::ferror(m_pFile))
    {
        m_bFailed = true;
        return false;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (!bTooLong && line.size() > nMaxLine)
    {
        bTooLong = true;
        line.clear();
    }
    return bAny;
}
