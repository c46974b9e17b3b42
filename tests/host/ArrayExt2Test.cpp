// CArrayExt2: element copies, removal while walking, Copy, and use from several threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "DataController.h"

namespace
{
// A record shaped like the scenario's treatment record: large, with a year up front.
struct SRecord
{
    int32_t nYear;
    int32_t nThread;
    char szBody[8880];
};
static_assert(sizeof(SRecord) == 8888);

SRecord MakeRecord(int nYear, int nThread = 0)
{
    SRecord record{};
    record.nYear = nYear;
    record.nThread = nThread;
    std::snprintf(record.szBody, sizeof(record.szBody), "record %d", nYear);
    return record;
}

using ArrayPtr = IDynamicPtrTemplate<IArrayExt2>;

ArrayPtr NewArray(int nElementSize = sizeof(SRecord))
{
    ArrayPtr pArray(WoxCreateArrayExt2(nullptr));
    EXPECT_TRUE(pArray->Initialize(nullptr, nullptr, nullptr, nElementSize));
    return pArray;
}

int YearAt(const ArrayPtr& pArray, int i)
{
    auto* pRecord = static_cast<SRecord*>(pArray->GetAt(i, 0));
    return pRecord ? pRecord->nYear : -1;
}

std::vector<int> Years(const ArrayPtr& pArray)
{
    std::vector<int> years;
    for (int i = 0; i < pArray->GetSize(); ++i)
        years.push_back(YearAt(pArray, i));
    return years;
}

ArrayPtr ArrayOfYears(int nFirst, int nCount)
{
    ArrayPtr pArray = NewArray();
    for (int i = 0; i < nCount; ++i)
    {
        SRecord record = MakeRecord(nFirst + i);
        EXPECT_TRUE(pArray->Add(&record));
    }
    return pArray;
}
}

TEST(ArrayExt2, InitializeAcceptsSensibleSizesOnly)
{
    for (int nSize : {0, -1, 0x7FFFFFFF, 4, 8888})
    {
        ArrayPtr pArray(WoxCreateArrayExt2(nullptr));
        const bool bSensible = nSize == 4 || nSize == 8888;
        EXPECT_EQ(pArray->Initialize(nullptr, nullptr, nullptr, nSize) != 0, bSensible) << nSize;
        SRecord record = MakeRecord(2030);
        EXPECT_EQ(pArray->Add(&record) != 0, bSensible) << "an array without a size takes nothing";
    }
}

TEST(ArrayExt2, ElementsAreCopiedInAndOut)
{
    ArrayPtr pArray = NewArray();
    SRecord record = MakeRecord(2030);
    ASSERT_TRUE(pArray->Add(&record));
    record.nYear = 1; // the array holds its own copy
    EXPECT_EQ(YearAt(pArray, 0), 2030);

    SRecord replacement = MakeRecord(2045);
    ASSERT_TRUE(pArray->SetAt(0, 0, &replacement));
    EXPECT_EQ(YearAt(pArray, 0), 2045);
    EXPECT_STREQ(static_cast<SRecord*>(pArray->GetAt(0, 0))->szBody, "record 2045");
    // Setting an element from its own address leaves it unchanged.
    ASSERT_TRUE(pArray->SetAt(0, 0, pArray->GetAt(0, 0)));
    EXPECT_EQ(YearAt(pArray, 0), 2045);
}

TEST(ArrayExt2, OutOfRangeRequestsAnswerNothing)
{
    ArrayPtr pArray = ArrayOfYears(2000, 3);
    SRecord record = MakeRecord(1);
    EXPECT_EQ(pArray->GetAt(-1, 0), nullptr);
    EXPECT_EQ(pArray->GetAt(3, 0), nullptr);
    EXPECT_FALSE(pArray->SetAt(3, 0, &record));
    EXPECT_FALSE(pArray->RemoveAt(2, 2));
    EXPECT_FALSE(pArray->RemoveAt(-1, 1));
    EXPECT_FALSE(pArray->RemoveAt(0, 0));
    EXPECT_FALSE(pArray->Add(nullptr));
    EXPECT_EQ(Years(pArray), (std::vector<int>{2000, 2001, 2002}));
}

