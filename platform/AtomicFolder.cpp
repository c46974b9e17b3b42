#include "AtomicFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "AtomicFile.h"
#include "FileFaults.h"

namespace
{
constexpr const char* kFolderSuffix = ".partial";
constexpr size_t kFolderSuffixLength = 8;
constexpr size_t kRandomLength = 8;  // as WoxSiblingName makes them
constexpr int kCreateAttempts = 100;

std::string Reason(int nError) { return std::error_code(nError, std::generic_category()).message(); }

void RemoveTree(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

// An existing path with its symbolic links resolved; the path itself when it does not exist.
std::string Resolved(const std::string& path)
{
    char szResolved[PATH_MAX];
    return ::realpath(path.c_str(), szResolved) ? std::string(szResolved) : path;
}
}

CAtomicFolder::~CAtomicFolder()
{
    if (!m_temp.empty())
        RemoveTree(m_temp);
}

bool CAtomicFolder::Fail(const std::string& message)
{
    m_error = message;
    return false;
}

bool CAtomicFolder::CheckTarget()
{
    struct stat info;
    if (::stat(m_target.c_str(), &info) != 0)
        return errno == ENOENT ? true : Fail("cannot look at " + m_target + ": " + Reason(errno));
    if (!S_ISDIR(info.st_mode))
        return Fail(m_target + " is not a folder");
    DIR* pDir = ::opendir(m_target.c_str());
    if (!pDir)
        return Fail("cannot read " + m_target + ": " + Reason(errno));
    std::string foreign;
    while (dirent* pEntry = ::readdir(pDir))
    {
        std::string name = pEntry->d_name;
        if (name != "." && name != ".." && std::find(m_replaceable.begin(), m_replaceable.end(), name) == m_replaceable.end())
        {
            foreign = name;
            break;
        }
    }
    ::closedir(pDir);
    if (!foreign.empty())
        return Fail(m_target + " holds other files than these (" + foreign + "); choose an empty or new folder");
    return true;
}

bool CAtomicFolder::Open(const std::string& target, const std::vector<std::string>& replaceable)
{
    if (!m_temp.empty())
        RemoveTree(m_temp);
    m_temp.clear();
    m_target = Resolved(target);
    while (m_target.size() > 1 && m_target.back() == '/')
        m_target.pop_back();
    m_replaceable = replaceable;
    if (!CheckTarget())
        return false;
    for (int nAttempt = 0; nAttempt < kCreateAttempts; ++nAttempt)
    {
        std::string temp = WoxSiblingName(m_target, kFolderSuffix);
        if (WoxFileFault())
            return Fail("cannot create a folder beside " + m_target + ": " + Reason(errno));
        // mkdir never follows a symbolic link at the name it creates.
        if (::mkdir(temp.c_str(), 0777) == 0)
        {
            m_temp = temp;
            return true;
        }
        if (errno != EEXIST && errno != EINTR)
            return Fail("cannot create a folder beside " + m_target + ": " + Reason(errno));
    }
    return Fail("cannot find a free temporary name beside " + m_target);
}

bool CAtomicFolder::Commit()
{
    if (m_temp.empty())
        return Fail("nothing to commit for " + m_target);
    if (!CheckTarget())
        return false;
    if (!WoxSyncFolder(m_temp))
        return Fail("cannot flush " + m_temp + ": " + Reason(errno));
    if (WoxFileFault())
        return Fail("cannot replace " + m_target + ": " + Reason(errno));

    struct stat info;
    if (::lstat(m_target.c_str(), &info) != 0)
    {
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
            return Fail("cannot create " + m_target + ": " + Reason(errno));
        m_temp.clear();
    }
    else if (::renameat2(AT_FDCWD, m_temp.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) == 0)
    {
        // The old content now lies under the private name.
        RemoveTree(m_temp);
        m_temp.clear();
    }
    else
    {
        if (errno != EINVAL && errno != ENOSYS)
            return Fail("cannot replace " + m_target + ": " + Reason(errno));
        // No exchange here: move the old content aside, the new in, then drop the old.
        std::string old = WoxSiblingName(m_target, kFolderSuffix);
        if (::rename(m_target.c_str(), old.c_str()) != 0)
            return Fail("cannot replace " + m_target + ": " + Reason(errno));
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
        {
            int nError = errno;
            ::rename(old.c_str(), m_target.c_str());
            return Fail("cannot replace " + m_target + ": " + Reason(nError));
        }
        m_temp.clear();
        RemoveTree(old);
    }
    if (!WoxSyncFolder(WoxFolderOf(m_target)))
        return Fail("cannot flush the folder of " + m_target + ": " + Reason(errno));
    return true;
}

void WoxRemoveStaleFolders(const std::string& target)
{
    const std::string resolved = Resolved(target);
    const std::string folder = WoxFolderOf(resolved);
    const std::string prefix = "." + WoxNameOf(resolved) + ".";
    DIR* pDir = ::opendir(folder.c_str());
    if (!pDir)
        return;
    std::vector<std::string> stale;
    while (dirent* pEntry = ::readdir(pDir))
    {
        std::string name = pEntry->d_name;
        // The private names are the prefix, eight characters and the suffix.
        if (name.size() == prefix.size() + kRandomLength + kFolderSuffixLength && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - kFolderSuffixLength, kFolderSuffixLength, kFolderSuffix) == 0)
            stale.push_back(folder + "/" + name);
    }
    ::closedir(pDir);
    for (const std::string& path : stale)
    {
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            RemoveTree(path);
    }
}
