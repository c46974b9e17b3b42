#pragma once
// CArrayExt2: an array of fixed-size elements, the size given to Initialize. Any thread may call
// any operation; each takes the array's own lock, honouring the wait time and stop event.

#include "ContainerLock.h"
#include "Containers.h"
#include "ElementIndex.h"
#include "RefCounted.h"

class CArrayExt2 final : public CRefCounted<CArrayExt2, IArrayExt2>
{
public:
    // The largest element size Initialize accepts.
    static constexpr int kMaxElementSize = 16 * 1024 * 1024;

    CArrayExt2() = default;
    CArrayExt2(const CArrayExt2&) = delete;
    CArrayExt2& operator=(const CArrayExt2&) = delete;

    // Keeps the (possibly null) services; fails for a size outside 1..kMaxElementSize or for a
    // different size while the array holds elements.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize) override;
    int Add(const void* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    // pSource may be this array. Its elements are copied under its own lock first and appended
    // under this array's lock afterwards, so two arrays copying into each other cannot deadlock.
    // A source from another library instance is read through its interface; its element size
    // must then match, as the contract demands.
    int Copy(IArrayExt2* pSource, int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int RemoveAt(int nIndex, int nCount, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    void* GetAt(int nIndex, int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int SetAt(int nIndex, int nReserved, const void* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int RemoveAll(int nReserved, int nWaitMs = -1, WoxStopEvent pStop = {}) override;

private:
    friend class CRefCounted<CArrayExt2, IArrayExt2>;
    ~CArrayExt2() = default;

    // A copy of all elements one after another, taken under the lock; false when the lock or
    // memory was not had.
    bool CopyElements(std::vector<unsigned char>& copies, size_t& nElementSize, const CWaitDeadline& deadline, ITdEvent* pStop);

    CContainerLock m_lock;
    CElementIndex m_elements; // its element size is the array's, 0 before Initialize
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
};