TEST(ArrayExt2, RemovingWhileWalkingKeepsTheOthersInOrder)
{
    // The engine's pattern: remove at i without advancing i.
    ArrayPtr pArray = ArrayOfYears(0, 200);
    for (int i = 0; i < pArray->GetSize();)
    {
        if (YearAt(pArray, i) % 3 != 0)
        {
            ASSERT_TRUE(pArray->RemoveAt(i, 1));
        }
        else
            ++i;
    }
    std::vector<int> expected;
    for (int nYear = 0; nYear < 200; nYear += 3)
        expected.push_back(nYear);
    EXPECT_EQ(Years(pArray), expected);
}

TEST(ArrayExt2, CopyAppendsTheOtherArraysElements)
{
    ArrayPtr pTarget = ArrayOfYears(1, 2);
    ArrayPtr pSource = ArrayOfYears(10, 3);
    ASSERT_TRUE(pTarget->Copy(pSource.Get(), 1));
    EXPECT_EQ(Years(pTarget), (std::vector<int>{1, 2, 10, 11, 12}));
    EXPECT_EQ(Years(pSource), (std::vector<int>{10, 11, 12}));
    // Copies, not shared elements.
    EXPECT_NE(pTarget->GetAt(2, 0), pSource->GetAt(0, 0));

    ASSERT_TRUE(pSource->Copy(pSource.Get(), 1));
    EXPECT_EQ(Years(pSource), (std::vector<int>{10, 11, 12, 10, 11, 12}));

    ArrayPtr pSmall = NewArray(4);
    EXPECT_FALSE(pTarget->Copy(pSmall.Get(), 1)) << "element sizes differ";
    EXPECT_FALSE(pTarget->Copy(nullptr, 1));
}

TEST(ArrayExt2, CopyingBothWaysAtOnceDoesNotDeadlock)
{
    ArrayPtr pFirst = ArrayOfYears(0, 20);
    ArrayPtr pSecond = ArrayOfYears(100, 20);
    std::thread forward([&] {
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(pFirst->Copy(pSecond.Get(), 1));
    });
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(pSecond->Copy(pFirst.Get(), 1));
    forward.join();
    EXPECT_GE(pFirst->GetSize(), 120);
    EXPECT_GE(pSecond->GetSize(), 120);
}

TEST(ArrayExt2, AddsFromSeveralThreadsAllArrive)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 300;
    ArrayPtr pArray = NewArray();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i)
            {
                SRecord record = MakeRecord(i, t);
                EXPECT_TRUE(pArray->Add(&record));
                pArray->GetAt(pArray->GetSize() - 1, 0);
            }
        });
    for (auto& thread : threads)
        thread.join();
    ASSERT_EQ(pArray->GetSize(), kThreads * kPerThread);
    // Each thread's records arrive complete and in that thread's order.
    std::vector<int> next(kThreads, 0);
    for (int i = 0; i < pArray->GetSize(); ++i)
    {
        auto* pRecord = static_cast<SRecord*>(pArray->GetAt(i, 0));
        ASSERT_EQ(pRecord->nYear, next[pRecord->nThread]++);
        EXPECT_EQ(std::string(pRecord->szBody), "record " + std::to_string(pRecord->nYear));
    }
}

TEST(ArrayExt2, RemovalWalkWhileAnotherThreadAppends)
{
    ArrayPtr pArray = ArrayOfYears(0, 500);
    std::thread appender([&] {
        for (int i = 0; i < 500; ++i)
        {
            SRecord record = MakeRecord(1000 + i);
            EXPECT_TRUE(pArray->Add(&record));
        }
    });
    int nRemoved = 0;
    for (int i = 0; i < pArray->GetSize();)
    {
        auto* pRecord = static_cast<SRecord*>(pArray->GetAt(i, 0));
        if (pRecord && pRecord->nYear < 1000 && pRecord->nYear % 2 == 0 && pArray->RemoveAt(i, 1))
            ++nRemoved;
        else
            ++i;
    }
    appender.join();
    EXPECT_EQ(nRemoved, 250);
    EXPECT_EQ(pArray->GetSize(), 750);
    ASSERT_TRUE(pArray->RemoveAll(0));
    EXPECT_EQ(pArray->GetSize(), 0);
}
