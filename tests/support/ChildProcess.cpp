#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "Files.h"

extern char** environ;

namespace
{
std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string NewCaptureFile()
{
    std::string path = WoxTempFolder() + "/wox-child-XXXXXX";
    int fd = ::mkstemp(path.data());
    if (fd < 0)
        return {};
    ::close(fd);
    return path;
}
}

CChildProcess::~CChildProcess()
{
    if (m_pid > 0)
    {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    ::unlink(m_outPath.c_str());
    ::unlink(m_errPath.c_str());
}

bool CChildProcess::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    if (argv.empty() || m_pid > 0)
        return false;
    m_outPath = NewCaptureFile();
    m_errPath = NewCaptureFile();
    // Everything the child needs is built before fork: after it only exec-safe calls remain.
    std::vector<std::string> entries;
    for (char** p = environ; *p; ++p)
    {
        std::string entry = *p;
        std::string name = entry.substr(0, entry.find('='));
        bool bOverridden = false;
        for (const std::string& change : env)
            bOverridden = bOverridden || change.substr(0, change.find('=')) == name;
        if (!bOverridden)
            entries.push_back(entry);
    }
    for (const std::string& change : env)
        if (change.find('=') != std::string::npos)
            entries.push_back(change);
    std::vector<char*> envp, args;
    for (std::string& entry : entries)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string& arg : argCopy)
        args.push_back(arg.data());
    args.push_back(nullptr);
    int fdOut = ::open(m_outPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    int fdErr = ::open(m_errPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    int fdIn = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_pid = ::fork();
    if (m_pid == 0)
    {
        ::dup2(fdIn, 0);
        ::dup2(fdOut, 1);
        ::dup2(fdErr, 2);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    ::close(fdOut);
    ::close(fdErr);
    ::close(fdIn);
    return m_pid > 0;
}

SChildResult CChildProcess::Wait(int nTimeoutMs)
{
    SChildResult result;
    if (m_pid <= 0)
        return result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    int nStatus = 0;
    struct rusage usage = {};
    for (;;)
    {
        pid_t done = ::wait4(m_pid, &nStatus, WNOHANG, &usage);
        if (done == m_pid)
            break;
        if (std::chrono::steady_clock::now() > deadline)
        {
            result.bTimedOut = true;
            ::kill(m_pid, SIGKILL);
            ::wait4(m_pid, &nStatus, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_pid = -1;
    if (WIFEXITED(nStatus))
        result.nExitCode = WEXITSTATUS(nStatus);
    else if (WIFSIGNALED(nStatus))
        result.nSignal = WTERMSIG(nStatus);
    result.nPeakKiB = usage.ru_maxrss;
    result.out = Slurp(m_outPath);
    result.err = Slurp(m_errPath);
    return result;
}

SChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env, int nTimeoutMs)
{
    CChildProcess child;
    if (!child.Start(argv, env))
        return {};
    return child.Wait(nTimeoutMs);
}
