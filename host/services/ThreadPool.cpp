#include "ThreadPool.h"

#include "ThreadObjects.h"

CWoxThreadPool::CWoxThreadPool(int nWorkers)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (int i = 0; i < (nWorkers < 1 ? 1 : nWorkers); ++i)
        StartWorker();
}

CWoxThreadPool::~CWoxThreadPool() { Shutdown(); }

int CWoxThreadPool::SubmitTask(ITdThreadHandler* pTask)
{
    if (!pTask)
        return 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bStopping)
            return 0;
        m_tasks.push_back(pTask);
        if (m_tasks.size() > static_cast<size_t>(m_nIdle) && m_workers.size() < static_cast<size_t>(kMaxWorkers))
            StartWorker();
    }
    m_wake.notify_one();
    return 1;
}

void CWoxThreadPool::WaitIdle()
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_idle.wait(guard, [this] { return m_tasks.empty() && m_nRunning == 0; });
}

void CWoxThreadPool::StartWorker()
{
    ++m_nIdle;
    m_workers.emplace_back(&CWoxThreadPool::Work, this);
}

int CWoxThreadPool::WorkerCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int>(m_workers.size());
}

void CWoxThreadPool::Shutdown()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bStopping)
            return;
        m_bStopping = true;
    }
    m_wake.notify_all();
    for (auto& worker : m_workers)
        worker.join();
    m_workers.clear();
}

void CWoxThreadPool::Work()
{
    std::unique_lock<std::mutex> guard(m_lock);
    for (;;)
    {
        m_wake.wait(guard, [this] { return m_bStopping || !m_tasks.empty(); });
        if (m_tasks.empty())
            return;   // stopping and drained
        ITdThreadHandler* pTask = m_tasks.front();
        m_tasks.pop_front();
        --m_nIdle;
        ++m_nRunning;
        guard.unlock();
        pTask->RunThread();
        guard.lock();
        --m_nRunning;
        ++m_nIdle;
        if (m_tasks.empty() && m_nRunning == 0)
            m_idle.notify_all();
    }
}
