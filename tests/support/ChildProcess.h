#pragma once
// Runs a program as a child process with a time limit and records how it ended, what it wrote
// and its peak memory: for tests of whole commands, of hangs and of kills.

#include <string>
#include <vector>

struct SChildResult
{
    int nExitCode = -1;     // -1 when the child did not exit normally
    int nSignal = 0;        // the signal that ended it, 0 when it exited
    bool bTimedOut = false;  // killed at the time limit
    std::string out, err;
    long nPeakKiB = 0;      // peak resident memory
};

class CChildProcess
{
public:
    CChildProcess() = default;
    // Kills a child that is still running.
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // env adds "NAME=VALUE" entries to this process's environment; "NAME" alone removes one.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
    SChildResult Wait(int nTimeoutMs);

private:
    int m_pid = -1;
    std::string m_outPath, m_errPath;
};

// Start and Wait in one.
SChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env = {}, int nTimeoutMs = 20000);
