#pragma once
// Thread Library objects (events, mutexes) and the task interface the host thread pool runs.

#include "Dynamic.h"
#include "WoxHeap.h"
#include "WoxTypes.h"

class IWoxLibMgr;
class IWoxRegistry;
class IWoxErrorReporter;

// An event made by "CreateTdEvent". Create(1, 0, 0, 0) makes a manual-reset event that is not
// signalled.
class ITdEvent : public IDynamic
{
public:
    virtual int Create(int bManualReset, int bInitialState, const char* pszName, void* pSecurity) = 0;
    virtual int SetEvent() = 0;
    virtual int ResetEvent() = 0;
    // 0 when the event is signalled within nTimeoutMs (-1 waits without limit, 0 polls);
    // non-zero on time-out or failure.
    virtual int Wait(int nTimeoutMs) = 0;
    virtual HWOXWAIT GetWaitHandle() = 0;

protected:
    ~ITdEvent() = default;
};

// A mutex made by "CreateTdMutex". Create(0, 0, 0) makes it unowned. Ownership is per thread and
// recursive; only the owning thread can release it.
class ITdMutex : public IDynamic
{
public:
    virtual int Create(int bInitialOwner, const char* pszName, void* pSecurity) = 0;
    // 0 when the calling thread owns the mutex within nTimeoutMs (-1 = without limit).
    virtual int Wait(int nTimeoutMs) = 0;
    virtual int ReleaseMutex() = 0;
    // Waits for the mutex or hOther, whichever comes first. Answers 1 when hOther fired first
    // (the mutex is not taken), 0 when the caller now owns the mutex, -1 on time-out or failure.
    virtual int WaitMutexOrHandle(HWOXWAIT hOther, int nTimeoutMs, int bWaitAll) = 0;
    virtual HWOXWAIT GetWaitHandle() = 0;

protected:
    ~ITdMutex() = default;
};

// A task the host thread pool runs. RunThread is the body, the only operation the pool calls (on
// one of its threads); the others belong to the task base and are called on the owning dialog's
// thread.
class ITdThreadHandler
{
public:
    virtual int RunThread() = 0;
    virtual HWOXHEAP SetHeap(HWOXHEAP hHeap) = 0;
    virtual void StopThread(int bRelease) = 0;
    virtual int InitThread(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) = 0;

protected:
    ~ITdThreadHandler() = default;
};

typedef ITdEvent* (*PFN_CreateTdEvent)(HWOXHEAP hHeap);
typedef ITdMutex* (*PFN_CreateTdMutex)(HWOXHEAP hHeap);
