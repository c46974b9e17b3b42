#include "ContainerLock.h"

bool WoxStopRequested(ITdEvent* pStop)
{
    return pStop && pStop->Wait(0) == 0;
}

CWaitDeadline::CWaitDeadline(int nWaitMs)
{
    if (nWaitMs == 0)
        m_bTryOnce = true;
    else if (nWaitMs > 0)
        m_end = Clock::now() + std::chrono::milliseconds(nWaitMs);
}

std::optional<CWaitDeadline::Clock::time_point> CWaitDeadline::SliceEnd(bool bWatchStop) const
{
    if (!bWatchStop)
        return m_end;
    Clock::time_point slice = Clock::now() + std::chrono::milliseconds(kStopPollMs);
    return (m_end && *m_end < slice) ? *m_end : slice;
}

bool CContainerLock::AcquireContended(int nWaitMs, ITdEvent* pStop)
{
    return AcquireContended(CWaitDeadline(nWaitMs), pStop);
}

bool CContainerLock::AcquireContended(const CWaitDeadline& deadline, ITdEvent* pStop)
{
    if (deadline.IsTryOnce())
        return false;
    // A holder keeps the lock for microseconds: a few yields usually see it free again.
    constexpr int kYields = 64;
    for (int i = 0; i < kYields; ++i)
    {
        std::this_thread::yield();
        if (TryAcquire())
            return true;
    }
    for (;;)
    {
        if (WoxStopRequested(pStop) || deadline.Expired())
            return false;
        auto retry = CWaitDeadline::Clock::now() + std::chrono::milliseconds(kLockRetryMs);
        auto end = deadline.SliceEnd(false);
        std::this_thread::sleep_until(end && *end < retry ? *end : retry);
        if (TryAcquire())
            return true;
    }
}

void CContainerLock::WakeChangeWaiters()
{
    // Taking the waiters' lock orders this wake after a waiter's last look at the change count.
    {
        std::lock_guard<std::mutex> guard(m_changeLock);
    }
    m_changed.notify_all();
}

void CContainerLock::WaitForChange(const CWaitDeadline& deadline, ITdEvent* pStop)
{
    if (deadline.Expired())
        return;
    const unsigned nSeen = m_nChanges.load(std::memory_order_relaxed);
    m_nChangeWaiters.fetch_add(1, std::memory_order_relaxed);
    Release();
    {
        std::unique_lock<std::mutex> waiting(m_changeLock);
        auto bChanged = [this, nSeen] { return m_nChanges.load(std::memory_order_relaxed) != nSeen; };
        if (auto end = deadline.SliceEnd(pStop != nullptr))
            m_changed.wait_until(waiting, *end, bChanged);
        else
            m_changed.wait(waiting, bChanged);
    }
    // The caller goes on holding the lock, whatever the deadline says by now.
    Acquire(CWaitDeadline(-1), nullptr);
    m_nChangeWaiters.fetch_sub(1, std::memory_order_relaxed);
}
