// The Common Control Library's progress dialog: modal on the user-interface thread while another
// thread reports to it and closes it, as a save task does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <atomic>
#include <thread>

#include "CommonControlResources.h"
#include "ProgressDlg.h"

namespace
{

// The progress window's bar and text while it is up, none otherwise.
QProgressBar* Bar()
{
    QWidget* pWindow = QApplication::activeModalWidget();
    return pWindow ? pWindow->findChild<QProgressBar*>() : nullptr;
}

std::string Text()
{
    QWidget* pWindow = QApplication::activeModalWidget();
    if (pWindow)
        for (QLabel* pLabel : pWindow->findChildren<QLabel*>())
            if (pLabel->isVisible())
                return pLabel->text().toStdString();
    return std::string();
}

TEST(ProgressDlgTest, ShowsWhatAnotherThreadReportsUntilItCloses)
{
    IDynamicPtrTemplate<IProgressDlg> pProgress(WoxCreateProgressDlg(0));
    ASSERT_EQ(pProgress->Create(IDynamicPtrTemplate<IDynamic>()), 1);
    EXPECT_EQ(pProgress->IsReady(), 0);

    std::atomic<bool> bSeen{false};
    std::thread worker([&]() {
        while (!pProgress->IsReady())
            std::this_thread::yield();
        pProgress->SetRange(0, 40);
        pProgress->SetText("Stand 12");
        for (int i = 0; i < 25; ++i)
            pProgress->StepIt();
        // Stays up until the window has shown the state.
        while (!bSeen)
            std::this_thread::yield();
        pProgress->Close();
    });

    int nValue = -1, nMaximum = -1;
    std::string text;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&]() {
        QProgressBar* pBar = Bar();
        if (pBar && pBar->value() == 25 && Text() == "Stand 12")
        {
            nValue = pBar->value();
            nMaximum = pBar->maximum();
            text = Text();
            bSeen = true;
        }
    });
    poll.start(5);
    EXPECT_EQ(pProgress->DoModal(), 1);
    poll.stop();
    worker.join();
    EXPECT_EQ(nValue, 25);
    EXPECT_EQ(nMaximum, 40);
    EXPECT_EQ(text, "Stand 12");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window is gone";
    EXPECT_EQ(pProgress->IsReady(), 1);
}

// Closed before it is shown, or from another thread at any moment: DoModal returns, and the
// object's last reference may go on that other thread.
TEST(ProgressDlgTest, CloseFromAnyThreadAtAnyTimeEndsDoModal)
{
    {
        IDynamicPtrTemplate<IProgressDlg> pEarly(WoxCreateProgressDlg(0));
        pEarly->Close();
        EXPECT_EQ(pEarly->DoModal(), 1);
    }
    for (int nRound = 0; nRound < 20; ++nRound)
    {
        IDynamicPtrTemplate<IProgressDlg> pProgress(WoxCreateProgressDlg(0));
        IDynamicPtrTemplate<IProgressDlg> pWorkerRef = pProgress;
        std::thread worker([pHeld = pWorkerRef, nRound]() mutable {
            if (nRound % 2)
                while (!pHeld->IsReady())
                    std::this_thread::yield();
            pHeld->SetRange(0, 3);
            pHeld->StepIt();
            pHeld->Close();
            pHeld.Clear();
        });
        pWorkerRef.Clear();
        EXPECT_EQ(pProgress->DoModal(), 1);
        pProgress.Clear();
        worker.join();
    }
}

} // namespace
