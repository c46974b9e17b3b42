#include "FileFaults.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace
{
enum EMode
{
    kOff,
    kFail,
    kKill
};

std::atomic<int> g_mode{kOff};
std::atomic<long> g_nAt{0};
std::atomic<long> g_nSteps{0};
std::once_flag g_fromEnvironment;

void Configure(const char* pszSpec)
{
    int nMode = kOff;
    long nAt = 0;
    if (pszSpec && (std::strncmp(pszSpec, "fail:", 5) == 0 || std::strncmp(pszSpec, "kill:", 5) == 0))
    {
        char* pEnd = nullptr;
        nAt = std::strtol(pszSpec + 5, &pEnd, 10);
        if (pEnd && *pEnd == 0 && nAt > 0)
            nMode = pszSpec[0] == 'f' ? kFail : kKill;
    }
    g_nSteps = 0;
    g_nAt = nAt;
    g_mode = nMode;
}
}

bool WoxFileFault()
{
    std::call_once(g_fromEnvironment, [] {
        if (g_mode == kOff)
            Configure(std::getenv("WOX_FILE_FAULT"));
    });
    const long nStep = ++g_nSteps;
    const int nMode = g_mode;
    if (nMode == kOff || nStep != g_nAt)
        return false;
    if (nMode == kKill)
        ::kill(::getpid(), SIGKILL);
    errno = ENOSPC;
    return true;
}

void WoxSetFileFault(const char* pszSpec)
{
    std::call_once(g_fromEnvironment, [] {});
    Configure(pszSpec);
}

long WoxFileStepCount() { return g_nSteps; }
