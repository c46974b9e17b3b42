// CTdEvent: manual and auto reset, polling and waits released from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ThreadLibrary.h"

namespace
{
using EventPtr = IDynamicPtrTemplate<ITdEvent>;

EventPtr NewEvent(int bManualReset, int bInitialState)
{
    EventPtr pEvent(WoxCreateTdEvent(nullptr));
    EXPECT_TRUE(pEvent->Create(bManualReset, bInitialState, nullptr, nullptr));
    return pEvent;
}
}

TEST(TdEvent, ManualResetStaysSignalledUntilReset)
{
    EventPtr pEvent = NewEvent(1, 0);
    EXPECT_NE(pEvent->Wait(0), 0);
    EXPECT_NE(pEvent->Wait(10), 0);
    ASSERT_TRUE(pEvent->SetEvent());
    EXPECT_EQ(pEvent->Wait(0), 0);
    EXPECT_EQ(pEvent->Wait(-1), 0);
    ASSERT_TRUE(pEvent->ResetEvent());
    EXPECT_NE(pEvent->Wait(0), 0);
    EXPECT_EQ(NewEvent(1, 1)->Wait(0), 0) << "created signalled";
}

TEST(TdEvent, AutoResetReleasesOneWaitPerSet)
{
    EventPtr pEvent = NewEvent(0, 0);
    pEvent->SetEvent();
    EXPECT_EQ(pEvent->Wait(0), 0);
    EXPECT_NE(pEvent->Wait(0), 0) << "the successful wait reset it";
}

TEST(TdEvent, UnlimitedWaitIsReleasedFromAnotherThread)
{
    EventPtr pEvent = NewEvent(1, 0);
    std::atomic<int> nResult{-2};
    std::thread waiter([&] { nResult = pEvent->Wait(-1); });
    pEvent->SetEvent();
    waiter.join();
    EXPECT_EQ(nResult, 0);
}
