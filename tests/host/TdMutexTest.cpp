// CTdMutex: recursive ownership per thread and the combined wait for the mutex or an event, as
// the background tasks' run protocol uses them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ThreadLibrary.h"

namespace
{
using EventPtr = IDynamicPtrTemplate<ITdEvent>;
using MutexPtr = IDynamicPtrTemplate<ITdMutex>;

EventPtr NewStopEvent()
{
    EventPtr pEvent(WoxCreateTdEvent(nullptr));
    EXPECT_TRUE(pEvent->Create(1, 0, nullptr, nullptr));
    return pEvent;
}

MutexPtr NewMutex()
{
    MutexPtr pMutex(WoxCreateTdMutex(nullptr));
    EXPECT_TRUE(pMutex->Create(0, nullptr, nullptr));
    return pMutex;
}

// The answer of Wait(0) from a fresh thread, which never owns the mutex.
int WaitFromOtherThread(ITdMutex* pMutex)
{
    int nResult = -2;
    std::thread other([&] {
        nResult = pMutex->Wait(0);
        if (nResult == 0)
            pMutex->ReleaseMutex();
    });
    other.join();
    return nResult;
}
}

TEST(TdMutex, OwnershipIsRecursiveAndPerThread)
{
    MutexPtr pMutex = NewMutex();
    ASSERT_EQ(pMutex->Wait(-1), 0);
    ASSERT_EQ(pMutex->Wait(0), 0) << "the owner may take it again";
    EXPECT_NE(WaitFromOtherThread(pMutex.Get()), 0);

    int nForeignRelease = -1;
    std::thread other([&] { nForeignRelease = pMutex->ReleaseMutex(); });
    other.join();
    EXPECT_EQ(nForeignRelease, 0) << "only the owner releases";

    ASSERT_TRUE(pMutex->ReleaseMutex());
    EXPECT_NE(WaitFromOtherThread(pMutex.Get()), 0) << "still owned once";
    ASSERT_TRUE(pMutex->ReleaseMutex());
    EXPECT_EQ(WaitFromOtherThread(pMutex.Get()), 0);
    EXPECT_FALSE(pMutex->ReleaseMutex()) << "no longer owned";
}

TEST(TdMutex, InitialOwnerIsTheCreatingThread)
{
    MutexPtr pMutex(WoxCreateTdMutex(nullptr));
    ASSERT_TRUE(pMutex->Create(1, nullptr, nullptr));
    EXPECT_NE(WaitFromOtherThread(pMutex.Get()), 0);
    EXPECT_TRUE(pMutex->ReleaseMutex());
    EXPECT_EQ(WaitFromOtherThread(pMutex.Get()), 0);
}

struct SCombinedCase
{
    const char* pszName;
    bool bStopSet;
    bool bMutexHeldElsewhere;
    int nExpected;      // answer of WaitMutexOrHandle(stop, 0, 0)
    bool bOwnedAfter;
};

class TdMutexCombined : public ::testing::TestWithParam<SCombinedCase>
{
};

TEST_P(TdMutexCombined, AnswersWhichCameFirst)
{
    const SCombinedCase& c = GetParam();
    MutexPtr pMutex = NewMutex();
    EventPtr pStop = NewStopEvent();
    if (c.bStopSet)
        pStop->SetEvent();

    std::atomic<bool> bHeld{false}, bLetGo{false};
    std::thread holder;
    if (c.bMutexHeldElsewhere)
    {
        holder = std::thread([&] {
            pMutex->Wait(-1);
            bHeld = true;
            while (!bLetGo)
                std::this_thread::yield();
            pMutex->ReleaseMutex();
        });
        while (!bHeld)
            std::this_thread::yield();
    }

    EXPECT_EQ(pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), 0, 0), c.nExpected);
    EXPECT_EQ(pMutex->ReleaseMutex() != 0, c.bOwnedAfter);
    EXPECT_EQ(pStop->Wait(0) == 0, c.bStopSet) << "a manual-reset stop stays set";

    bLetGo = true;
    if (holder.joinable())
        holder.join();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TdMutexCombined,
    ::testing::Values(SCombinedCase{"MutexFree", false, false, 0, true},
                      SCombinedCase{"StopSetMutexFree", true, false, 1, false},
                      SCombinedCase{"StopSetMutexHeld", true, true, 1, false},
                      SCombinedCase{"NeitherAvailable", false, true, -1, false}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST(TdMutex, CombinedWaitEndsWhenEitherSideComesLater)
{
    MutexPtr pMutex = NewMutex();
    EventPtr pStop = NewStopEvent();
    ASSERT_EQ(pMutex->Wait(-1), 0);

    // The stop comes while another thread waits: it answers 1 without the mutex.
    std::atomic<int> nResult{-2};
    std::thread run([&] { nResult = pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), -1, 0); });
    pStop->SetEvent();
    run.join();
    EXPECT_EQ(nResult, 1);

    // The mutex comes free while another thread waits: it answers 0 and owns it.
    pStop->ResetEvent();
    std::atomic<int> nOwnedRelease{-2};
    std::thread run2([&] {
        nResult = pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), -1, 0);
        nOwnedRelease = pMutex->ReleaseMutex();
    });
    pMutex->ReleaseMutex();
    run2.join();
    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(nOwnedRelease, 1);

    // A stop set and reset at once while another thread waits (a task's StopThread that finds
    // the run mutex free) still ends that wait with 1: the waiter must not take the mutex later.
    ASSERT_EQ(pMutex->Wait(-1), 0);
    std::atomic<bool> bWaiting{false};
    std::thread run3([&] {
        bWaiting = true;
        nResult = pMutex->WaitMutexOrHandle(pStop->GetWaitHandle(), -1, 0);
        if (nResult == 0)
            pMutex->ReleaseMutex();
    });
    while (!bWaiting)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pStop->SetEvent();
    pStop->ResetEvent();
    pMutex->ReleaseMutex();
    run3.join();
    EXPECT_EQ(nResult, 1);
}

TEST(TdMutex, WaitAllTakesBothOrNothing)
{
    MutexPtr pMutex = NewMutex();
    EventPtr pEvent(WoxCreateTdEvent(nullptr));
    ASSERT_TRUE(pEvent->Create(0, 0, nullptr, nullptr)); // auto-reset
    EXPECT_EQ(pMutex->WaitMutexOrHandle(pEvent->GetWaitHandle(), 0, 1), -1);
    EXPECT_FALSE(pMutex->ReleaseMutex()) << "the mutex alone is not enough";
    pEvent->SetEvent();
    EXPECT_EQ(pMutex->WaitMutexOrHandle(pEvent->GetWaitHandle(), 0, 1), 0);
    EXPECT_NE(pEvent->Wait(0), 0) << "the auto-reset event was consumed";
    EXPECT_TRUE(pMutex->ReleaseMutex());
    EXPECT_EQ(pMutex->WaitMutexOrHandle(nullptr, 0, 0), -1);
}
