#include "ArrayExt2.h"

#include <climits>
#include <cstring>

namespace
{
// Frees blocks that never made it into an index.
void FreeBlocks(std::vector<unsigned char*>& blocks)
{
    for (unsigned char* pBlock : blocks)
        CElementIndex::FreeBlock(pBlock);
    blocks.clear();
}
}

int CArrayExt2::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize)
{
    if (nElementSize <= 0 || nElementSize > kMaxElementSize)
        return 0;
    CContainerGuard guard(m_lock, -1, nullptr);
    if (m_elements.Size() > 0 && m_nElementSize != static_cast<size_t>(nElementSize))
        return 0;
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    m_nElementSize = static_cast<size_t>(nElementSize);
    return 1;
}

int CArrayExt2::Add(const void* pElement, int nWaitMs, WoxStopEvent pStop)
{
    if (!pElement)
        return 0;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || m_nElementSize == 0 || m_elements.Size() >= INT_MAX)
        return 0;
    unsigned char* pBlock = m_elements.TakeBlock(m_nElementSize);
    if (!pBlock)
        return 0;
    std::memcpy(pBlock, pElement, m_nElementSize);
    if (!m_elements.Append(pBlock))
    {
        CElementIndex::FreeBlock(pBlock);
        return 0;
    }
    return 1;
}

bool CArrayExt2::CopyElements(std::vector<unsigned char*>& copies, size_t& nElementSize, const CWaitDeadline& deadline, ITdEvent* pStop)
{
    CContainerGuard guard(m_lock, deadline, pStop);
    if (!guard.Owns())
        return false;
    nElementSize = m_nElementSize;
    try
    {
        copies.reserve(m_elements.Size());
    }
    catch (...)
    {
        return false;
    }
    for (size_t i = 0; i < m_elements.Size(); ++i)
    {
        unsigned char* pBlock = CElementIndex::NewBlock(m_nElementSize);
        if (!pBlock)
        {
            FreeBlocks(copies);
            return false;
        }
        std::memcpy(pBlock, m_elements.At(i), m_nElementSize);
        copies.push_back(pBlock);
    }
    return true;
}

int CArrayExt2::Copy(IArrayExt2* pSource, int /*nReserved*/, int nWaitMs, WoxStopEvent pStop)
{
    if (!pSource)
        return 0;
    CWaitDeadline deadline(nWaitMs);
    size_t nElementSize = 0;
    {
        CContainerGuard guard(m_lock, deadline, pStop.Get());
        if (!guard.Owns() || m_nElementSize == 0)
            return 0;
        nElementSize = m_nElementSize;
    }

    std::vector<unsigned char*> copies;
    if (auto* pOwn = dynamic_cast<CArrayExt2*>(pSource))
    {
        size_t nSourceSize = 0;
        if (!pOwn->CopyElements(copies, nSourceSize, deadline, pStop.Get()))
            return 0;
        if (nSourceSize != nElementSize)
        {
            FreeBlocks(copies);
            return 0;
        }
    }
    else
    {
        // Another library instance: element by element through the interface.
        int nCount = pSource->GetSize(nWaitMs, pStop);
        for (int i = 0; i < nCount; ++i)
        {
            const void* pElement = pSource->GetAt(i, 0, nWaitMs, pStop);
            if (!pElement)
                continue;
            unsigned char* pBlock = CElementIndex::NewBlock(nElementSize);
            if (!pBlock)
            {
                FreeBlocks(copies);
                return 0;
            }
            std::memcpy(pBlock, pElement, nElementSize);
            try
            {
                copies.push_back(pBlock);
            }
            catch (...)
            {
                CElementIndex::FreeBlock(pBlock);
                FreeBlocks(copies);
                return 0;
            }
        }
    }

    CContainerGuard guard(m_lock, deadline, pStop.Get());
    if (!guard.Owns() || m_nElementSize != nElementSize || copies.size() > static_cast<size_t>(INT_MAX) - m_elements.Size() ||
        !m_elements.Reserve(copies.size()))
    {
        FreeBlocks(copies);
        return 0;
    }
    for (unsigned char* pBlock : copies)
        m_elements.Append(pBlock); // cannot fail after Reserve
    copies.clear();
    return 1;
}

int CArrayExt2::RemoveAt(int nIndex, int nCount, int nWaitMs, WoxStopEvent pStop)
{
    if (nIndex < 0 || nCount <= 0)
        return 0;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns())
        return 0;
    size_t nFirst = static_cast<size_t>(nIndex);
    size_t nSize = m_elements.Size();
    if (nFirst >= nSize || static_cast<size_t>(nCount) > nSize - nFirst)
        return 0;
    m_elements.Erase(nFirst, static_cast<size_t>(nCount), m_nElementSize);
    return 1;
}

void* CArrayExt2::GetAt(int nIndex, int /*nReserved*/, int nWaitMs, WoxStopEvent pStop)
{
    if (nIndex < 0)
        return nullptr;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || static_cast<size_t>(nIndex) >= m_elements.Size())
        return nullptr;
    return m_elements.At(static_cast<size_t>(nIndex));
}

int CArrayExt2::GetSize(int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    return guard.Owns() ? static_cast<int>(m_elements.Size()) : 0;
}

int CArrayExt2::SetAt(int nIndex, int /*nReserved*/, const void* pElement, int nWaitMs, WoxStopEvent pStop)
{
    if (nIndex < 0 || !pElement)
        return 0;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || static_cast<size_t>(nIndex) >= m_elements.Size())
        return 0;
    // memmove: the caller may hand back the element's own address.
    std::memmove(m_elements.At(static_cast<size_t>(nIndex)), pElement, m_nElementSize);
    return 1;
}

int CArrayExt2::RemoveAll(int /*nReserved*/, int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns())
        return 0;
    m_elements.Clear();
    return 1;
}
