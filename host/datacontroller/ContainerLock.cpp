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

bool CContainerLock::Acquire(const CWaitDeadline& deadline, ITdEvent* pStop)
{
    if (m_mutex.try_lock())
        return true;
    if (deadline.IsTryOnce())
        return false;
    if (!pStop && !deadline.SliceEnd(false))
    {
        m_mutex.lock();
        return true;
    }
    for (;;)
    {
        if (WoxStopRequested(pStop) || deadline.Expired())
            return false;
        auto retry = CWaitDeadline::Clock::now() + std::chrono::milliseconds(kLockRetryMs);
        auto end = deadline.SliceEnd(false);
        std::this_thread::sleep_until(end && *end < retry ? *end : retry);
        if (m_mutex.try_lock())
            return true;
    }
}

void CContainerLock::Release(bool bChanged)
{
    bool bNotify = false;
    if (bChanged)
    {
        ++m_nChanges;
        bNotify = m_nWaiters > 0;
    }
    m_mutex.unlock();
    if (bNotify)
        m_changed.notify_all();
}

void CContainerLock::WaitForChange(const CWaitDeadline& deadline, ITdEvent* pStop)
{
    if (deadline.Expired())
        return;
    // The caller holds m_mutex; the condition gives it up while sleeping and retakes it.
    std::unique_lock<std::mutex> held(m_mutex, std::adopt_lock);
    unsigned nSeen = m_nChanges;
    auto bChanged = [this, nSeen] { return m_nChanges != nSeen; };
    ++m_nWaiters;
    if (auto end = deadline.SliceEnd(pStop != nullptr))
        m_changed.wait_until(held, *end, bChanged);
    else
        m_changed.wait(held, bChanged);
    --m_nWaiters;
    held.release();
}
