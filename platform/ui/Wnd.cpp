#include "Wnd.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Dialog.h"

namespace
{

// The handle registry. Only the user-interface thread adds and removes entries, so a window
// found there on that thread stays alive while its handler runs.
// The locks and the count that posting threads and the user-interface thread both touch each
// get a cache line of their own, so that one thread's writes do not slow the other's locking.
alignas(64) std::mutex g_registryLock;
std::unordered_map<HWOXWND, CWnd*> g_windows;
HWOXWND g_nNextHandle = 0x10000;

// Posting goes through one dispatcher object living on the user-interface thread. Posted
// messages wait in its queue, in posting order, and are carried out in slices: a slice runs
// messages until its time budget is spent, then hands the rest to a later slice so that the
// event loop can paint and take input in between. One wake-up event stands for the whole queue.
// The lock guards the queue and also orders a poster's writes to its block before the handler's
// reads.
alignas(64) std::mutex g_postLock;
QObject* g_pDispatcher = nullptr;

// A slice runs at least 8 ms of messages and, when the event loop's own turn in between took
// longer (a view laying out thousands of rows), as long as that turn up to 20 ms: posted work keeps
// at least half of the thread while no stretch grows past what input and painting can bear.
constexpr qint64 kSliceMinNs = 8'000'000;
constexpr qint64 kSliceMaxNs = 20'000'000;

// A posted message waiting in the queue. Its block is freed with pfnFree unless a window takes it.
struct SPostedMessage
{
    HWOXWND hWnd;
    UINT nMsg;
    WPARAM wParam;
    LPARAM lParam;
    PFN_WoxFreeBlock pfnFree;
};

std::deque<SPostedMessage> g_posted;   // guarded by g_postLock
bool g_bWakePending = false;           // a wake-up event is queued for the dispatcher
// Messages taken from g_posted in one go, ahead of everything still there; carried out before
// anything is taken again, by whichever slice runs (a nested one included), so that the order
// holds. The user-interface thread takes them in batches so that it and a posting task do not
// meet at the lock for every message. The count is what WoxPendingPostedMessages adds for them.
constexpr size_t kTakeBatch = 256;
std::deque<SPostedMessage> g_taken;    // user-interface thread only
alignas(64) std::atomic<size_t> g_nTaken{0};
// User-interface thread only from here.
int64_t g_nLongestSliceNs = 0;
int64_t g_nSlices = 0;
QElapsedTimer g_sinceSlice;            // since the end of the last slice
int g_nSliceDepth = 0;                 // slices running (a handler's nested event loop nests them)
std::vector<HWOXWND> g_runEndWindows;  // windows waiting for the end of the slice
int64_t g_nLastRunEndNs = 0;           // what their work at the end of the last slice took

CWnd* Lookup(HWOXWND hWnd)
{
    std::lock_guard<std::mutex> guard(g_registryLock);
    auto it = g_windows.find(hWnd);
    return it == g_windows.end() ? nullptr : it->second;
}

// The same on the user-interface thread, which alone writes the registry: its own reads need no
// lock, and a task posting thousands of messages then does not meet it there for each one.
CWnd* LookupOnUiThread(HWOXWND hWnd)
{
    auto it = g_windows.find(hWnd);
    return it == g_windows.end() ? nullptr : it->second;
}

QEvent::Type WakeEventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Carries out one message; a message no window takes has its block freed.
void Deliver(const SPostedMessage& message)
{
    CWnd* pWnd = LookupOnUiThread(message.hWnd);
    LRESULT nResult = 0;
    if (pWnd && pWnd->OnWndMsg(message.nMsg, message.wParam, message.lParam, &nResult))
        return;   // the window took the block
    if (message.pfnFree)
        message.pfnFree(message.lParam);
}

// Queues a wake-up for the dispatcher unless one is queued already. Called with g_postLock held.
void WakeDispatcherLocked()
{
    if (g_bWakePending || !g_pDispatcher)
        return;
    g_bWakePending = true;
    QCoreApplication::postEvent(g_pDispatcher, new QEvent(WakeEventType()));
}

class CMessageDispatcher final : public QObject
{
public:
    using QObject::QObject;
    ~CMessageDispatcher() override
    {
        std::deque<SPostedMessage> orphans;
        {
            std::lock_guard<std::mutex> guard(g_postLock);
            if (g_pDispatcher == this)
                g_pDispatcher = nullptr;
            orphans.swap(g_posted);
            g_bWakePending = false;
            orphans.insert(orphans.begin(), g_taken.begin(), g_taken.end());
            g_taken.clear();
            g_nTaken = 0;
        }
        // Nothing will deliver these any more: free their blocks.
        for (const SPostedMessage& message : orphans)
        {
            if (message.pfnFree)
                message.pfnFree(message.lParam);
        }
    }

protected:
    // The only custom events this object gets are its wake-ups. Qt sorts them out and the event
    // is never read here: it was made on the posting thread and handed over by Qt's own queue,
    // a hand-over ThreadSanitizer cannot see in Debian's Qt.
    void customEvent(QEvent*) override { RunSlice(); }

private:
    // Runs queued messages until the budget is spent. A handler may run a nested event loop
    // (a modal dialog); the queue is then served from there, and this slice goes on after it.
    static void RunSlice()
    {
        {
            std::lock_guard<std::mutex> guard(g_postLock);
            g_bWakePending = false;
        }
        const qint64 nBetween = g_sinceSlice.isValid() ? g_sinceSlice.nsecsElapsed() : 0;
        // The windows' work at the end of a slice counts against its budget; the last slice's
        // share stands for this one's.
        const qint64 nSliceBudget = std::clamp(nBetween, kSliceMinNs, kSliceMaxNs);
        const qint64 nBudget = std::max(nSliceBudget - g_nLastRunEndNs, nSliceBudget / 4);
        QElapsedTimer timer;
        timer.start();
        ++g_nSliceDepth;
        for (;;)
        {
            if (g_taken.empty())
            {
                std::lock_guard<std::mutex> guard(g_postLock);
                const size_t nTake = std::min(kTakeBatch, g_posted.size());
                g_taken.insert(g_taken.end(), g_posted.begin(), g_posted.begin() + nTake);
                g_posted.erase(g_posted.begin(), g_posted.begin() + nTake);
                g_nTaken += nTake;
            }
            if (g_taken.empty())
                break;
            if (timer.nsecsElapsed() >= nBudget)
            {
                std::lock_guard<std::mutex> guard(g_postLock);
                WakeDispatcherLocked();   // the rest after the event loop's turn
                break;
            }
            const SPostedMessage message = g_taken.front();
            g_taken.pop_front();
            --g_nTaken;
            Deliver(message);
        }
        // The run has ended before the windows hear of it: what they do there is not deferred again.
        --g_nSliceDepth;
        const qint64 nRunEnd = timer.nsecsElapsed();
        std::vector<HWOXWND> windows;
        windows.swap(g_runEndWindows);
        for (HWOXWND hWnd : windows)
        {
            if (CWnd* pWnd = LookupOnUiThread(hWnd))
                pWnd->OnPostedRunEnd();
        }
        g_nLastRunEndNs = timer.nsecsElapsed() - nRunEnd;
        g_nLongestSliceNs = std::max<int64_t>(g_nLongestSliceNs, timer.nsecsElapsed());
        ++g_nSlices;
        g_sinceSlice.start();
    }
};

void EnsureDispatcher()
{
    QCoreApplication* pApp = QCoreApplication::instance();
    std::lock_guard<std::mutex> guard(g_postLock);
    if (!g_pDispatcher && pApp)
        g_pDispatcher = new CMessageDispatcher(pApp);
}

} // namespace

