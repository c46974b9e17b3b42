#include "TdMutex.h"

void CTdMutex::AddReference()
{
    m_nReferences.fetch_add(1, std::memory_order_relaxed);
}

void CTdMutex::Release()
{
    if (m_nReferences.fetch_sub(1, std::memory_order_acq_rel) <= 1)
        delete this;
}

int CTdMutex::Create(int bInitialOwner, const char* /*pszName*/, void* /*pSecurity*/)
{
    std::lock_guard<std::mutex> hub(WoxWaitHub().lock);
    m_bCreated = true;
    m_owner = bInitialOwner ? std::this_thread::get_id() : std::thread::id();
    m_nRecursion = bInitialOwner ? 1 : 0;
    WoxWaitHub().changed.notify_all();
    return 1;
}

int CTdMutex::Wait(int nTimeoutMs)
{
    auto end = WoxWaitEnd(nTimeoutMs);
    std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> hub(WoxWaitHub().lock);
    if (!m_bCreated)
        return -1;
    if (!WoxWaitFor(hub, end, [this, self] { return IsSignalledFor(self); }))
        return 1;
    Consume(self);
    return 0;
}

int CTdMutex::ReleaseMutex()
{
    std::lock_guard<std::mutex> hub(WoxWaitHub().lock);
    if (!m_bCreated || m_nRecursion == 0 || m_owner != std::this_thread::get_id())
        return 0;
    if (--m_nRecursion == 0)
    {
        m_owner = std::thread::id();
        WoxWaitHub().changed.notify_all();
    }
    return 1;
}

int CTdMutex::WaitMutexOrHandle(HWOXWAIT hOther, int nTimeoutMs, int bWaitAll)
{
    auto end = WoxWaitEnd(nTimeoutMs);
    std::thread::id self = std::this_thread::get_id();
    CWaitable* pOther = CWaitable::FromHandle(hOther);
    if (!pOther)
        return -1;
    std::unique_lock<std::mutex> hub(WoxWaitHub().lock);
    if (!m_bCreated)
        return -1;
    if (bWaitAll)
    {
        if (!WoxWaitFor(hub, end, [&] { return IsSignalledFor(self) && pOther->IsSignalledFor(self); }))
            return -1;
        Consume(self);
        pOther->Consume(self);
        WoxWaitHub().changed.notify_all();
        return 0;
    }
    const uint64_t nOtherSets = pOther->SetCount();
    if (!WoxWaitFor(hub, end, [&] { return pOther->IsSignalledSince(self, nOtherSets) || IsSignalledFor(self); }))
        return -1;
    if (pOther->IsSignalledSince(self, nOtherSets))
    {
        pOther->Consume(self);
        WoxWaitHub().changed.notify_all();
        return 1;
    }
    Consume(self);
    return 0;
}

HWOXWAIT CTdMutex::GetWaitHandle()
{
    return Handle();
}

bool CTdMutex::IsSignalledFor(std::thread::id self) const
{
    return m_bCreated && (m_nRecursion == 0 || m_owner == self);
}

void CTdMutex::Consume(std::thread::id self)
{
    m_owner = self;
    ++m_nRecursion;
}
