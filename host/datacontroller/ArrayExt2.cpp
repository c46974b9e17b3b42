#include "ArrayExt2.h"

#include <climits>
#include <cstring>

int CArrayExt2::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize)
{
    if (nElementSize <= 0 || nElementSize > kMaxElementSize)
        return 0;
    CContainerGuard guard(m_lock, -1, nullptr);
    if (!m_elements.SetElementSize(static_cast<size_t>(nElementSize)))
        return 0;
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    return 1;
}

int CArrayExt2::Add(const void* pElement, int nWaitMs, WoxStopEvent pStop)
{
    if (!pElement)
        return 0;
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns() || m_elements.ElementSize() == 0 || m_elements.Size() >= INT_MAX)
        return 0;
    unsigned char* pBlock = m_elements.Append();
    if (!pBlock)
        return 0;
    std::memcpy(pBlock, pElement, m_elements.ElementSize());
    return 1;
}

bool CArrayExt2::CopyElements(std::vector<unsigned char>& copies, size_t& nElementSize, const CWaitDeadline& deadline, ITdEvent* pStop)
{
    CContainerGuard guard(m_lock, deadline, pStop);
    if (!guard.Owns())
        return false;
    nElementSize = m_elements.ElementSize();
    try
    {
        copies.resize(m_elements.Size() * nElementSize);
    }
    catch (...)
    {
        return false;
    }
    for (size_t i = 0; i < m_elements.Size(); ++i)
        std::memcpy(copies.data() + i * nElementSize, m_elements.At(i), nElementSize);
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
        if (!guard.Owns() || m_elements.ElementSize() == 0)
            return 0;
        nElementSize = m_elements.ElementSize();
    }

    // The source's elements, one after another.
    std::vector<unsigned char> copies;
    if (auto* pOwn = dynamic_cast<CArrayExt2*>(pSource))
    {
        size_t nSourceSize = 0;
        if (!pOwn->CopyElements(copies, nSourceSize, deadline, pStop.Get()) || nSourceSize != nElementSize)
            return 0;
    }
    else
    {
        // Another library instance: element by element through the interface.
        int nCount = pSource->GetSize(nWaitMs, pStop);
        for (int i = 0; i < nCount; ++i)
        {
            const auto* pElement = static_cast<const unsigned char*>(pSource->GetAt(i, 0, nWaitMs, pStop));
            if (!pElement)
                continue;
            try
            {
                copies.insert(copies.end(), pElement, pElement + nElementSize);
            }
            catch (...)
            {
                return 0;
            }
        }
    }

    const size_t nCopies = copies.size() / nElementSize;
    CContainerGuard guard(m_lock, deadline, pStop.Get());
    if (!guard.Owns() || m_elements.ElementSize() != nElementSize || nCopies > static_cast<size_t>(INT_MAX) - m_elements.Size() ||
        !m_elements.Reserve(nCopies))
        return 0;
    for (size_t i = 0; i < nCopies; ++i)
        std::memcpy(m_elements.Append(), copies.data() + i * nElementSize, nElementSize); // cannot fail after Reserve
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
    m_elements.Erase(nFirst, static_cast<size_t>(nCount));
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
    std::memmove(m_elements.At(static_cast<size_t>(nIndex)), pElement, m_elements.ElementSize());
    return 1;
}

int CArrayExt2::RemoveAll(int /*nReserved*/, int nWaitMs, WoxStopEvent pStop)
{
    CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
    if (!guard.Owns())
        return 0;
    m_elements.RemoveAll();
    return 1;
}
