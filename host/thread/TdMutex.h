#pragma once
// CTdMutex: a mutex owned by one thread at a time, recursively (each successful wait must be
// matched by a release from the owning thread). Any thread may call any operation.

#include <atomic>

#include "ThreadObjects.h"
#include "WaitHub.h"

class CTdMutex final : public ITdMutex, public CWaitable
{
public:
    CTdMutex() = default;
    CTdMutex(const CTdMutex&) = delete;
    CTdMutex& operator=(const CTdMutex&) = delete;

    void AddReference() override;
    void Release() override;

    // Unnamed mutexes only; bInitialOwner makes the calling thread the owner.
    int Create(int bInitialOwner, const char* pszName, void* pSecurity) override;
    // 0 when the calling thread owns the mutex within nTimeoutMs; 1 on time-out, -1 before Create.
    int Wait(int nTimeoutMs) override;
    // 1 when released by its owner; 0 when the calling thread does not own it.
    int ReleaseMutex() override;
    // With bWaitAll 0: 1 when hOther is signalled (it is consumed, the mutex is not taken), 0 when
    // the caller now owns the mutex. When both are available at once hOther wins, so that a stop
    // requested before a run owns the mutex is always seen by that run. With bWaitAll non-zero:
    // waits until both are available, takes both and answers 0. -1 on time-out, before Create or
    // for a handle that is not one of this library's.
    int WaitMutexOrHandle(HWOXWAIT hOther, int nTimeoutMs, int bWaitAll) override;
    HWOXWAIT GetWaitHandle() override;

    bool IsSignalledFor(std::thread::id self) const override;
    void Consume(std::thread::id self) override;

private:
    ~CTdMutex() = default;

    std::atomic<int> m_nReferences{0};
    // Under the hub lock:
    bool m_bCreated = false;
    std::thread::id m_owner; // default id = not owned
    int m_nRecursion = 0;
};
