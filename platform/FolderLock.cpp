#include "FolderLock.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "AtomicFile.h"

namespace
{
std::string Reason(int nError) { return std::error_code(nError, std::generic_category()).message(); }

std::string Resolved(const std::string& path)
{
    char szResolved[PATH_MAX];
    return ::realpath(path.c_str(), szResolved) ? std::string(szResolved) : path;
}
}

CFolderLock::~CFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CFolderLock::Acquire(const std::string& target, std::string* pError)
{
    auto fail = [&](const std::string& message) {
        if (pError)
            *pError = message;
        return false;
    };
    std::string path = target;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::error_code ec;
    std::filesystem::create_directories(WoxFolderOf(path), ec);
    if (ec)
        return fail("cannot create " + WoxFolderOf(path) + ": " + ec.message());
    const std::string resolved = ::access(path.c_str(), F_OK) == 0 ? Resolved(path) : Resolved(WoxFolderOf(path)) + "/" + WoxNameOf(path);
    const std::string lockPath = WoxFolderOf(resolved) + "/." + WoxNameOf(resolved) + ".lock";
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return fail("cannot lock " + path + ": " + lockPath + ": " + Reason(errno));
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
    {
        int nError = errno;
        ::close(m_fd);
        m_fd = -1;
        return fail(nError == EWOULDBLOCK ? path + " is in use by another run" : "cannot lock " + path + ": " + Reason(nError));
    }
    return true;
}
