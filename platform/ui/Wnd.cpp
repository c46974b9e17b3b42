#include "Wnd.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "Dialog.h"

namespace
{

// The handle registry. Only the user-interface thread adds and removes entries, so a window
// found there on that thread stays alive while its handler runs.
std::mutex g_registryLock;
std::unordered_map<HWOXWND, CWnd*> g_windows;
HWOXWND g_nNextHandle = 0x10000;

// Posting goes through one dispatcher object living on the user-interface thread. The lock also
// orders a poster's writes to its block before the handler's reads (Qt's own queue lock is not
// visible to thread checkers).
std::mutex g_postLock;
QObject* g_pDispatcher = nullptr;

CWnd* Lookup(HWOXWND hWnd)
{
    std::lock_guard<std::mutex> guard(g_registryLock);
    auto it = g_windows.find(hWnd);
    return it == g_windows.end() ? nullptr : it->second;
}

QEvent::Type PostedMessageType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// A posted message. It owns its block until a window has handled it: a message that is never
// delivered (window gone, dispatcher destroyed with the message still queued) frees the block
// when Qt deletes the event.
class CPostedMessage final : public QEvent
{
public:
    CPostedMessage(HWOXWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, PFN_WoxFreeBlock pfnFree)
        : QEvent(PostedMessageType()), m_hWnd(hWnd), m_nMsg(nMsg), m_wParam(wParam), m_lParam(lParam), m_pfnFree(pfnFree)
    {
    }
    ~CPostedMessage() override
    {
        {
            std::lock_guard<std::mutex> guard(g_postLock);
        }
        if (m_pfnFree)
            m_pfnFree(m_lParam);
    }

    void Deliver()
    {
        CWnd* pWnd = Lookup(m_hWnd);
        LRESULT nResult = 0;
        if (pWnd && pWnd->OnWndMsg(m_nMsg, m_wParam, m_lParam, &nResult))
            m_pfnFree = nullptr;   // the window took the block
    }

private:
    HWOXWND m_hWnd;
    UINT m_nMsg;
    WPARAM m_wParam;
    LPARAM m_lParam;
    PFN_WoxFreeBlock m_pfnFree;
};

class CMessageDispatcher final : public QObject
{
public:
    using QObject::QObject;
    ~CMessageDispatcher() override
    {
        std::lock_guard<std::mutex> guard(g_postLock);
        if (g_pDispatcher == this)
            g_pDispatcher = nullptr;
    }

    bool event(QEvent* pEvent) override
    {
        {
            // Orders the poster's writes (the event and its block) before everything read here.
            std::lock_guard<std::mutex> guard(g_postLock);
        }
        if (pEvent->type() != PostedMessageType())
            return QObject::event(pEvent);
        static_cast<CPostedMessage*>(pEvent)->Deliver();
        return true;
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
            QCoreApplication::postEvent(g_pDispatcher, new CPostedMessage(hWnd, nMsg, wParam, lParam, pfnFree));
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