// Forwards the widget's events to its window object; removes the handle with the widget.
class CWndEventHook final : public QObject
{
public:
    CWndEventHook(CWnd* pWnd, QWidget* pWidget) : QObject(pWidget), m_pWnd(pWnd) {}
    ~CWndEventHook() override
    {
        if (m_pWnd)
        {
            m_pWnd->m_pHook = nullptr;
            m_pWnd->Unregister();
        }
    }

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        switch (pEvent->type())
        {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
            return m_pWnd && m_pWnd->FilterEvent(pWatched, pEvent);
        default:
            return false;
        }
    }

    CWnd* m_pWnd;
};

BOOL PostMessage(HWOXWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, PFN_WoxFreeBlock pfnFree)
{
    if (IsWindow(hWnd))
    {
        std::lock_guard<std::mutex> guard(g_postLock);
        if (g_pDispatcher)
        {
            g_posted.push_back(SPostedMessage{hWnd, nMsg, wParam, lParam, pfnFree});
            WakeDispatcherLocked();
            return 1;
        }
    }
    if (pfnFree)
        pfnFree(lParam);
    return 0;
}

LRESULT SendMessage(HWOXWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = Lookup(hWnd);
    return pWnd ? pWnd->SendMessage(nMsg, wParam, lParam) : 0;
}

size_t WoxPendingPostedMessages()
{
    std::lock_guard<std::mutex> guard(g_postLock);
    return g_posted.size() + g_nTaken.load();
}

SWoxPostedSlices WoxPostedSlices()
{
    return SWoxPostedSlices{g_nLongestSliceNs / 1'000'000.0, g_nSlices};
}

void WoxResetPostedSlices()
{
    g_nLongestSliceNs = 0;
    g_nSlices = 0;
}

