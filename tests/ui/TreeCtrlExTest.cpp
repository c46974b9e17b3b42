// CTreeCtrlEx: the placeholder item, the last inserted item, posted inserts.

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <map>
#include <memory>

#include "TreeCtrlEx.h"
#include "UiTestSupport.h"

namespace
{

class TreeCtrlExTest : public ::testing::Test
{
protected:
    void SetUp() override { m_tree.Attach(new QTreeWidget(&m_window)); }

    HTREEITEM Insert(const char* pszText, HTREEITEM hParent = TVI_ROOT)
    {
        TVINSERTSTRUCT insert{};
        insert.hParent = hParent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>(pszText);
        return m_tree.InsertItem(&insert);
    }

    std::vector<std::string> TopLevel()
    {
        std::vector<std::string> texts;
        for (HTREEITEM h = m_tree.GetRootItem(); h; h = m_tree.GetNextSiblingItem(h))
            texts.push_back(m_tree.GetItemText(h));
        return texts;
    }

    QWidget m_window;
    CTreeCtrlEx m_tree;
};

TEST_F(TreeCtrlExTest, ClearingKeepsAnEmptyPlaceholderThatTheNextInsertTakesOver)
{
    HTREEITEM h1990 = Insert("1990");
    Insert("Stand 1", h1990);
    Insert("2000");

    ASSERT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(TopLevel(), std::vector<std::string>{""});
    EXPECT_EQ(m_tree.GetCount(), 1) << "children and other first-level items are gone";
    EXPECT_TRUE(m_tree.HasPlaceholder());

    HTREEITEM hNew = Insert("2010");
    EXPECT_EQ(hNew, h1990) << "the placeholder item is reused";
    EXPECT_EQ(TopLevel(), std::vector<std::string>{"2010"});
    EXPECT_FALSE(m_tree.HasPlaceholder());
    EXPECT_EQ(m_tree.GetLastInsertedItem(), hNew);

    Insert("2020");
    EXPECT_EQ(TopLevel(), (std::vector<std::string>{"2010", "2020"}));
}

TEST_F(TreeCtrlExTest, ClearingAnEmptyTreeDoesNothing)
{
    EXPECT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(m_tree.GetCount(), 0);
    EXPECT_FALSE(m_tree.HasPlaceholder());
    Insert("first");
    EXPECT_EQ(TopLevel(), std::vector<std::string>{"first"});
}

// Which item is deleted, and which one must then be the last inserted item.
struct SDeleteCase
{
    const char* pszName;
    const char* pszDelete;
    const char* pszExpectedLast;   // "" = none
};

class TreeCtrlExDeleteTest : public TreeCtrlExTest, public ::testing::WithParamInterface<SDeleteCase>
{
};

TEST_P(TreeCtrlExDeleteTest, LastInsertedItemStaysValid)
{
    // A: a1, a2 (inserted last)   B: b1
    std::map<std::string, HTREEITEM> items;
    items["A"] = Insert("A");
    items["B"] = Insert("B");
    items["b1"] = Insert("b1", items["B"]);
    items["a1"] = Insert("a1", items["A"]);
    items["a2"] = Insert("a2", items["A"]);
    ASSERT_EQ(m_tree.GetLastInsertedItem(), items["a2"]);

    ASSERT_TRUE(m_tree.DeleteItem(items[GetParam().pszDelete]));
    HTREEITEM hLast = m_tree.GetLastInsertedItem();
    if (*GetParam().pszExpectedLast)
    {
        ASSERT_TRUE(m_tree.IsItem(hLast));
        EXPECT_EQ(m_tree.GetItemText(hLast), GetParam().pszExpectedLast);
    }
    else
        EXPECT_EQ(hLast, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeCtrlExDeleteTest,
                         ::testing::Values(SDeleteCase{"LastItemTakesPreviousSibling", "a2", "a1"},
                                           SDeleteCase{"OtherItemLeavesLastAlone", "a1", "a2"},
                                           SDeleteCase{"OtherBranchLeavesLastAlone", "B", "a2"},
                                           SDeleteCase{"FirstAncestorTakesNextSibling", "A", "B"}),
                         [](const ::testing::TestParamInfo<SDeleteCase>& info) { return std::string(info.param.pszName); });

TEST_F(TreeCtrlExTest, PostedRequests)
{
    const HWOXWND hTree = m_tree.GetSafeHwnd();
    ASSERT_TRUE(WoxPostTreeInsert(hTree, WoxNewTreeInsert("1990")));
    ASSERT_TRUE(WoxPostTreeInsert(hTree, WoxNewTreeInsert("2000")));
    PumpQueued();
    EXPECT_EQ(TopLevel(), (std::vector<std::string>{"1990", "2000"}));
    HTREEITEM hFirst = m_tree.GetRootItem();

    PostMessage(hTree, WM_TVM_DELETEALLITEMSEX, 0, 0);
    ASSERT_TRUE(WoxPostTreeInsert(hTree, WoxNewTreeInsert("2010")));
    PostMessage(hTree, WM_TVM_SHOWWINDOWEX, 0, 0);
    PumpQueued();
    EXPECT_EQ(TopLevel(), std::vector<std::string>{"2010"});
    EXPECT_EQ(m_tree.GetRootItem(), hFirst);
    EXPECT_FALSE(m_tree.IsWindowVisible());

    PostMessage(hTree, WM_TVM_DELETEITEMEX, 0, reinterpret_cast<LPARAM>(hFirst));
    PumpQueued();
    EXPECT_EQ(m_tree.GetCount(), 0);
}

TEST_F(TreeCtrlExTest, InsertUnderAGoneParentFailsAndFreesTheBlock)
{
    HTREEITEM hParent = Insert("parent");
    m_tree.CTreeCtrl::DeleteItem(hParent);
    EXPECT_EQ(m_tree.SendMessage(WM_TVM_INSERTITEMEX, 1, reinterpret_cast<LPARAM>(WoxNewTreeInsert("child", hParent))), 0);
    EXPECT_EQ(m_tree.GetCount(), 0);
}

} // namespace
