// The typed record arrays, with tree records.
#include <gtest/gtest.h>

#include <cstring>

#include "DataController.h"
#include "WoxText.h"

TEST(ArrayExtTmp, TreeRecordsAreCopiedWhole)
{
    IDynamicPtrTemplate<IInventoryExt> pTrees(WoxCreateInventoryExt(nullptr));
    ASSERT_TRUE(pTrees->Initialize(nullptr, nullptr, nullptr));
    for (int i = 0; i < 3; ++i)
    {
        SInventory tree{};
        char szCode[10] = "PSME";
        if (i == 1)
            std::memcpy(szCode, "TSHE", 4);
        WoxCopyText(tree.szSpecies, szCode);
        tree.dDbh = 20.0 + i;
        tree.dHeight = 15.0 + i;
        ASSERT_TRUE(pTrees->Add(&tree));
    }
    ASSERT_EQ(pTrees->GetSize(), 3);
    SInventory* pSecond = pTrees->GetAt(1);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(WoxCompareText(pSecond->szSpecies, "TSHE", sizeof(pSecond->szSpecies)), 0);
    EXPECT_DOUBLE_EQ(pSecond->dDbh, 21.0);
    EXPECT_DOUBLE_EQ(pSecond->dHeight, 16.0);
    EXPECT_EQ(pTrees->GetAt(3), nullptr);
    EXPECT_FALSE(pTrees->Add(nullptr));
    ASSERT_TRUE(pTrees->RemoveAll(0));
    EXPECT_EQ(pTrees->GetSize(), 0);
}
