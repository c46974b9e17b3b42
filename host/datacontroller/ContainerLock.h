#pragma once
// The lock each container serialises its operations with, and the wait rules every operation
// shares: a wait time in milliseconds (negative = without limit, 0 = one try, > 0 = at most that
// long) and an optional stop event that ends the wait when it is signalled.
//
// The stop event comes from the Thread Library, which may be another module, so it can only be
// asked through ITdEvent::Wait(0). A wait that watches a stop event therefore sleeps in slices of
// at most kStopPollMs and looks at the event between slices: a stop set from another thread is
// seen within that time. A change wait without a stop event sleeps until it is woken or times
// out; a wait for the lock itself retries every kLockRetryMs (see CContainerLock).

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "ThreadObjects.h"

inline constexpr int kStopPollMs = 5;

// True when the stop event exists and is signalled.
bool WoxStopRequested(ITdEvent* pStop);

// The end of a wait, fixed when the operation starts so that every step of it shares one limit.
class CWaitDeadline
{
public:
    using Clock = std::chrono::steady_clock;

    explicit CWaitDeadline(int nWaitMs);

    bool IsTryOnce() const { return m_bTryOnce; }
    bool Expired() const { return m_bTryOnce || (m_end && Clock::now() >= *m_end); }
    // When the next sleep must end: the deadline, cut to one poll slice when a stop event is
    // watched; none = sleep until woken.
    std::optional<Clock::time_point> SliceEnd(bool bWatchStop) const;

private:
    bool m_bTryOnce = false;
    std::optional<Clock::time_point> m_end;
};

// A container's lock, held for the whole of one operation. Taking a free lock is one atomic
// compare-and-swap and giving it up one plain store, both inline: the containers' operations are
// short and almost never contended, and most of them (a GetAt, an Add) cost little more than
// the lock itself. A holder that finds the lock taken spins briefly, then sleeps in slices of
// kLockRetryMs until it gets the lock, its time runs out or its stop event is set (locks are held
// for microseconds, so this only matters under contention). Any thread may use it.
class CContainerLock
{
public:
    static constexpr int kLockRetryMs = 1;

    bool TryAcquire()
    {
        int nFree = 0;
        return m_nHeld.compare_exchange_strong(nFree, 1, std::memory_order_acquire, std::memory_order_relaxed);
    }
    // Takes the lock; false when the time ran out or the stop event was set while waiting.
    bool Acquire(const CWaitDeadline& deadline, ITdEvent* pStop) { return TryAcquire() || AcquireContended(deadline, pStop); }
    // Gives the lock up; bChanged wakes the holders waiting in WaitForChange.
    void Release(bool bChanged = false)
    {
        if (bChanged)
            m_nChanges.fetch_add(1, std::memory_order_relaxed);
        m_nHeld.store(0, std::memory_order_release);
        if (bChanged && m_nChangeWaiters.load(std::memory_order_relaxed) > 0)
            WakeChangeWaiters();
    }
    // Called while holding the lock: gives it up until another holder releases it with a change
    // or one wait slice ends, then holds it again (always: it is only ever held briefly).
    void WaitForChange(const CWaitDeadline& deadline, ITdEvent* pStop);

    // The rest of Acquire for a lock that was not free at once; out of line, so that the inline
    // fast path stays small.
    bool AcquireContended(int nWaitMs, ITdEvent* pStop);

private:
    bool AcquireContended(const CWaitDeadline& deadline, ITdEvent* pStop);
    void WakeChangeWaiters();

    std::atomic<int> m_nHeld{0};
    // Changed only while the lock is held; read by change waiters under m_changeLock.
    std::atomic<unsigned> m_nChanges{0};
    std::atomic<int> m_nChangeWaiters{0};
    std::mutex m_changeLock;
    std::condition_variable m_changed;
};

// Holds a container lock for one operation (RAII); Owns() tells whether it was taken.
class CContainerGuard
{
public:
    CContainerGuard(CContainerLock& lock, const CWaitDeadline& deadline, ITdEvent* pStop)
        : m_lock(lock), m_bOwns(lock.Acquire(deadline, pStop)) {}
    // The deadline is only worked out when the lock is not free at once.
    CContainerGuard(CContainerLock& lock, int nWaitMs, ITdEvent* pStop)
        : m_lock(lock), m_bOwns(lock.TryAcquire() || lock.AcquireContended(nWaitMs, pStop)) {}
    CContainerGuard(const CContainerGuard&) = delete;
    CContainerGuard& operator=(const CContainerGuard&) = delete;
    ~CContainerGuard()
    {
        if (m_bOwns)
            m_lock.Release(m_bChanged);
    }

    bool Owns() const { return m_bOwns; }
    // Wakes change waiters when the guard releases the lock.
    void MarkChanged() { m_bChanged = true; }
    void WaitForChange(const CWaitDeadline& deadline, ITdEvent* pStop) { m_lock.WaitForChange(deadline, pStop); }

private:
    CContainerLock& m_lock;
    bool m_bOwns;
    bool m_bChanged = false;
};
