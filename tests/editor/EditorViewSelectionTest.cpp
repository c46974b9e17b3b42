// The views' own requests and what they report as selected: tree paths and the selected key;
// grid cells, clicks, Ctrl+clicks and the keys of selected cells with the grid scrolled.

#include <QScrollBar>
#include <QTest>

#include "EditorViewFixture.h"

namespace
{

class EditorViewSelectionTest : public EditorViewFixture
{
protected:
    void PostTree(UINT nMsg, const char* pszFirst, const char* pszSecond, const char* pszLabel = nullptr)
    {
        ASSERT_TRUE(WoxPostTreePathItem(m_pTree->GetSafeHwnd(), nMsg, WoxNewTreePathItem(pszFirst, pszSecond, pszLabel)));
    }
    void PostGrid(UINT nMsg, const char* pszRow, const char* pszColumn, const char* pszLabel = nullptr)
    {
        ASSERT_TRUE(WoxPostGridPathItem(m_pGrid->GetSafeHwnd(), nMsg, WoxNewGridPathItem(pszRow, pszColumn, pszLabel)));
    }
    std::vector<std::string> Keys(int nViewBy, bool bTree)
    {
        IDynamicPtrTemplate<IArrayExt2> pKeys = m_host.MakeArray(sizeof(SViewKey));
        if (bTree)
            m_pTree->GetSelectedKey(nViewBy, pKeys);
        else
            m_pGrid->GetSelectedKeys(nViewBy, pKeys);
        std::vector<std::string> keys;
        for (int i = 0; i < pKeys->GetSize(); ++i)
        {
            const auto* pKey = static_cast<const SViewKey*>(pKeys->GetAt(i, 0));
            char szStand[31];
            WoxFieldToString(szStand, sizeof(szStand), pKey->szStand, sizeof(pKey->szStand));
            keys.push_back(std::string(szStand) + " " + std::to_string(pKey->nYear));
        }
        return keys;
    }
    QPoint CellCentre(int nRow, int nColumn)
    {
        QTableWidget* pTable = m_pGrid->Table();
        return pTable->visualRect(pTable->model()->index(nRow, nColumn)).center();
    }
    void Click(int nRow, int nColumn, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(m_pGrid->Table()->viewport(), Qt::LeftButton, modifiers, CellCentre(nRow, nColumn));
    }
};

TEST_F(EditorViewSelectionTest, TreePathsAndTheSelectedKey)
{
    PostTree(WM_TVM_INSERTPATHITEMEX, "S1", "2005", "first");
    PostTree(WM_TVM_INSERTPATHITEMEX, "S1", "2005", "second");
    PostTree(WM_TVM_INSERTPATHITEMEX, "S1", "2010", "third");
    PostTree(WM_TVM_INSERTPATHITEMEX, "S2", "", "direct");
    PostTree(WM_TVM_CLEARPATHEX, "S3", "2000");
    PostTree(WM_TVM_INSERTPATHITEMEX, "S1", "2005", "fourth");   // back to an earlier path: found, not made again
    PumpQueued();
    EXPECT_EQ(TreeDump(), (std::vector<std::string>{"S1/2005: first, second, fourth", "S1/2010: third", "S2/direct", "S3/2000"}));
    EXPECT_EQ(m_pTree->GetItemText(m_pTree->GetSelectedItem()), "fourth") << "each inserted leaf becomes the selection";
    EXPECT_EQ(Keys(0, true), (std::vector<std::string>{"S1 2005"}));
    EXPECT_EQ(Keys(1, true), (std::vector<std::string>{"2005 0"}));   // by year the top node is read as the year

    // A first-level node selected: by stand, that stand and year 0.
    m_pTree->SelectItem(m_pTree->GetRootItem());
    EXPECT_EQ(Keys(0, true), (std::vector<std::string>{"S1 0"}));

    // Clearing a path's leaves, and the whole tree, keeps the index in step: later inserts find
    // or make live nodes.
    PostTree(WM_TVM_CLEARPATHEX, "S1", "");
    PostTree(WM_TVM_INSERTPATHITEMEX, "S1", "2005", "again");
    PumpQueued();
    EXPECT_EQ(TreeDump(), (std::vector<std::string>{"S1/2005: again", "S2/direct", "S3/2000"}));
    PostMessage(m_pTree->GetSafeHwnd(), WM_TVM_DELETEALLITEMSEX, 0, 0);
    PostTree(WM_TVM_INSERTPATHITEMEX, "S2", "2000", "after clear");
    PostTree(WM_TVM_INSERTPATHITEMEX, "S1", "2000", "new");
    PumpQueued();
    EXPECT_EQ(TreeDump(), (std::vector<std::string>{"S2/2000: after clear", "S1/2000: new"}));

    m_pTree->SelectItem(nullptr);
    EXPECT_EQ(Keys(0, true), std::vector<std::string>{}) << "nothing selected, no key";
}

TEST_F(EditorViewSelectionTest, GridCellsAndClicks)
{
    m_window.show();
    m_pGrid->InsertColumn(0, "", 100);
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2005", "S1", "A");
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2005", "S1", "B");
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2010", "S2", "C");
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2005", "S1", "D");
    PostGrid(WM_LVM_CLEARPATHEX, "2015", "S3");
    PumpQueued();
    EXPECT_EQ(GridDump(), (std::vector<std::string>{"|S1|S2|S3", "2005|A, B, D||", "2010||C|", "2015|||"}));
    EXPECT_EQ(m_pGrid->Table()->columnWidth(3), 100);
    EXPECT_EQ(m_pGrid->Table()->horizontalHeaderItem(3)->textAlignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S1 2005"})) << "the last inserted cell is selected";

    Click(1, 2);
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S2 2010"}));
    Click(0, 1, Qt::ControlModifier);
    Click(2, 3, Qt::ControlModifier);
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S2 2010", "S1 2005", "S3 2015"}));
    EXPECT_TRUE(m_pGrid->IsCellSelected(0, 1));
    Click(0, 1, Qt::ControlModifier);   // toggles it off
    EXPECT_EQ(m_pGrid->GetSelectedCount(), 2);
    EXPECT_FALSE(m_pGrid->IsCellSelected(0, 1));
    QTest::mouseDClick(m_pGrid->Table()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(0, 1));
    EXPECT_EQ(m_pGrid->GetSelectedCount(), 2) << "a double click changes nothing";

    // A fill into a selected cell keeps a selection of several; a fill into another cell makes
    // that one the selection, so a later fill into a cell of the old selection replaces it too.
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2010", "S2", "E");
    PumpQueued();
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S2 2010", "S3 2015"}));
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2005", "S1", "F");
    PostGrid(WM_LVM_INSERTPATHITEMEX, "2015", "S3", "G");
    PumpQueued();
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S3 2015"}));
    Click(0, 0);
    EXPECT_EQ(m_pGrid->GetSelectedCount(), 0) << "a click on the key column selects nothing";
}

TEST_F(EditorViewSelectionTest, GridKeysFollowTheScrolledContent)
{
    m_window.show();
    m_pGrid->Table()->setGeometry(0, 0, 300, 160);
    m_pGrid->InsertColumn(0, "", 100);
    for (int nYear = 2000; nYear < 2300; nYear += 5)
        PostGrid(WM_LVM_INSERTPATHITEMEX, std::to_string(nYear).c_str(), "S1", "T");
    PumpQueued();
    QTableWidget* pTable = m_pGrid->Table();
    pTable->verticalScrollBar()->setValue(0);
    Click(1, 1);
    pTable->verticalScrollBar()->setValue(30);   // rows 30 onwards are in view
    QApplication::processEvents();
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S1 2005"})) << "the selected cell scrolled out of view keeps its key";
    EXPECT_TRUE(m_pGrid->IsCellSelected(1, 1));
    Click(31, 1, Qt::ControlModifier);
    EXPECT_EQ(Keys(0, false), (std::vector<std::string>{"S1 2005", "S1 2155"}));
    EXPECT_TRUE(m_pGrid->IsCellSelected(31, 1));
    EXPECT_FALSE(m_pGrid->IsCellSelected(30, 1));
}

} // namespace
