#pragma once
// Fault injection for the platform's file writes, so that crash and full-disk behaviour can be
// tested. Every write step of the platform's file layer (creating a file or folder, writing,
// flushing, renaming, locking) asks WoxFileFault() first. Off unless configured:
//   WOX_FILE_FAULT=fail:N   the N-th write step fails as on a full disk (ENOSPC)
//   WOX_FILE_FAULT=kill:N   the process kills itself (SIGKILL) at the N-th write step
// The environment is read at the first step; WoxSetFileFault sets the same from a test.

// True when this write step must fail (errno is then ENOSPC). Thread-safe.
bool WoxFileFault();

// "fail:N", "kill:N" or null (off); restarts the step count.
void WoxSetFileFault(const char* pszSpec);

// Write steps counted since the process began or the last WoxSetFileFault.
long WoxFileStepCount();
