// CStatusExt: stand identifiers kept to 30 characters and always terminated.
#include <gtest/gtest.h>

#include <string>

#include "DataController.h"

TEST(StatusExt, IdentifiersAreBoundedAndTerminated)
{
    IDynamicPtrTemplate<IStatusExt> pStands(WoxCreateStatusExt(nullptr));
    ASSERT_TRUE(pStands->Initialize(nullptr, nullptr, nullptr));
    const std::string sExact(30, 'x');
    const std::string sLong = std::string(30, 'y') + "overflow";
    ASSERT_TRUE(pStands->Add("S-001"));
    ASSERT_TRUE(pStands->Add(sExact.c_str()));
    ASSERT_TRUE(pStands->Add(sLong.c_str()));
    ASSERT_TRUE(pStands->Add(""));
    EXPECT_FALSE(pStands->Add(nullptr));

    ASSERT_EQ(pStands->GetSize(), 4);
    EXPECT_STREQ(pStands->GetAt(0), "S-001");
    EXPECT_EQ(std::string(pStands->GetAt(1)), sExact);
    EXPECT_EQ(std::string(pStands->GetAt(2)), std::string(30, 'y'));
    EXPECT_STREQ(pStands->GetAt(3), "");
    EXPECT_EQ(pStands->GetAt(4), nullptr);
    EXPECT_EQ(pStands->GetAt(-1), nullptr);

    ASSERT_TRUE(pStands->RemoveAll(0));
    EXPECT_EQ(pStands->GetSize(), 0);
    EXPECT_EQ(pStands->GetAt(0), nullptr);
}
