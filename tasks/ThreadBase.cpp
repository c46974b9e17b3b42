#include "ThreadBase.h"

#include "HostObject.h"

CWoxThreadBase::CWoxThreadBase(HWOXHEAP hHeapIn)
    : hHeap(hHeapIn), hThreadLibrary(nullptr), pErrorReporter(nullptr), pLibMgr(nullptr), pRegistry(nullptr), szThreadLibrary{},
      bInitialized(0)
{
}

CWoxThreadBase::~CWoxThreadBase()
{
    StopAndWait();
    if (bInitialized)
        StopThread(1);
    pRunMutex.Clear();
    pStopEvent.Clear();
}

HWOXHEAP CWoxThreadBase::SetHeap(HWOXHEAP hHeapIn)
{
    hHeap = hHeapIn;
    return hHeap;
}

int CWoxThreadBase::InitThread(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn)
{
    pLibMgr = pLibMgrIn;
    pRegistry = pRegistryIn;
    pErrorReporter = pErrorReporterIn;
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Thread Library", szThreadLibrary, hThreadLibrary))
        return 0;
    if (!WoxCreateHostObject<PFN_CreateTdEvent>(hThreadLibrary, "CreateTdEvent", pStopEvent, hHeap) ||
        !pStopEvent->Create(1, 0, nullptr, nullptr))
        return 0;
    if (!WoxCreateHostObject<PFN_CreateTdMutex>(hThreadLibrary, "CreateTdMutex", pRunMutex, hHeap) ||
        !pRunMutex->Create(0, nullptr, nullptr))
        return 0;
    bInitialized = 1;
    return 1;
}

void CWoxThreadBase::StopThread(int bRelease)
{
    if (!pStopEvent || !pRunMutex)
        return;
    pStopEvent->SetEvent();
    pRunMutex->Wait(-1);
    pStopEvent->ResetEvent();
    if (bRelease)
        pRunMutex->ReleaseMutex();
}

bool CWoxThreadBase::IsStopRequested()
{
    return pStopEvent && pStopEvent->Wait(0) == 0;
}

void CWoxThreadBase::ReleaseRunMutex()
{
    if (pRunMutex)
        pRunMutex->ReleaseMutex();
}

int CWoxThreadBase::Submit(IWoxThreadPool* pThreadPool)
{
    if (!pThreadPool)
        return 0;
    {
        std::lock_guard<std::mutex> guard(m_runLock);
        ++m_nPendingRuns;
    }
    if (pThreadPool->SubmitTask(this))
        return 1;
    std::lock_guard<std::mutex> guard(m_runLock);
    --m_nPendingRuns;
    return 0;
}

void CWoxThreadBase::StopAndWait()
{
    std::unique_lock<std::mutex> lock(m_runLock);
    if (m_nPendingRuns == 0)
        return;
    if (pStopEvent)
        pStopEvent->SetEvent();
    m_runEnded.wait(lock, [this]() { return m_nPendingRuns == 0; });
    if (pStopEvent)
        pStopEvent->ResetEvent();
}

void CWoxThreadBase::WaitUntilIdle()
{
    std::unique_lock<std::mutex> lock(m_runLock);
    m_runEnded.wait(lock, [this]() { return m_nPendingRuns == 0; });
}

void CWoxThreadBase::RunEnded()
{
    // Notified under the lock: once the waiter sees the count, this thread no longer touches
    // the task.
    std::lock_guard<std::mutex> guard(m_runLock);
    if (m_nPendingRuns > 0)
        --m_nPendingRuns;
    m_runEnded.notify_all();
}

CWoxRunScope::~CWoxRunScope()
{
    if (m_bOwned)
        m_task.ReleaseRunMutex();
    m_task.RunEnded();
}

bool CWoxRunScope::Begin()
{
    ITdMutex* pMutex = m_task.RunMutex();
    WoxStopEvent pStop = m_task.StopEvent();
    if (!pMutex || !pStop)
        return false;
    // 0: the mutex is ours; 1: the stop event fired first; anything else: no run.
    m_bOwned = pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), -1, 0) == 0;
    return m_bOwned;
}
