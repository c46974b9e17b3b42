#include "TdEvent.h"

void CTdEvent::AddReference()
{
    m_nReferences.fetch_add(1, std::memory_order_relaxed);
}

void CTdEvent::Release()
{
    if (m_nReferences.fetch_sub(1, std::memory_order_acq_rel) <= 1)
        delete this;
}

int CTdEvent::Create(int bManualReset, int bInitialState, const char* /*pszName*/, void* /*pSecurity*/)
{
    std::lock_guard<std::mutex> hub(WoxWaitHub().lock);
    m_bCreated = true;
    m_bManualReset = bManualReset != 0;
    m_bSignalled = bInitialState != 0;
    m_nPollState.store(m_bSignalled ? kSignalled : kClear, std::memory_order_release);
    WoxWaitHub().changed.notify_all();
    return 1;
}

int CTdEvent::SetEvent()
{
    std::lock_guard<std::mutex> hub(WoxWaitHub().lock);
    if (!m_bCreated)
        return 0;
    m_bSignalled = true;
    m_nPollState.store(kSignalled, std::memory_order_release);
    if (m_bManualReset)
        ++m_nSets;
    WoxWaitHub().changed.notify_all();
    return 1;
}

int CTdEvent::ResetEvent()
{
    std::lock_guard<std::mutex> hub(WoxWaitHub().lock);
    if (!m_bCreated)
        return 0;
    m_bSignalled = false;
    m_nPollState.store(kClear, std::memory_order_release);
    return 1;
}

int CTdEvent::Wait(int nTimeoutMs)
{
    if (nTimeoutMs == 0 && m_nPollState.load(std::memory_order_acquire) == kClear)
        return 1;
    auto end = WoxWaitEnd(nTimeoutMs);
    std::unique_lock<std::mutex> hub(WoxWaitHub().lock);
    if (!m_bCreated)
        return -1;
    const std::thread::id self = std::this_thread::get_id();
    const uint64_t nSets = m_nSets;
    if (!WoxWaitFor(hub, end, [&] { return IsSignalledSince(self, nSets); }))
        return 1;
    Consume(self);
    return 0;
}

HWOXWAIT CTdEvent::GetWaitHandle()
{
    return Handle();
}

bool CTdEvent::IsSignalledFor(std::thread::id /*self*/) const
{
    return m_bSignalled;
}

void CTdEvent::Consume(std::thread::id /*self*/)
{
    if (!m_bManualReset)
    {
        m_bSignalled = false;
        m_nPollState.store(kClear, std::memory_order_release);
    }
}
