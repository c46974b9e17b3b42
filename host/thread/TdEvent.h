#pragma once
// CTdEvent: a manual- or auto-reset event. Any thread may call any operation.

#include <atomic>

#include "ThreadObjects.h"
#include "WaitHub.h"

class CTdEvent final : public ITdEvent, public CWaitable
{
public:
    CTdEvent() = default;
    CTdEvent(const CTdEvent&) = delete;
    CTdEvent& operator=(const CTdEvent&) = delete;

    void AddReference() override;
    void Release() override;

    // Unnamed events only: a name and security attributes are accepted and ignored. Creating
    // again starts the event afresh.
    int Create(int bManualReset, int bInitialState, const char* pszName, void* pSecurity) override;
    int SetEvent() override;
    int ResetEvent() override;
    // 0 when signalled within nTimeoutMs (an auto-reset event is then reset); 1 on time-out,
    // -1 before Create.
    int Wait(int nTimeoutMs) override;
    HWOXWAIT GetWaitHandle() override;

    bool IsSignalledFor(std::thread::id self) const override;
    void Consume(std::thread::id self) override;
    uint64_t SetCount() const override { return m_nSets; }

private:
    ~CTdEvent() = default;

    std::atomic<int> m_nReferences{0};
    // Under the hub lock:
    bool m_bCreated = false;
    bool m_bManualReset = true;
    bool m_bSignalled = false;
    uint64_t m_nSets = 0;   // SetEvent calls of a manual-reset event
    // A copy of the state written under the hub lock, read without it: a poll (time-out 0) of a
    // created event that is not signalled answers at once. Tasks poll their stop event for every
    // item they handle, and the hub lock is shared by every waitable object.
    enum : int { kNotCreated, kClear, kSignalled };
    std::atomic<int> m_nPollState{kNotCreated};
};

