#include "AtomicFile.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include "FileFaults.h"

namespace
{
std::string Reason(int nError) { return std::error_code(nError, std::generic_category()).message(); }

// Room left for the target's name inside a temporary name of at most NAME_MAX bytes.
constexpr size_t kMaxNamePart = 200;
constexpr int kCreateAttempts = 100;
// Writeback is started for every this many bytes written.
constexpr uint64_t kWritebackChunk = 8u << 20;
}

std::string WoxFolderOf(const std::string& path)
{
    size_t nSlash = path.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : path.substr(0, nSlash);
}

std::string WoxNameOf(const std::string& path)
{
    size_t nSlash = path.find_last_of('/');
    return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

std::string WoxSiblingName(const std::string& path, const char* pszSuffix)
{
    static std::atomic<uint64_t> s_nCounter{0};
    const uint64_t nTime = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t nValue = (static_cast<uint64_t>(::getpid()) << 40) ^ (nTime * 0x9E3779B97F4A7C15ull) ^ (++s_nCounter * 0xBF58476D1CE4E5B9ull);
    static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz234567";
    char szRandom[9];
    for (int i = 0; i < 8; ++i, nValue >>= 5)
        szRandom[i] = kDigits[nValue & 31];
    szRandom[8] = 0;
    std::string name = WoxNameOf(path).substr(0, kMaxNamePart);
    return WoxFolderOf(path) + "/." + name + "." + szRandom + (pszSuffix ? pszSuffix : "");
}

bool WoxSyncFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool bOk = ::fsync(fd) == 0;
    ::close(fd);
    return bOk;
}

bool WoxSyncFolder(const std::string& folder)
{
    if (WoxFileFault())
        return false;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool bOk = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return bOk;
}

CAtomicFile::~CAtomicFile() { Discard(); }

bool CAtomicFile::Fail(const std::string& what, const std::string& path, int nError)
{
    m_error = what + " " + path + (nError ? ": " + Reason(nError) : std::string());
    return false;
}

bool CAtomicFile::Open(const std::string& target)
{
    Discard();
    m_error.clear();
    if (target.empty())
        return Fail("no file name given", "", 0);

    // The file a symbolic link names is replaced, not the link: resolve it first.
    m_target = target;
    struct stat info;
    if (::lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
    {
        char szResolved[PATH_MAX];
        if (!::realpath(target.c_str(), szResolved))
            return Fail("cannot follow the link", target, errno);
        m_target = szResolved;
    }
    mode_t nMode = 0666;
    bool bExists = ::stat(m_target.c_str(), &info) == 0;
    if (bExists)
    {
        if (!S_ISREG(info.st_mode))
            return Fail("not a regular file:", m_target, 0);
        // The write bits count even where the caller may write anyway (as root does).
        if ((info.st_mode & 0222) == 0 || ::access(m_target.c_str(), W_OK) != 0)
            return Fail("the file is read-only:", m_target, 0);
        nMode = info.st_mode & 07777;
    }

    for (int nAttempt = 0; nAttempt < kCreateAttempts; ++nAttempt)
    {
        std::string temp = WoxSiblingName(m_target, ".tmp");
        if (WoxFileFault())
            return Fail("cannot create", temp, errno);
        // O_EXCL with O_CREAT never follows a symbolic link; O_NOFOLLOW says so twice.
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, nMode);
        if (fd < 0 && errno == EINTR)
            continue;
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return Fail("cannot create a file in", WoxFolderOf(m_target), errno);
        m_fd = fd;
        m_temp = temp;
        // Keep the replaced file's permissions exactly (the creation mode passed the umask).
        if (bExists)
            ::fchmod(m_fd, nMode);
        return true;
    }
    return Fail("cannot find a free temporary name in", WoxFolderOf(m_target), EEXIST);
}

bool CAtomicFile::Write(const void* pData, size_t nSize)
{
    if (!WriteAt(m_nAppendAt, pData, nSize))
        return false;
    m_nAppendAt += nSize;
    return true;
}

