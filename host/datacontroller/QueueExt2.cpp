#include "QueueExt2.h"

#include <climits>
#include <cstring>
#include <new>

namespace
{
void FreeBlock(unsigned char* pBlock)
{
    delete[] pBlock;
}
}

CQueueExt2::~CQueueExt2()
{
    for (unsigned char* pBlock : m_elements)
        FreeBlock(pBlock);
}

int CQueueExt2::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize)
{
    if (nElementSize <= 0 || nElementSize > kMaxElementSize)
        return 0;
    CContainerGuard guard(m_lock, -1, nullptr);
    if (!m_elements.empty() && m_nElementSize != static_cast<size_t>(nElementSize))
        return 0;
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    m_nElementSize = static_cast<size_t>(nElementSize);
    return 1;
}

int CQueueExt2::Push(const void* pElement, int nWaitMs, WoxStopEvent pStop)
{
    if (!pElement)
        return 0;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || m_nElementSize == 0 || m_elements.size() >= INT_MAX)
        return 0;
    unsigned char* pBlock = new (std::nothrow) unsigned char[m_nElementSize];
    if (!pBlock)
        return 0;
    std::memcpy(pBlock, pElement, m_nElementSize);
    try
    {
        m_elements.push_back(pBlock);
    }
    catch (...)
    {
        FreeBlock(pBlock);
        return 0;
    }
    guard.MarkChanged();
    return 1;
}

int CQueueExt2::RemoveHead(int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || m_elements.empty())
        return 0;
    FreeBlock(m_elements.front());
    m_elements.pop_front();
    return 1;
}

void* CQueueExt2::WaitHead(int nWaitMs, WoxStopEvent pStop)
{
    CWaitDeadline deadline(nWaitMs);
    CContainerGuard guard(m_lock, deadline, pStop.Get());
    if (!guard.Owns())
        return nullptr;
    for (;;)
    {
        if (WoxStopRequested(pStop.Get()))
            return nullptr;
        if (!m_elements.empty())
            return m_elements.front();
        if (deadline.Expired())
            return nullptr;
        guard.WaitForChange(deadline, pStop.Get());
    }
}

int CQueueExt2::GetSize(int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    return guard.Owns() ? static_cast<int>(m_elements.size()) : 0;
}