BOOL IsWindow(HWOXWND hWnd)
{
    return Lookup(hWnd) != nullptr;
}

CWnd::~CWnd()
{
    if (m_pOwnerDialog && m_pOwnerDialog != this)
        m_pOwnerDialog->ForgetControl(this);
    Detach();
}

CWnd* CWnd::FromHandle(HWOXWND hWnd)
{
    return Lookup(hWnd);
}

void CWnd::Attach(QWidget* pWidget)
{
    Detach();
    if (!pWidget)
        return;
    EnsureDispatcher();
    m_pWidget = pWidget;
    auto* pHook = new CWndEventHook(this, pWidget);
    m_pHook = pHook;
    pWidget->installEventFilter(pHook);
    if (auto* pArea = qobject_cast<QAbstractScrollArea*>(pWidget))
        pArea->viewport()->installEventFilter(pHook);
    {
        std::lock_guard<std::mutex> guard(g_registryLock);
        m_hWnd = g_nNextHandle++;
        g_windows[m_hWnd] = this;
    }
    OnAttached();
}

QWidget* CWnd::Detach()
{
    QWidget* pWidget = m_pWidget.data();
    if (m_pHook)
    {
        auto* pHook = static_cast<CWndEventHook*>(m_pHook);
        pHook->m_pWnd = nullptr;
        m_pHook = nullptr;
        delete pHook;   // also removes it as an event filter
    }
    Unregister();
    m_pWidget = nullptr;
    return pWidget;
}

void CWnd::Unregister()
{
    if (!m_hWnd)
        return;
    std::lock_guard<std::mutex> guard(g_registryLock);
    g_windows.erase(m_hWnd);
    m_hWnd = 0;
}

void CWnd::SetDialogInfo(CDialog* pDialog, int nId)
{
    m_pOwnerDialog = pDialog;
    m_nId = nId;
}

const CRuntimeClass* CWnd::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CWnd"};
    return &cls;
}

bool CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

bool CWnd::CallAtPostedRunEnd()
{
    if (g_nSliceDepth == 0 || !m_hWnd)
        return false;
    if (std::find(g_runEndWindows.begin(), g_runEndWindows.end(), m_hWnd) == g_runEndWindows.end())
        g_runEndWindows.push_back(m_hWnd);
    return true;
}

LRESULT CWnd::SendMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT nResult = 0;
    OnWndMsg(nMsg, wParam, lParam, &nResult);
    return nResult;
}

BOOL CWnd::PostMessage(UINT nMsg, WPARAM wParam, LPARAM lParam, PFN_WoxFreeBlock pfnFree)
{
    return ::PostMessage(m_hWnd, nMsg, wParam, lParam, pfnFree);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_pWidget)
        return 0;
    BOOL bWasVisible = !m_pWidget->isHidden();
    m_pWidget->setVisible(nCmdShow != SW_HIDE);
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_pWidget && !m_pWidget->isHidden();
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pWidget)
        return 0;
    BOOL bWasDisabled = !m_pWidget->isEnabled();
    m_pWidget->setEnabled(bEnable != 0);
    return bWasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_pWidget && m_pWidget->isEnabled();
}

void CWnd::SetWindowText(const char* pszText)
{
    if (m_pWidget)
        WoxSetWidgetText(m_pWidget.data(), pszText);
}

std::string CWnd::GetWindowText() const
{
    return m_pWidget ? WoxGetWidgetText(m_pWidget.data()) : std::string();
}

void CWnd::SetFocus()
{
    if (m_pWidget)
        m_pWidget->setFocus(Qt::OtherFocusReason);
}

void CWnd::NotifyOwner(int nCode)
{
    if (m_pOwnerDialog)
        m_pOwnerDialog->OnNotify(m_nId, nCode);
}

bool CWnd::OnWidgetEvent(QObject*, QEvent*)
{
    return false;
}

bool CWnd::FilterEvent(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent == m_pDelivering)
        return false;   // Default() is handing this event to the widget
    QObject* pOuterWatched = std::exchange(m_pCurrentWatched, pWatched);
    QEvent* pOuterEvent = std::exchange(m_pCurrentEvent, pEvent);
    bool bHandled = OnWidgetEvent(pWatched, pEvent);
    m_pCurrentWatched = pOuterWatched;
    m_pCurrentEvent = pOuterEvent;
    return bHandled;
}

void CWnd::Default()
{
    if (!m_pCurrentEvent || !m_pCurrentWatched)
        return;
    QObject* pWatched = std::exchange(m_pCurrentWatched, nullptr);
    QEvent* pEvent = std::exchange(m_pCurrentEvent, nullptr);
    QEvent* pOuter = std::exchange(m_pDelivering, pEvent);
    QCoreApplication::sendEvent(pWatched, pEvent);
    m_pDelivering = pOuter;
}
