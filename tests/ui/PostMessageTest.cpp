// Window handles and posted messages: delivery, and blocks of messages that cannot be delivered.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTableWidget>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

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

    static BOOL PostRow(HWOXWND hWnd, const char* pszText)
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

// What becomes of a posted block: run by the control (which frees it), or freed by the layer
// when its window is gone or does not handle the message. Either way exactly once.
enum class EFate { Delivered, ControlGone, WidgetGone, GoneBeforePosting, NoWindow, Unhandled };

class PostMessageFateTest : public PostMessageTest, public ::testing::WithParamInterface<EFate>
{
};

TEST_P(PostMessageFateTest, FreesTheBlockOnce)
{
    auto pList = MakeList();
    QTableWidget* pTable = pList->Table();
    HWOXWND hWnd = GetParam() == EFate::NoWindow ? 0 : pList->GetSafeHwnd();
    if (GetParam() == EFate::GoneBeforePosting)
        pList.reset();
    const UINT nMsg = GetParam() == EFate::Unhandled ? WM_USER + 500 : WM_LVM_INSERTITEMEX;
    const BOOL bPosted = PostMessage(hWnd, nMsg, 1, reinterpret_cast<LPARAM>(WoxNewListItem(-1, 0, "row")), CountingFreeListItem);
    EXPECT_EQ(bPosted != 0, GetParam() != EFate::GoneBeforePosting && GetParam() != EFate::NoWindow);
    if (!bPosted)
    {
        EXPECT_EQ(g_nFreed.load(), 1) << "a block that cannot be posted is freed at once";
    }
    if (GetParam() == EFate::ControlGone)
        pList.reset();   // the control object goes; its widget stays
    if (GetParam() == EFate::WidgetGone)
    {
        delete pList->GetWidget();
        pTable = nullptr;
    }
    PumpQueued();
    const bool bDelivered = GetParam() == EFate::Delivered;
    EXPECT_EQ(g_nFreed.load(), bDelivered ? 0 : 1) << "ASan checks that a delivered block was freed by the control";
    if (pTable && GetParam() != EFate::GoneBeforePosting)
    {
        EXPECT_EQ(pTable->rowCount(), bDelivered ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fates, PostMessageFateTest,
                         ::testing::Values(EFate::Delivered, EFate::ControlGone, EFate::WidgetGone, EFate::GoneBeforePosting, EFate::NoWindow,
                                           EFate::Unhandled));

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

// A handler that runs the event loop itself (as a modal dialog does) while more messages wait:
// the nested loop carries on with the waiting ones in posting order, before one posted later.
TEST_F(PostMessageTest, NestedEventLoopKeepsPostingOrder)
{
    constexpr int kLater = 100000;
    class CRecorder final : public CWnd
    {
    public:
        bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM, LRESULT*) override
        {
            if (nMsg != WM_USER + 600)
                return false;
            seen.push_back(static_cast<int>(wParam));
            if (wParam == 1)
            {
                PostMessage(WM_USER + 600, kLater, 0);
                QCoreApplication::processEvents();
            }
            return true;
        }
        std::vector<int> seen;
    };
    CRecorder recorder;
    recorder.Attach(new QWidget(&m_window));
    constexpr int kCount = 1000;   // more than the dispatcher takes from the queue at a time
    for (int i = 0; i < kCount; ++i)
        ASSERT_TRUE(PostMessage(recorder.GetSafeHwnd(), WM_USER + 600, i, 0));
    PumpQueued();
    ASSERT_EQ(recorder.seen.size(), static_cast<size_t>(kCount + 1));
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(recorder.seen[i], i);
    EXPECT_EQ(recorder.seen.back(), kLater);
}