bool CAtomicFile::WriteAt(uint64_t nOffset, const void* pData, size_t nSize)
{
    if (m_fd < 0)
        return Fail("not open:", m_target, 0);
    if (nOffset > static_cast<uint64_t>(INT64_MAX) - nSize)
        return Fail("cannot write", m_target, EFBIG);
    const auto* pBytes = static_cast<const unsigned char*>(pData);
    for (size_t nDone = 0; nDone < nSize;)
    {
        if (WoxFileFault())
        {
            int nError = errno;
            Discard();
            return Fail("cannot write", m_target, nError);
        }
        ssize_t n = ::pwrite(m_fd, pBytes + nDone, nSize - nDone, static_cast<off_t>(nOffset + nDone));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            int nError = n < 0 ? errno : ENOSPC;
            Discard();
            return Fail("cannot write", m_target, nError);
        }
        nDone += static_cast<size_t>(n);
    }
    NoteWritten(nOffset, nSize);
    return true;
}

void CAtomicFile::NoteWritten(uint64_t nOffset, size_t nSize)
{
    if (nSize == 0)
        return;
    if (m_nDirtyBegin == m_nDirtyEnd)
    {
        m_nDirtyBegin = nOffset;
        m_nDirtyEnd = nOffset + nSize;
    }
    else
    {
        m_nDirtyBegin = std::min(m_nDirtyBegin, nOffset);
        m_nDirtyEnd = std::max(m_nDirtyEnd, nOffset + nSize);
    }
    if (m_nDirtyEnd - m_nDirtyBegin < kWritebackChunk)
        return;
    // Only a head start for the flush in Commit, which still waits for every byte: a failure
    // here shows again there.
    ::sync_file_range(m_fd, static_cast<off_t>(m_nDirtyBegin), static_cast<off_t>(m_nDirtyEnd - m_nDirtyBegin), SYNC_FILE_RANGE_WRITE);
    m_nDirtyBegin = m_nDirtyEnd = 0;
}

bool CAtomicFile::Commit(ECommit mode)
{
    if (m_fd < 0)
        return Fail("not open:", m_target, 0);
    if (WoxFileFault() || ::fsync(m_fd) != 0)
    {
        int nError = errno;
        Discard();
        return Fail("cannot write", m_target, nError);
    }
    int nClose = ::close(m_fd);
    m_fd = -1;
    if (nClose != 0)
    {
        int nError = errno;
        Discard();
        return Fail("cannot write", m_target, nError);
    }
    if (WoxFileFault())
    {
        int nError = errno;
        Discard();
        return Fail("cannot replace", m_target, nError);
    }
    if (mode == ECommit::Replace)
    {
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
        {
            int nError = errno;
            Discard();
            return Fail("cannot replace", m_target, nError);
        }
    }
    else
    {
        // link() refuses an existing name, so of two creators exactly one wins.
        if (::link(m_temp.c_str(), m_target.c_str()) != 0)
        {
            int nError = errno;
            Discard();
            return nError == EEXIST ? Fail("already exists:", m_target, 0) : Fail("cannot create", m_target, nError);
        }
        ::unlink(m_temp.c_str());
    }
    m_temp.clear();
    if (!WoxSyncFolder(WoxFolderOf(m_target)))
        return Fail("cannot flush the folder of", m_target, errno);
    return true;
}

void CAtomicFile::Discard()
{
    m_nAppendAt = m_nDirtyBegin = m_nDirtyEnd = 0;
    if (m_fd >= 0)
    {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty())
    {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

bool WoxReplaceFile(const std::string& target, const void* pData, size_t nSize, std::string* pError)
{
    CAtomicFile file;
    bool bOk = file.Open(target) && file.Write(pData, nSize) && file.Commit();
    if (!bOk && pError)
        *pError = file.Error();
    return bOk;
}
