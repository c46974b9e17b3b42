// CQueueExt2: first-in first-out order, the head wait and its release by the stop event.
#include <gtest/gtest.h>

#include <thread>

#include "DataController.h"
#include "ThreadLibrary.h"

namespace
{
using QueuePtr = IDynamicPtrTemplate<IQueueExt2>;
using EventPtr = IDynamicPtrTemplate<ITdEvent>;

QueuePtr NewQueue()
{
    QueuePtr pQueue(WoxCreateQueue2(nullptr));
    EXPECT_TRUE(pQueue->Initialize(nullptr, nullptr, nullptr, sizeof(int)));
    return pQueue;
}

EventPtr NewStopEvent()
{
    EventPtr pEvent(WoxCreateTdEvent(nullptr));
    EXPECT_TRUE(pEvent->Create(1, 0, nullptr, nullptr));
    return pEvent;
}

int HeadValue(void* pHead)
{
    return pHead ? *static_cast<int*>(pHead) : -1;
}
}

TEST(QueueExt2, ElementsLeaveInTheOrderTheyCame)
{
    QueuePtr pQueue = NewQueue();
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(pQueue->Push(&i));
    EXPECT_EQ(pQueue->GetSize(), 3);
    void* pFirst = pQueue->WaitHead(0);
    EXPECT_EQ(HeadValue(pFirst), 1);
    int nMore = 4;
    pQueue->Push(&nMore);
    EXPECT_EQ(pQueue->WaitHead(0), pFirst) << "the head stays put until it is removed";
    for (int nExpected = 1; nExpected <= 4; ++nExpected)
    {
        EXPECT_EQ(HeadValue(pQueue->WaitHead(-1)), nExpected);
        ASSERT_TRUE(pQueue->RemoveHead());
    }
    EXPECT_FALSE(pQueue->RemoveHead());
    EXPECT_EQ(pQueue->WaitHead(0), nullptr);
    EXPECT_EQ(pQueue->WaitHead(10), nullptr);
}

TEST(QueueExt2, StopEventAlreadySetWinsOverAWaitingElement)
{
    QueuePtr pQueue = NewQueue();
    EventPtr pStop = NewStopEvent();
    int nValue = 7;
    pQueue->Push(&nValue);
    pStop->SetEvent();
    EXPECT_EQ(pQueue->WaitHead(-1, pStop), nullptr);
    EXPECT_EQ(pQueue->GetSize(), 1) << "the element stays for the next run";
    pStop->ResetEvent();
    EXPECT_EQ(HeadValue(pQueue->WaitHead(-1, pStop)), 7);
}

TEST(QueueExt2, ProducerAndConsumerOnTwoThreads)
{
    constexpr int kCount = 2000;
    QueuePtr pQueue = NewQueue();
    EventPtr pStop = NewStopEvent();
    std::thread producer([&] {
        for (int i = 0; i < kCount; ++i)
            EXPECT_TRUE(pQueue->Push(&i));
    });
    // The consumer follows the editor's add task: wait, read, remove.
    for (int nExpected = 0; nExpected < kCount; ++nExpected)
    {
        void* pHead = pQueue->WaitHead(-1, pStop);
        ASSERT_NE(pHead, nullptr);
        ASSERT_EQ(HeadValue(pHead), nExpected);
        ASSERT_TRUE(pQueue->RemoveHead());
    }
    producer.join();
    EXPECT_EQ(pQueue->GetSize(), 0);

    // Then the window stops the task while it waits on the empty queue.
    void* pResult = &pResult;
    std::thread consumer([&] { pResult = pQueue->WaitHead(-1, pStop); });
    pStop->SetEvent();
    consumer.join();
    EXPECT_EQ(pResult, nullptr);
}
