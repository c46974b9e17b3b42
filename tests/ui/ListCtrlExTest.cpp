// CListCtrlEx: posted work requests, tracked last row and column, mouse rules.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>

#include "ListCtrlEx.h"
#include "UiTestSupport.h"

namespace
{

class ListCtrlExTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pWindow = std::make_unique<QWidget>();
        m_pWindow->resize(400, 300);
        auto* pTable = new QTableWidget(m_pWindow.get());
        pTable->setGeometry(0, 0, 400, 300);
        pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
        pTable->setSelectionMode(QAbstractItemView::SingleSelection);
        m_list.Attach(pTable);
        m_pWindow->show();
        m_list.InsertColumn(0, "Name", 150);
        m_list.InsertColumn(1, "Description", 150);
    }

    void Post(UINT nMsg, LVITEM* pItem) { ASSERT_TRUE(WoxPostListItem(m_list.GetSafeHwnd(), nMsg, pItem)); }

    std::vector<std::string> Column(int nCol)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            texts.push_back(m_list.GetItemText(i, nCol));
        return texts;
    }

    QPoint RowCenter(int nRow) { return m_list.Table()->visualRect(m_list.Table()->model()->index(nRow, 0)).center(); }

    std::unique_ptr<QWidget> m_pWindow;
    CListCtrlEx m_list;
};

TEST_F(ListCtrlExTest, AppendedRowsArriveInPostingOrder)
{
    for (const char* pszText : {"first", "second", "third"})
        Post(WM_LVM_INSERTITEMEX, WoxNewListItem(-1, 0, pszText));
    EXPECT_EQ(m_list.GetItemCount(), 0) << "requests run on the event loop, not inside PostMessage";
    PumpQueued();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(m_list.GetLastItem(), 2);
    EXPECT_EQ(m_list.GetLastSubItem(), 0);

    Post(WM_LVM_SETITEMEX, WoxNewListItem(-1, 1, "described"));
    PumpQueued();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"", "", "described"})) << "-1 sets the last row";
    EXPECT_EQ(m_list.GetLastSubItem(), 1);
}

TEST_F(ListCtrlExTest, PostsFromSeveralThreadsArriveCompleteAndInEachThreadsOrder)
{
    constexpr int kThreads = 4;
    constexpr int kRows = 150;
    const HWOXWND hList = m_list.GetSafeHwnd();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        threads.emplace_back([hList, t]() {
            for (int i = 0; i < kRows; ++i)
                WoxPostListItem(hList, WM_LVM_INSERTITEMEX, WoxNewListItem(-1, 0, (std::to_string(t) + ":" + std::to_string(i)).c_str()));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    ASSERT_TRUE(PumpUntil([&]() { return m_list.GetItemCount() == kThreads * kRows; }));

    std::vector<int> next(kThreads, 0);
    for (const std::string& text : Column(0))
    {
        const int t = std::stoi(text.substr(0, text.find(':')));
        const int i = std::stoi(text.substr(text.find(':') + 1));
        EXPECT_EQ(i, next[t]) << "thread " << t;
        next[t] = i + 1;
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kRows));
}

TEST_F(ListCtrlExTest, TrackedPositionsFollowDeletes)
{
    for (const char* pszText : {"a", "b", "c"})
    {
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = -1;
        item.pszText = const_cast<char*>(pszText);
        m_list.InsertItem(&item);
    }
    EXPECT_EQ(m_list.GetLastItem(), 2);

    m_list.DeleteItem(2L);
    EXPECT_EQ(m_list.GetLastItem(), 1) << "the last row moves back when it is deleted";
    m_list.DeleteItem(0L);
    EXPECT_EQ(m_list.GetLastItem(), 0) << "'b' moved up to row 0";
    EXPECT_EQ(Column(0), std::vector<std::string>{"b"});

    WoxPostListColumn(m_list.GetSafeHwnd(), WoxNewListColumn(2, "Extra", 50));
    PumpQueued();
    ASSERT_EQ(m_list.GetColumnCount(), 3);
    EXPECT_EQ(m_list.Table()->horizontalHeaderItem(2)->text().toStdString(), "Extra");
    EXPECT_EQ(m_list.GetLastSubItem(), 2);
    EXPECT_EQ(m_list.GetLastItem(), -1);

    m_list.DeleteAllItems();
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(m_list.GetLastItem(), -1);
    EXPECT_EQ(m_list.GetLastSubItem(), -1);

    PostMessage(m_list.GetSafeHwnd(), WM_LVM_DELETEALLCOLUMNSEX, 0, 0);
    PumpQueued();
    EXPECT_EQ(m_list.GetColumnCount(), 0);
}

TEST_F(ListCtrlExTest, DeleteCheckAndShowRequests)
{
    for (const char* pszText : {"a", "b", "c"})
        Post(WM_LVM_INSERTITEMEX, WoxNewListItem(-1, 0, pszText));
    WoxPostIndex(m_list.GetSafeHwnd(), WM_LVM_DELETEITEMEX, WoxNewIndex(1));
    WoxPostListCheck(m_list.GetSafeHwnd(), WoxNewListCheck(-1, true));
    PostMessage(m_list.GetSafeHwnd(), WM_LVM_SHOWWINDOWEX, 0, 0);
    PumpQueued();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "c"}));
    EXPECT_FALSE(m_list.GetCheck(0));
    EXPECT_TRUE(m_list.GetCheck(1)) << "-1 means the last row";
    EXPECT_FALSE(m_list.IsWindowVisible());

    PostMessage(m_list.GetSafeHwnd(), WM_LVM_SHOWWINDOWEX, 1, 0);
    PumpQueued();
    EXPECT_TRUE(m_list.IsWindowVisible());
}

TEST_F(ListCtrlExTest, ClickBelowTheLastRowKeepsTheSelection)
{
    m_list.CListCtrl::InsertItem(0, "a");
    m_list.CListCtrl::InsertItem(1, "b");
    QWidget* pViewport = m_list.Table()->viewport();

    QTest::mouseClick(pViewport, Qt::LeftButton, {}, RowCenter(1));
    ASSERT_EQ(m_list.GetSelectedItem(), 1) << "a click on a row selects it";

    QTest::mouseClick(pViewport, Qt::LeftButton, {}, QPoint(20, pViewport->height() - 10));
    EXPECT_EQ(m_list.GetSelectedItem(), 1);
    QTest::mouseDClick(pViewport, Qt::LeftButton, {}, QPoint(20, pViewport->height() - 10));
    EXPECT_EQ(m_list.GetSelectedItem(), 1);

    QTest::mouseClick(pViewport, Qt::RightButton, {}, RowCenter(0));
    QTest::mouseClick(pViewport, Qt::MiddleButton, {}, RowCenter(0));
    EXPECT_EQ(m_list.GetSelectedItem(), 1) << "right and middle clicks do not reach the list";

    QTest::mouseClick(pViewport, Qt::LeftButton, {}, RowCenter(0));
    EXPECT_EQ(m_list.GetSelectedItem(), 0);
}

} // namespace
