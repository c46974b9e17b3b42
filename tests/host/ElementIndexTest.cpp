// The gap buffer behind the arrays, checked against a plain vector under mixed operations.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ElementIndex.h"

namespace
{
unsigned char* InsertValue(CElementIndex& index, size_t nAt, int nValue)
{
    unsigned char* pBlock = index.Insert(nAt);
    if (pBlock)
        std::memcpy(pBlock, &nValue, sizeof(int));
    return pBlock;
}

int ValueAt(const CElementIndex& index, size_t i)
{
    int nValue;
    std::memcpy(&nValue, index.At(i), sizeof(int));
    return nValue;
}

void ExpectSame(const CElementIndex& index, const std::vector<int>& model)
{
    ASSERT_EQ(index.Size(), model.size());
    for (size_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(ValueAt(index, i), model[i]) << "at " << i;
}
}

TEST(ElementIndex, MixedInsertsAndErasesKeepOrder)
{
    std::mt19937 random(7);
    CElementIndex index(sizeof(int));
    std::vector<int> model;
    int nNext = 0;
    for (int step = 0; step < 4000; ++step)
    {
        size_t nSize = model.size();
        switch (random() % 4)
        {
        case 0:
        case 1:
        {
            size_t nAt = (random() % 3 == 0) ? random() % (nSize + 1) : nSize;
            ASSERT_NE(InsertValue(index, nAt, nNext), nullptr);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(nAt), nNext++);
            break;
        }
        case 2:
            if (nSize > 0)
            {
                size_t nAt = random() % nSize;
                size_t nCount = 1 + random() % std::min<size_t>(3, nSize - nAt);
                index.Erase(nAt, nCount);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(nAt),
                            model.begin() + static_cast<std::ptrdiff_t>(nAt + nCount));
            }
            break;
        case 3:
            if (step % 250 == 0)
            {
                // Emptied both ways: giving the memory back, or keeping it for the next elements.
                step % 500 == 0 ? index.Clear() : index.RemoveAll();
                model.clear();
            }
            break;
        }
        if (step % 97 == 0)
            ExpectSame(index, model);
    }
    ExpectSame(index, model);
}

TEST(ElementIndex, ElementAddressesSurviveGrowthAndErasure)
{
    CElementIndex index(sizeof(int));
    std::vector<unsigned char*> blocks;
    for (int i = 0; i < 1000; ++i)
    {
        blocks.push_back(InsertValue(index, index.Size(), i));
        ASSERT_NE(blocks.back(), nullptr);
    }
    // Remove every other element from the back, then check the survivors by address.
    for (size_t i = 999; i < 1000; i -= 2)
        index.Erase(i, 1);
    ASSERT_EQ(index.Size(), 500u);
    for (size_t i = 0; i < 500; ++i)
    {
        EXPECT_EQ(index.At(i), blocks[2 * i]);
        EXPECT_EQ(ValueAt(index, i), static_cast<int>(2 * i));
    }
}

// Blocks are cut from shared chunks: neighbours must never overlap, whatever the element size,
// and removed blocks are handed out again before new memory is taken.
TEST(ElementIndex, BlocksOfOddSizesNeverOverlapAndSparesAreReused)
{
    for (size_t nSize : {1u, 7u, 112u, 8888u, 70000u})
    {
        CElementIndex index(nSize);
        for (int i = 0; i < 300; ++i)
        {
            unsigned char* pBlock = index.Append();
            ASSERT_NE(pBlock, nullptr);
            std::memset(pBlock, i & 0xFF, nSize);
        }
        for (size_t i = 0; i < index.Size(); ++i)
            for (size_t k : {size_t{0}, nSize - 1})
                ASSERT_EQ(index.At(i)[k], static_cast<unsigned char>(i & 0xFF)) << "size " << nSize << " element " << i;

        unsigned char* pRemoved = index.At(10);
        index.Erase(10, 1);
        EXPECT_EQ(index.SpareCount(), 1u);
        EXPECT_EQ(index.Insert(0), pRemoved);
        EXPECT_EQ(index.SpareCount(), 0u);
    }
}

TEST(ElementIndex, ElementSizeChangesOnlyWhileEmpty)
{
    CElementIndex index(4);
    ASSERT_NE(index.Append(), nullptr);
    EXPECT_FALSE(index.SetElementSize(8));
    EXPECT_TRUE(index.SetElementSize(4));
    index.Erase(0, 1);
    EXPECT_TRUE(index.SetElementSize(8));
    EXPECT_EQ(index.ElementSize(), 8u);
    EXPECT_EQ(index.SpareCount(), 0u); // spares of the old size are gone
}
