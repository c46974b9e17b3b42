// Window handles and posted messages: delivery, and blocks of messages that cannot be delivered.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <atomic>
#include <memory>
#include <thread>

#include "ListCtrlEx.h"
#include "UiTestSupport.h"

namespace
{

std::atomic<int> g_nFreed{0};

void CountingFreeListItem(LPARAM lParam)
{
    ++g_nFreed;
    WoxFreeRequest(reinterpret_cast<LVITEM*>(lParam));
}

class PostMessageTest : public ::testing::Test
{
protected:
    void SetUp() override { g_nFreed = 0; }

    std::unique_ptr<CListCtrlEx> MakeList()
    {
        auto pList = std::make_unique<CListCtrlEx>();
        pList->Attach(new QTableWidget(&m_window));
        pList->InsertColumn(0, "Name", 100);
        return pList;
    }

    BOOL PostRow(HWOXWND hWnd, const char* pszText)
    {
        return PostMessage(hWnd, WM_LVM_INSERTITEMEX, 1, reinterpret_cast<LPARAM>(WoxNewListItem(-1, 0, pszText)), CountingFreeListItem);
    }

    QWidget m_window;
};

TEST_F(PostMessageTest, HandlesAreRegisteredWhileTheWidgetLives)
{
    auto pList = MakeList();
    const HWOXWND hWnd = pList->GetSafeHwnd();
    ASSERT_NE(hWnd, 0u);
    EXPECT_TRUE(IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(hWnd), pList.get());

    delete pList->GetWidget();
    EXPECT_FALSE(IsWindow(hWnd)) << "the handle goes with the widget";
    EXPECT_EQ(pList->GetSafeHwnd(), 0u);

    auto pOther = MakeList();
    EXPECT_NE(pOther->GetSafeHwnd(), hWnd) << "handles are not reused";
}

TEST_F(PostMessageTest, QueuedBlocksOfADestroyedControlAreFreed)
{
    auto pList = MakeList();
    const HWOXWND hWnd = pList->GetSafeHwnd();
    ASSERT_TRUE(PostRow(hWnd, "queued 1"));
    ASSERT_TRUE(PostRow(hWnd, "queued 2"));
    pList.reset();   // the control object goes; its widget stays
    PumpQueued();
    EXPECT_EQ(g_nFreed.load(), 2);
}

TEST_F(PostMessageTest, QueuedBlocksOfADestroyedWidgetAreFreed)
{
    auto pList = MakeList();
    const HWOXWND hWnd = pList->GetSafeHwnd();
    ASSERT_TRUE(PostRow(hWnd, "queued"));
    delete pList->GetWidget();
    PumpQueued();
    EXPECT_EQ(g_nFreed.load(), 1);
    EXPECT_EQ(pList->GetItemCount(), 0);
}

TEST_F(PostMessageTest, PostingToAGoneWindowFreesTheBlockAtOnce)
{
    HWOXWND hWnd;
    {
        auto pList = MakeList();
        hWnd = pList->GetSafeHwnd();
    }
    EXPECT_FALSE(PostRow(hWnd, "late"));
    EXPECT_EQ(g_nFreed.load(), 1);
    EXPECT_FALSE(PostRow(0, "never a window"));
    EXPECT_EQ(g_nFreed.load(), 2);
}

TEST_F(PostMessageTest, DeliveredBlocksAreFreedByTheControlNotTheLayer)
{
    auto pList = MakeList();
    ASSERT_TRUE(PostRow(pList->GetSafeHwnd(), "row"));
    PumpQueued();
    EXPECT_EQ(pList->GetItemCount(), 1);
    EXPECT_EQ(g_nFreed.load(), 0) << "the control freed the block itself (ASan checks it was freed once)";
}

TEST_F(PostMessageTest, AMessageTheWindowDoesNotHandleFreesItsBlock)
{
    auto pList = MakeList();
    ASSERT_TRUE(PostMessage(pList->GetSafeHwnd(), WM_USER + 500, 1, reinterpret_cast<LPARAM>(WoxNewListItem(0, 0, "x")),
                            CountingFreeListItem));
    PumpQueued();
    EXPECT_EQ(g_nFreed.load(), 1);
    EXPECT_EQ(pList->GetItemCount(), 0);
}

TEST_F(PostMessageTest, ControlDestroyedWhileThreadsPost)
{
    auto pList = MakeList();
    const HWOXWND hWnd = pList->GetSafeHwnd();
    QTableWidget* pTable = pList->Table();   // stays with the window after the control goes
    std::atomic<int> nPosted{0};
    std::atomic<bool> bStop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
    {
        threads.emplace_back([&]() {
            while (!bStop)
            {
                PostRow(hWnd, "racing");
                ++nPosted;
                std::this_thread::yield();
            }
        });
    }
    ASSERT_TRUE(PumpUntil([&]() { return pTable->rowCount() > 0; }));
    pList.reset();
    const int nAtReset = nPosted.load();
    PumpUntil([&]() { return nPosted.load() > nAtReset + 30; });
    bStop = true;
    for (std::thread& thread : threads)
        thread.join();
    PumpQueued();
    // Every block was either executed by the list (a row) or freed by the layer, never both.
    EXPECT_GT(g_nFreed.load(), 0);
    EXPECT_EQ(pTable->rowCount() + g_nFreed.load(), nPosted.load());
}

} // namespace
