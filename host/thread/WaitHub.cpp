#include "WaitHub.h"

SWaitHub& WoxWaitHub()
{
    // Never destroyed: see the declaration.
    static SWaitHub* pHub = new SWaitHub;
    return *pHub;
}

CWaitable* CWaitable::FromHandle(HWOXWAIT hWait)
{
    auto* pWaitable = static_cast<CWaitable*>(hWait);
    // A handle of another instance of this library answers to another lock: refuse it rather
    // than read its state unguarded.
    if (!pWaitable || pWaitable->m_nMagic != kMagic || pWaitable->m_pHub != &WoxWaitHub())
        return nullptr;
    return pWaitable;
}

std::optional<std::chrono::steady_clock::time_point> WoxWaitEnd(int nTimeoutMs)
{
    if (nTimeoutMs < 0)
        return std::nullopt;
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
}
