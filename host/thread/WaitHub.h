#pragma once
// The Thread Library's one lock and one condition variable. Every event and mutex keeps its state
// under this lock and notifies the condition on every change, so a wait on any mix of objects
// (a mutex or another handle, whichever comes first) is a single predicate wait, with no lock
// ordering between objects and no lost wake-ups.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "WoxTypes.h"

struct SWaitHub
{
    std::mutex lock;
    std::condition_variable changed;
};

// The library's hub (made on first use and kept until the process ends, so that objects used
// while the process shuts down never meet a destroyed lock).
SWaitHub& WoxWaitHub();

// An object behind a wait handle. State is read and changed only under its hub's lock.
class CWaitable
{
public:
    // Tells a real wait handle of this library apart from stray pointers.
    static constexpr uint32_t kMagic = 0x54645761; // "aWdT"

    // Whether a wait by thread `self` would be satisfied now.
    virtual bool IsSignalledFor(std::thread::id self) const = 0;
    // Takes what the wait was for (an auto-reset event resets, a mutex becomes owned).
    virtual void Consume(std::thread::id self) = 0;
    // How often a manual-reset event has been set (0 for other objects). A wait that notes it at
    // its start counts a change as signalled: every thread waiting when such an event is set is
    // released, even when the event is reset again before that thread gets to look (a stop event
    // is set and reset around a run mutex that may be free at once).
    virtual uint64_t SetCount() const { return 0; }
    bool IsSignalledSince(std::thread::id self, uint64_t nSetCount) const { return IsSignalledFor(self) || SetCount() != nSetCount; }

    HWOXWAIT Handle() { return static_cast<HWOXWAIT>(this); }
    // The waitable behind a handle of this library instance, or none.
    static CWaitable* FromHandle(HWOXWAIT hWait);

protected:
    CWaitable() = default;
    ~CWaitable() { m_nMagic = 0; }

private:
    uint32_t m_nMagic = kMagic;
    SWaitHub* m_pHub = &WoxWaitHub();
};

// The wait limit: negative = without limit, 0 = a poll, > 0 milliseconds from now.
std::optional<std::chrono::steady_clock::time_point> WoxWaitEnd(int nTimeoutMs);

// Waits under the hub lock until bReady() holds or the end passes; answers bReady().
template <class Pred>
bool WoxWaitFor(std::unique_lock<std::mutex>& hub, const std::optional<std::chrono::steady_clock::time_point>& end, Pred bReady)
{
    if (!end)
    {
        WoxWaitHub().changed.wait(hub, bReady);
        return true;
    }
    // A poll (time-out 0, or one already passed) answers at once: the condition variable would
    // still give up the lock and make a call into the kernel, which a task polling its stop event
    // per record pays for every time.
    if (bReady())
        return true;
    if (std::chrono::steady_clock::now() >= *end)
        return false;
    return WoxWaitHub().changed.wait_until(hub, *end, bReady);
}
