#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <cstring>

#include "TestHost.h"
#include "ThreadObjects.h"

namespace
{
class CCountingTask : public ITdThreadHandler
{
public:
    int RunThread() override
    {
        ++nRuns;
        return 0;
    }
    HWOXHEAP SetHeap(HWOXHEAP hHeap) override { return hHeap; }
    void StopThread(int) override {}
    int InitThread(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*) override { return 1; }
    std::atomic<int> nRuns{0};
};

TEST(ThreadPoolTest, RunsEverySubmissionAndJoinsAtShutdown)
{
    CCountingTask task;
    {
        CWoxThreadPool pool(3);
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(pool.SubmitTask(&task), 1);
        pool.WaitIdle();
        EXPECT_EQ(task.nRuns, 100);
        for (int i = 0; i < 20; ++i)
            pool.SubmitTask(&task);
        pool.Shutdown();   // runs what is queued, then joins
        EXPECT_EQ(task.nRuns, 120);
        EXPECT_EQ(pool.SubmitTask(&task), 0) << "no submissions after shutdown";
    }
    EXPECT_EQ(task.nRuns, 120);
}

// A run that blocks (the editor's add task waits on its queue for the window's life) must not
// hold back a task queued behind it, however few workers the pool started with.
TEST(ThreadPoolTest, BlockedRunsDoNotStarveLaterTasks)
{
    class CBlockingTask : public CCountingTask
    {
    public:
        int RunThread() override
        {
            released.wait();
            return CCountingTask::RunThread();
        }
        std::shared_future<void> released;
    };
    std::promise<void> release;
    CBlockingTask blocking;
    blocking.released = release.get_future().share();
    CCountingTask task;
    CWoxThreadPool pool(1);
    ASSERT_EQ(pool.SubmitTask(&blocking), 1);
    ASSERT_EQ(pool.SubmitTask(&blocking), 1);
    ASSERT_EQ(pool.SubmitTask(&task), 1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (task.nRuns == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(task.nRuns, 1);
    EXPECT_EQ(pool.WorkerCount(), 3);
    release.set_value();
    pool.WaitIdle();
    EXPECT_EQ(blocking.nRuns, 2);
}

TEST(SpeciesMapTest, CatalogueAnswersPlantsByCode)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    EXPECT_GE(host.SpeciesMap()->Species().size(), 40u);

    SSpeciesRecord record = {};
    std::memcpy(record.szCode, "psme", 4);
    ASSERT_EQ(host.SpeciesMap()->LookupSpecies("Plants", &record), 1);
    EXPECT_STREQ(record.szScientificName, "Pseudotsuga menziesii");
    EXPECT_STREQ(record.szCommonName, "Douglas-fir");

    // A code filling all 10 characters has no terminator and must still be read safely.
    SSpeciesRecord unknown;
    std::memset(&unknown, 'Q', sizeof unknown);
    EXPECT_EQ(host.SpeciesMap()->LookupSpecies("Plants", &unknown), 0);
    std::memcpy(record.szCode, "TSHE", 5);
    EXPECT_EQ(host.SpeciesMap()->LookupSpecies("Animals", &record), 0);
}

TEST(HeapTest, BlocksAreZeroFilledStableAndStaleHandlesRefused)
{
    CWoxHeap heap;
    EXPECT_EQ(heap.Alloc(0), 0u);
    uint32_t hFirst = heap.Alloc(64);
    ASSERT_NE(hFirst, 0u);
    auto* pFirst = static_cast<unsigned char*>(heap.Data(hFirst));
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(pFirst[i], 0);
    std::memset(pFirst, 0xAB, 64);
    for (int i = 0; i < 1000; ++i)
        heap.Alloc(16);
    EXPECT_EQ(heap.Data(hFirst), pFirst) << "a block does not move while others are made";
    EXPECT_EQ(heap.Size(hFirst), 64u);

    heap.Free(hFirst);
    EXPECT_EQ(heap.Data(hFirst), nullptr);
    uint32_t hReused = heap.Alloc(8);   // takes the freed slot
    EXPECT_NE(hReused, hFirst);
    EXPECT_EQ(heap.Data(hFirst), nullptr) << "a stale handle never reaches the slot's new block";
    heap.Free(hFirst);
    EXPECT_NE(heap.Data(hReused), nullptr) << "freeing a stale handle leaves the new block alone";
    EXPECT_EQ(heap.BlockCount(), 1001u);
}
}
