#pragma once
// The base of every background task. A task is made by its dialog, initialised once
// (InitThread, on the dialog's thread) and then submitted to the host thread pool any number of
// times; the pool calls RunThread on one of its threads. A task never touches a window: it posts
// work requests to controls.
//
// Run protocol: a body owns the run mutex from start to end (CWoxRunScope) and polls the stop
// event once per element of its loops. The dialog's thread ends a run with StopThread(1), changes
// the task's parameters and submits it again; runs of one task follow one another.

#include <condition_variable>
#include <mutex>

#include "Containers.h"
#include "HostServices.h"
#include "ThreadObjects.h"

class CWoxThreadBase : public ITdThreadHandler
{
public:
    explicit CWoxThreadBase(HWOXHEAP hHeap);
    // Stops a run in progress (when initialised), then releases the mutex and the event. A task
    // class whose body uses its own members calls StopAndWait() first in its destructor.
    virtual ~CWoxThreadBase();
    CWoxThreadBase(const CWoxThreadBase&) = delete;
    CWoxThreadBase& operator=(const CWoxThreadBase&) = delete;

    // The task body; runs on a pool thread.
    int RunThread() override = 0;
    HWOXHEAP SetHeap(HWOXHEAP hHeap) override;
    // Signals the stop event, waits until no run holds the run mutex, resets the event. With
    // bRelease 0 the caller keeps the mutex (and so holds back later runs) until it releases it.
    void StopThread(int bRelease) override;
    // Loads the Thread Library named in the registry and makes the stop event and run mutex.
    // 1 = ready, 0 = failure (nothing reported).
    int InitThread(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter) override;

    bool IsInitialized() const { return bInitialized != 0; }
    // True when the stop event is signalled (polls; any thread).
    bool IsStopRequested();
    // The stop event as the containers take it (empty before InitThread).
    WoxStopEvent StopEvent() const { return pStopEvent; }
    ITdMutex* RunMutex() const { return pRunMutex.Get(); }
    // Releases the run mutex kept by StopThread(0).
    void ReleaseRunMutex();

    // Submits one run to the pool and counts it until its body has ended (CWoxRunScope).
    int Submit(IWoxThreadPool* pThreadPool);
    // Ends every submitted run, queued ones included (they start, see the stop event and leave),
    // and waits until all have ended. A task object must not go while the pool still holds a
    // submission of it. User-interface thread.
    void StopAndWait();
    // Waits, without stopping them, until every submitted run has ended.
    void WaitUntilIdle();

protected:
    HWOXHEAP hHeap;
    HWOXMODULE hThreadLibrary;
    IWoxErrorReporter* pErrorReporter;
    IWoxLibMgr* pLibMgr;
    IWoxRegistry* pRegistry;
    IDynamicPtrTemplate<ITdEvent> pStopEvent;
    IDynamicPtrTemplate<ITdMutex> pRunMutex;
    char szThreadLibrary[WOX_MAX_PATH];
    int32_t bInitialized;

private:
    friend class CWoxRunScope;
    void RunEnded();

    std::mutex m_runLock;
    std::condition_variable m_runEnded;
    int m_nPendingRuns = 0;   // submitted by Submit and not yet ended
};

// The start and end of every task body: Begin waits for the run mutex or the stop event and
// answers false when the stop came first (the body then returns 1 at once); the scope releases
// the mutex when the body leaves while owning it, by any path.
class CWoxRunScope
{
public:
    explicit CWoxRunScope(CWoxThreadBase& task) : m_task(task) {}
    ~CWoxRunScope();
    CWoxRunScope(const CWoxRunScope&) = delete;
    CWoxRunScope& operator=(const CWoxRunScope&) = delete;

    bool Begin();
    bool OwnsMutex() const { return m_bOwned; }

private:
    CWoxThreadBase& m_task;
    bool m_bOwned = false;
};
