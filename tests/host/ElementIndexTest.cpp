// The gap buffer behind the arrays, checked against a plain vector under mixed operations.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ElementIndex.h"

namespace
{
unsigned char* Block(int nValue)
{
    unsigned char* pBlock = CElementIndex::NewBlock(sizeof(int));
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
    CElementIndex index;
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
            ASSERT_TRUE(index.Insert(nAt, Block(nNext)));
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(nAt), nNext++);
            break;
        }
        case 2:
            if (nSize > 0)
            {
                size_t nAt = random() % nSize;
                size_t nCount = 1 + random() % std::min<size_t>(3, nSize - nAt);
                index.Erase(nAt, nCount, sizeof(int));
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(nAt),
                            model.begin() + static_cast<std::ptrdiff_t>(nAt + nCount));
            }
            break;
        case 3:
            if (step % 500 == 0)
            {
                index.Clear();
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
    CElementIndex index;
    std::vector<unsigned char*> blocks;
    for (int i = 0; i < 1000; ++i)
    {
        blocks.push_back(Block(i));
        ASSERT_TRUE(index.Append(blocks.back()));
    }
    // Remove every other element from the back, then check the survivors by address.
    for (size_t i = 999; i < 1000; i -= 2)
        index.Erase(i, 1, sizeof(int));
    ASSERT_EQ(index.Size(), 500u);
    for (size_t i = 0; i < 500; ++i)
    {
        EXPECT_EQ(index.At(i), blocks[2 * i]);
        EXPECT_EQ(ValueAt(index, i), static_cast<int>(2 * i));
    }
}
