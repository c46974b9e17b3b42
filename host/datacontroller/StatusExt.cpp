#include "StatusExt.h"

#include <climits>
#include <cstring>

#include "WoxText.h"

int CStatusExt::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter)
{
    CContainerGuard guard(m_lock, -1, nullptr);
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    return 1;
}

int CStatusExt::GetSize(int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    return guard.Owns() ? static_cast<int>(m_stands.Size()) : 0;
}

const char* CStatusExt::GetAt(int nIndex, int nWaitMs, WoxStopEvent pStop)
{
    if (nIndex < 0)
        return nullptr;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || static_cast<size_t>(nIndex) >= m_stands.Size())
        return nullptr;
    return reinterpret_cast<const char*>(m_stands.At(static_cast<size_t>(nIndex)));
}

int CStatusExt::Add(const char* pszStand, int nWaitMs, WoxStopEvent pStop)
{
    if (!pszStand)
        return 0;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || m_stands.Size() >= INT_MAX)
        return 0;
    unsigned char* pBlock = m_stands.Append();
    if (!pBlock)
        return 0;
    // Zero-filled first, so the last byte terminates the widest identifier.
    std::memset(pBlock, 0, kStandWidth + 1);
    WoxCopyText(reinterpret_cast<char*>(pBlock), kStandWidth, pszStand);
    return 1;
}

int CStatusExt::RemoveAll(int /*nReserved*/, int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns())
        return 0;
    m_stands.Clear();
    return 1;
}
