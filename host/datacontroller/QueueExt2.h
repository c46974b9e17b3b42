#pragma once
// CQueueExt2: a first-in, first-out queue of fixed-size elements. Typically one thread pushes and
// another waits for the head, reads it and removes it. Any operation may be called from any
// thread; each takes the queue's own lock.

#include <deque>

#include "ContainerLock.h"
#include "Containers.h"
#include "RefCounted.h"

class CQueueExt2 final : public CRefCounted<CQueueExt2, IQueueExt2>
{
public:
    static constexpr int kMaxElementSize = 16 * 1024 * 1024;

    CQueueExt2() = default;
    CQueueExt2(const CQueueExt2&) = delete;
    CQueueExt2& operator=(const CQueueExt2&) = delete;

    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, int nElementSize) override;
    int Push(const void* pElement, int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int RemoveHead(int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    // A stop event that is already set wins over a waiting element, so a stopping consumer
    // leaves at once; the elements stay queued for the next run. The stop is seen within
    // kStopPollMs of being set.
    void* WaitHead(int nWaitMs = -1, WoxStopEvent pStop = {}) override;
    int GetSize(int nWaitMs = -1, WoxStopEvent pStop = {}) override;

private:
    friend class CRefCounted<CQueueExt2, IQueueExt2>;
    ~CQueueExt2();

    CContainerLock m_lock;
    std::deque<unsigned char*> m_elements; // each element in its own block
    size_t m_nElementSize = 0;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
};
