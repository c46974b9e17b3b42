// The containers' lock: wait time, stop event and the change wait the queue relies on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ContainerLock.h"
#include "Dynamic.h"
#include "ThreadLibrary.h"

namespace
{
IDynamicPtrTemplate<ITdEvent> NewStopEvent()
{
    IDynamicPtrTemplate<ITdEvent> pEvent(WoxCreateTdEvent(nullptr));
    pEvent->Create(1, 0, nullptr, nullptr);
    return pEvent;
}
}

TEST(ContainerLock, HeldLockRefusesTryAndTimedWaits)
{
    CContainerLock lock;
    ASSERT_TRUE(lock.Acquire(CWaitDeadline(-1), nullptr));
    std::thread other([&] {
        EXPECT_FALSE(lock.Acquire(CWaitDeadline(0), nullptr));
        EXPECT_FALSE(lock.Acquire(CWaitDeadline(20), nullptr));
    });
    other.join();
    lock.Release();
    std::thread after([&] {
        EXPECT_TRUE(lock.Acquire(CWaitDeadline(0), nullptr));
        lock.Release();
    });
    after.join();
}

TEST(ContainerLock, UnlimitedWaitEndsWhenStopIsSetFromAnotherThread)
{
    CContainerLock lock;
    auto pStop = NewStopEvent();
    ASSERT_TRUE(lock.Acquire(CWaitDeadline(-1), nullptr));
    std::atomic<bool> bDone{false};
    std::thread waiter([&] {
        EXPECT_FALSE(lock.Acquire(CWaitDeadline(-1), pStop.Get()));
        bDone = true;
    });
    // Give the waiter time to block, so that the stop usually ends a wait in progress.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pStop->SetEvent();
    waiter.join();
    EXPECT_TRUE(bDone);
    lock.Release();
}

TEST(ContainerLock, UnlimitedWaitGetsTheLockOnceReleased)
{
    CContainerLock lock;
    auto pStop = NewStopEvent();
    ASSERT_TRUE(lock.Acquire(CWaitDeadline(-1), nullptr));
    std::thread waiter([&] {
        EXPECT_TRUE(lock.Acquire(CWaitDeadline(-1), pStop.Get()));
        lock.Release();
    });
    lock.Release();
    waiter.join();
}

TEST(ContainerLock, ChangeWaitWakesOnAChangeAndRetakesTheLock)
{
    CContainerLock lock;
    int nShared = 0; // guarded by the container lock
    std::thread waiter([&] {
        ASSERT_TRUE(lock.Acquire(CWaitDeadline(-1), nullptr));
        while (nShared == 0)
            lock.WaitForChange(CWaitDeadline(-1), nullptr);
        EXPECT_EQ(nShared, 1);
        lock.Release();
    });
    ASSERT_TRUE(lock.Acquire(CWaitDeadline(-1), nullptr));
    nShared = 1;
    lock.Release(true);
    waiter.join();
}
