#pragma once
// The host thread pool: workers that run submitted tasks in submission order. At shutdown it runs
// what is still queued and joins its workers; owners stop long-running tasks first.
//
// A run may block for long: the editor's add task waits on its queue for the whole life of the
// window, and a run submitted behind a running one of the same task waits for its run mutex. So a
// submission that finds no idle worker starts another one (up to kMaxWorkers), and a task queued
// behind blocked runs is never starved by them. Started workers stay until shutdown.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "HostServices.h"

class CWoxThreadPool final : public IWoxThreadPool
{
public:
    static constexpr int kMaxWorkers = 64;

    // nWorkers are started at once.
    explicit CWoxThreadPool(int nWorkers = 3);
    ~CWoxThreadPool();
    CWoxThreadPool(const CWoxThreadPool&) = delete;
    CWoxThreadPool& operator=(const CWoxThreadPool&) = delete;

    // 0 when the pool is shutting down or the task is none.
    int SubmitTask(ITdThreadHandler* pTask) override;

    // Blocks until no task is queued or running.
    void WaitIdle();
    int WorkerCount();
    void Shutdown();

private:
    void Work();
    void StartWorker();   // under m_lock

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<ITdThreadHandler*> m_tasks;
    int m_nRunning = 0;
    int m_nIdle = 0;       // workers not running a task
    bool m_bStopping = false;
    std::vector<std::thread> m_workers;
};
