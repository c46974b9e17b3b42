#pragma once
// Runs a program as a child process with a time limit and records how it ended, what it wrote
// and its peak memory: for tests of whole commands, of hangs and of kills.

#include <gtest/gtest.h>

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

// For assertions on how a child ended: a failure names the exit code and shows the child's
// standard error, so a sanitizer report or a refusal explains itself.
inline testing::AssertionResult ExitedWith(const SChildResult& run, int nExpected)
{
    if (run.nExitCode == nExpected && !run.bTimedOut)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "exit code " << run.nExitCode << ", signal " << run.nSignal
                                       << (run.bTimedOut ? ", timed out" : "") << ", expected " << nExpected
                                       << "; its standard error:\n" << run.err;
}
