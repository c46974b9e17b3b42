#pragma once
// The host thread pool: a few workers that run submitted tasks in submission order. At shutdown
// it runs what is still queued and joins its workers; owners stop long-running tasks first.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "HostServices.h"

class CWoxThreadPool final : public IWoxThreadPool
{
public:
    explicit CWoxThreadPool(int nWorkers = 3);
    ~CWoxThreadPool();
    CWoxThreadPool(const CWoxThreadPool&) = delete;
    CWoxThreadPool& operator=(const CWoxThreadPool&) = delete;

    // 0 when the pool is shutting down or the task is none.
    int SubmitTask(ITdThreadHandler* pTask) override;

    // Blocks until no task is queued or running.
    void WaitIdle();
    void Shutdown();

private:
    void Work();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<ITdThreadHandler*> m_tasks;
    int m_nRunning = 0;
    bool m_bStopping = false;
    std::vector<std::thread> m_workers;
};
