// The task base over the host Thread Library and thread pool: initialisation failures, the run
// protocol, stopping, runs in a row, destruction with runs still queued.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "Files.h"
#include "ListCtrlEx.h"
#include "TestHost.h"
#include "ThreadBase.h"
#include "UiTestSupport.h"

namespace
{

// A task whose body posts one row per element to a list and loops until told to stop or its
// element count is reached. Counts bodies running at once.
class CCountingTask final : public CWoxThreadBase
{
public:
    explicit CCountingTask(HWOXHEAP hHeap) : CWoxThreadBase(hHeap) {}
    ~CCountingTask() override { StopAndWait(); }

    int RunThread() override
    {
        CWoxRunScope run(*this);
        if (!run.Begin())
        {
            m_nStoppedAtStart++;
            if (m_pEnded)
                ++*m_pEnded;
            return 1;
        }
        m_bStarted = true;
        const int nInside = ++m_nInside;
        m_nMaxInside = std::max(m_nMaxInside.load(), nInside);
        for (int i = 0; i < m_nElements; ++i)
        {
            if (IsStopRequested())
            {
                m_nStoppedInLoop++;
                break;
            }
            if (m_hList)
                WoxPostListItem(m_hList, WM_LVM_INSERTITEMEX, WoxNewListItem(-1, 0, std::to_string(m_nRuns.load()).c_str()));
            WoxSleep(1);
        }
        --m_nInside;
        ++m_nRuns;
        if (m_pEnded)
            ++*m_pEnded;
        return 1;
    }

    HWOXWND m_hList = 0;
    std::atomic<int>* m_pEnded = nullptr;   // counts ended bodies, outliving the task
    int m_nElements = 5;
    std::atomic<bool> m_bStarted{false};
    std::atomic<int> m_nRuns{0};
    std::atomic<int> m_nInside{0};
    std::atomic<int> m_nMaxInside{0};
    std::atomic<int> m_nStoppedAtStart{0};
    std::atomic<int> m_nStoppedInLoop{0};
};

class ThreadBaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_list.Attach(new QTableWidget(&m_window));
        m_list.InsertColumn(0, "Run", 50);
    }

    std::unique_ptr<CCountingTask> MakeTask()
    {
        auto pTask = std::make_unique<CCountingTask>(m_host.Heap());
        EXPECT_EQ(pTask->InitThread(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()), 1);
        pTask->m_hList = m_list.GetSafeHwnd();
        return pTask;
    }

    CTestHost m_host;
    QWidget m_window;
    CListCtrlEx m_list;
};

TEST_F(ThreadBaseTest, InitThreadMakesTheSynchronisationObjects)
{
    auto pTask = MakeTask();
    EXPECT_TRUE(pTask->IsInitialized());
    ASSERT_TRUE(pTask->StopEvent());
    EXPECT_NE(pTask->StopEvent()->Wait(0), 0) << "the stop event starts unsignalled";
    ASSERT_NE(pTask->RunMutex(), nullptr);
    EXPECT_EQ(pTask->RunMutex()->Wait(0), 0) << "the run mutex starts free";
    pTask->RunMutex()->ReleaseMutex();
}

// A Thread Library value that must make InitThread fail.
struct SInitCase
{
    const char* pszName;
    const char* pszLibrary;   // "IO" = the IO Library's path
};

class ThreadBaseInitTest : public ThreadBaseTest, public ::testing::WithParamInterface<SInitCase>
{
};

TEST_P(ThreadBaseInitTest, InitThreadFails)
{
    std::string library = GetParam().pszLibrary;
    if (library == "IO")
        library = m_host.Registry()->Get("Libraries", "IO Library");   // a host library without the thread exports
    m_host.Registry()->SetString("Libraries", "Thread Library", library);
    CCountingTask task(m_host.Heap());
    EXPECT_EQ(task.InitThread(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()), 0);
    EXPECT_FALSE(task.IsInitialized());
}

INSTANTIATE_TEST_SUITE_P(Cases, ThreadBaseInitTest,
                         ::testing::Values(SInitCase{"EmptyValue", ""}, SInitCase{"LibraryDoesNotLoad", "/nonexistent/libWoxThread.so"},
                                           SInitCase{"ExportsMissing", "IO"}),
                         [](const ::testing::TestParamInfo<SInitCase>& info) { return std::string(info.param.pszName); });

TEST_F(ThreadBaseTest, StopBeforeTheRunOwnsTheMutexEndsItWithoutPosting)
{
    auto pTask = MakeTask();
    pTask->StopThread(0);   // this thread keeps the run mutex
    ASSERT_TRUE(pTask->Submit(m_host.ThreadPool()));
    pTask->StopEvent()->SetEvent();
    m_host.ThreadPool()->WaitIdle();
    pTask->StopEvent()->ResetEvent();
    pTask->ReleaseRunMutex();

    EXPECT_EQ(pTask->m_nStoppedAtStart.load(), 1);
    EXPECT_FALSE(pTask->m_bStarted.load());
    PumpQueued();
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(ThreadBaseTest, StopThreadEndsARunningBodyAndWaitsForIt)
{
    auto pTask = MakeTask();
    pTask->m_nElements = 1000000;
    ASSERT_TRUE(pTask->Submit(m_host.ThreadPool()));
    ASSERT_TRUE(PumpUntil([&]() { return m_list.GetItemCount() > 0; })) << "the body is posting";
    pTask->StopThread(1);
    EXPECT_EQ(pTask->m_nRuns.load(), 1) << "StopThread returns only after the body left";
    EXPECT_EQ(pTask->m_nStoppedInLoop.load(), 1);
    EXPECT_NE(pTask->StopEvent()->Wait(0), 0) << "the stop event is reset for the next run";

    // What the run posted before it stopped stays.
    PumpQueued();
    const int nRows = m_list.GetItemCount();
    EXPECT_GT(nRows, 0);
    EXPECT_LT(nRows, 1000000);
}

TEST_F(ThreadBaseTest, SubmissionsRunOneAfterAnother)
{
    auto pTask = MakeTask();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(pTask->Submit(m_host.ThreadPool()));
    m_host.ThreadPool()->WaitIdle();
    EXPECT_EQ(pTask->m_nRuns.load(), 3);
    EXPECT_EQ(pTask->m_nMaxInside.load(), 1) << "the run mutex keeps runs of one task apart";
    PumpQueued();
    ASSERT_EQ(m_list.GetItemCount(), 15);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(m_list.GetItemText(i, 0), std::to_string(i / 5)) << "rows of one run stay together, runs in order";
}

TEST_F(ThreadBaseTest, DestroyingATaskWithQueuedRunsWaitsForThem)
{
    std::atomic<int> nEnded{0};
    for (int n = 1; n <= 10; ++n)
    {
        auto pTask = MakeTask();
        pTask->m_nElements = 100000;
        pTask->m_pEnded = &nEnded;
        ASSERT_TRUE(pTask->Submit(m_host.ThreadPool()));
        ASSERT_TRUE(pTask->Submit(m_host.ThreadPool()));
        pTask.reset();   // must not return while the pool still holds the task
        EXPECT_EQ(nEnded.load(), 2 * n) << "both runs ended before the task went";
    }
}

} // namespace
