#include "Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "AtomicFile.h"
#include "Module.h"

std::string WoxNativePath(const char* pszPath)
{
    std::string path = pszPath ? pszPath : "";
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::vector<std::string> WoxFindFiles(const char* pszFolder, const char* pszPattern)
{
    std::vector<std::string> names;
    std::string pattern = WoxNativePath(pszPattern);
    if (pattern.size() >= 4 && pattern.compare(pattern.size() - 4, 4, ".dll") == 0)
        pattern.replace(pattern.size() - 4, 4, WoxSharedLibrarySuffix());
    std::string folder = WoxNativePath(pszFolder);
    DIR* pDir = opendir(folder.empty() ? "." : folder.c_str());
    if (!pDir)
        return names;
    while (dirent* pEntry = readdir(pDir))
    {
        if (fnmatch(pattern.c_str(), pEntry->d_name, FNM_PERIOD) != 0)
            continue;
        std::string full = folder + "/" + pEntry->d_name;
        struct stat st;
        if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.emplace_back(pEntry->d_name);
    }
    closedir(pDir);
    return names;
}

bool WoxCopyFile(const char* pszFrom, const char* pszTo)
{
    if (!pszFrom || !pszTo)
        return false;
    int fdIn = open(pszFrom, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fdIn < 0)
        return false;
    struct stat info;
    CAtomicFile out;
    bool bOk = fstat(fdIn, &info) == 0 && S_ISREG(info.st_mode) && out.Open(pszTo);
    char buffer[1 << 16];
    while (bOk)
    {
        ssize_t nRead = read(fdIn, buffer, sizeof buffer);
        if (nRead < 0 && errno == EINTR)
            continue;
        if (nRead <= 0)
        {
            bOk = nRead == 0 && out.Commit();
            break;
        }
        bOk = out.Write(buffer, static_cast<size_t>(nRead));
    }
    close(fdIn);
    return bOk;
}

bool WoxDeleteFile(const char* pszPath) { return pszPath && unlink(pszPath) == 0; }

bool WoxFileExists(const char* pszPath)
{
    struct stat st;
    return pszPath && stat(pszPath, &st) == 0;
}

long long WoxFileSize(const char* pszPath)
{
    struct stat st;
    if (!pszPath || stat(pszPath, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

std::string WoxTempFolder()
{
    const char* pszTmp = getenv("TMPDIR");
    std::string folder = (pszTmp && *pszTmp) ? pszTmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string WoxRealPath(const char* pszPath)
{
    if (!pszPath)
        return {};
    char buffer[PATH_MAX];
    return realpath(pszPath, buffer) ? std::string(buffer) : std::string();
}

void WoxSleep(unsigned int nMilliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds)); }

long WoxPeakResidentKiB()
{
    struct rusage usage = {};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
}

bool WoxIsTerminal(std::FILE* pStream)
{
    return pStream && isatty(fileno(pStream)) == 1;
}

std::string WoxExecutableFolder()
{
    char szExe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", szExe, sizeof szExe - 1);
    std::string exe = n > 0 ? std::string(szExe, static_cast<size_t>(n)) : std::string();
    size_t nSlash = exe.find_last_of('/');
    return nSlash == std::string::npos ? std::string(".") : exe.substr(0, nSlash);
}

std::string WoxMakeTempFolder(const char* pszPrefix)
{
    std::string pattern = WoxTempFolder() + "/" + (pszPrefix ? pszPrefix : "wox") + "-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}
