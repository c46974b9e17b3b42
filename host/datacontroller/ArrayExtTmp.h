#pragma once
// CArrayExtTmp<T>: an array of host records of type T (tree records, species records). Any
// thread may call any operation; each takes the array's own lock.

#include <atomic>
#include <climits>
#include <cstring>
#include <type_traits>

#include "ContainerLock.h"
#include "Containers.h"
#include "ElementIndex.h"
#include "RefCounted.h"

template <class T>
class CArrayExtTmp final : public CRefCounted<CArrayExtTmp<T>, IArrayExtTmp<T>>
{
    static_assert(std::is_trivially_copyable_v<T>, "records are copied as bytes");

public:
    CArrayExtTmp() : m_elements(sizeof(T)) {}
    CArrayExtTmp(const CArrayExtTmp&) = delete;
    CArrayExtTmp& operator=(const CArrayExtTmp&) = delete;

    // Keeps the (possibly null) services.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) override
    {
        CContainerGuard guard(m_lock, -1, nullptr);
        m_pLibMgr = pLibMgr;
        m_pRegistry = pRegistry;
        m_pErrorReporter = pErrorReporter;
        return 1;
    }

    // Reads the size without the lock: it is a copy kept by the operations that change it, so a
    // filter loop that asks for it before every element pays no lock for it. Never waits.
    int GetSize(int /*nWaitMs*/ = -1, WoxStopEvent /*pStop*/ = {}) override { return m_nSize.load(std::memory_order_acquire); }

    int RemoveAll(int /*nReserved*/, int nWaitMs = -1, WoxStopEvent pStop = {}) override
    {
        CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
        if (!guard.Owns())
            return 0;
        m_elements.RemoveAll();
        m_nSize.store(0, std::memory_order_release);
        return 1;
    }

    int Add(const T* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) override
    {
        if (!pElement)
            return 0;
        CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
        if (!guard.Owns() || m_elements.Size() >= INT_MAX)
            return 0;
        unsigned char* pBlock = m_elements.Append();
        if (!pBlock)
            return 0;
        std::memcpy(pBlock, pElement, sizeof(T));
        m_nSize.store(static_cast<int>(m_elements.Size()), std::memory_order_release);
        return 1;
    }

    T* GetAt(int nIndex, int nWaitMs = -1, WoxStopEvent pStop = {}) override
    {
        if (nIndex < 0)
            return nullptr;
        CContainerGuard guard(m_lock, nWaitMs, pStop.Get());
        if (!guard.Owns() || static_cast<size_t>(nIndex) >= m_elements.Size())
            return nullptr;
        // Each block was made for one T and holds a byte copy of one.
        return reinterpret_cast<T*>(m_elements.At(static_cast<size_t>(nIndex)));
    }

private:
    friend class CRefCounted<CArrayExtTmp<T>, IArrayExtTmp<T>>;
    ~CArrayExtTmp() = default;

    CContainerLock m_lock;
    CElementIndex m_elements;
    std::atomic<int> m_nSize{0};   // m_elements.Size(), written under the lock
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
};
