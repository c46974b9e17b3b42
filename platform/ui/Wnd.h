#pragma once
// Windows of the user-interface layer: CWnd binds a Qt widget to an opaque window handle from a
// thread-safe registry, receives sent and posted messages, and lets subclasses see the widget's
// input events. Everything here runs on the user-interface thread except PostMessage and
// IsWindow, which any thread may call.

#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <string>

#include "WoxUi.h"

class QEvent;
class QObject;
class CDialog;

// Frees the block a posted message carries. Called when the message is dropped: its window is
// gone by delivery, or the window does not handle the message.
typedef void (*PFN_WoxFreeBlock)(LPARAM lParam);

// Posts a message to a window; any thread. Messages are executed on the user-interface thread in
// posting order. The block in lParam travels with the message: when the message cannot be
// delivered (now or later) it is freed with pfnFree, so a poster never touches it again. Pass
// pfnFree only when ownership of the block passes with the message. Answers 0 when the window is
// already gone (the block is then freed at once).
BOOL PostMessage(HWOXWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, PFN_WoxFreeBlock pfnFree = nullptr);

// Posted messages not yet carried out; any thread.
size_t WoxPendingPostedMessages();

// How the user-interface thread has carried out posted messages: the longest slice it spent in
// them without returning to its event loop, and the number of slices. User-interface thread.
struct SWoxPostedSlices
{
    double dLongestMs;
    int64_t nSlices;
};
SWoxPostedSlices WoxPostedSlices();
void WoxResetPostedSlices();

// Calls the window's message handler directly; user-interface thread only. 0 for a gone window.
LRESULT SendMessage(HWOXWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// True while a window holds the handle; any thread.
BOOL IsWindow(HWOXWND hWnd);

// A C string as Qt text (UTF-8; none reads as empty).
inline QString WoxQtText(const char* pszText) { return QString::fromUtf8(pszText ? pszText : ""); }

// The text a widget shows: an edit's contents, a label's or button's text, a dialog's caption,
// a combo box's current text.
void WoxSetWidgetText(QWidget* pWidget, const char* pszText);
std::string WoxGetWidgetText(QWidget* pWidget);

// The run-time class name of a window class.
struct CRuntimeClass
{
    const char* m_lpszClassName;
};

class CWnd
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window object holding a handle, or none.
    static CWnd* FromHandle(HWOXWND hWnd);

    // Binds the widget and gives this window a new handle. The widget stays owned by its Qt
    // parent; when it is destroyed the handle goes with it.
    void Attach(QWidget* pWidget);
    // Gives up the widget and the handle.
    QWidget* Detach();

    HWOXWND GetSafeHwnd() const { return m_hWnd; }
    QWidget* GetWidget() const { return m_pWidget.data(); }
    int GetDlgCtrlID() const { return m_nId; }
    // The dialog the window belongs to (set when a dialog subclasses one of its controls).
    CDialog* GetOwnerDialog() const { return m_pOwnerDialog; }
    void SetDialogInfo(CDialog* pDialog, int nId);

    virtual const CRuntimeClass* GetRuntimeClass() const;

    // Message entry: executes a message sent or posted to this window. Answers false when the
    // message is not one this window handles.
    virtual bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Inside a run of posted messages on the user-interface thread: asks for one OnPostedRunEnd()
    // call when the run ends, before the event loop gets its turn. False outside such a run (the
    // caller then finishes its work at once).
    bool CallAtPostedRunEnd();
    // The run of posted messages that CallAtPostedRunEnd was called in has ended: a window that
    // gathered the work of many requests carries it out here, in one go.
    virtual void OnPostedRunEnd() {}

    LRESULT SendMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    BOOL PostMessage(UINT nMsg, WPARAM wParam, LPARAM lParam, PFN_WoxFreeBlock pfnFree = nullptr);

    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable);
    BOOL IsWindowEnabled() const;
    void SetWindowText(const char* pszText);
    std::string GetWindowText() const;
    void SetFocus();
    // Sends a notification code to the owning dialog's OnNotify.
    void NotifyOwner(int nCode);

protected:
    // Input events of the widget (and of its viewport for item views). Answer true to swallow.
    virtual bool OnWidgetEvent(QObject* pWatched, QEvent* pEvent);
    // Called by Attach after the widget is bound.
    virtual void OnAttached() {}

    // Inside a mouse or key handler called from OnWidgetEvent: hands the event to the widget
    // now (once), as the window's default processing.
    void Default();


private:
    friend class CWndEventHook;
    void Unregister();
    bool FilterEvent(QObject* pWatched, QEvent* pEvent);

    QObject* m_pCurrentWatched = nullptr;
    QEvent* m_pCurrentEvent = nullptr;
    QEvent* m_pDelivering = nullptr;

    HWOXWND m_hWnd = 0;
    QPointer<QWidget> m_pWidget;
    QObject* m_pHook = nullptr;
    CDialog* m_pOwnerDialog = nullptr;
    int m_nId = 0;
};
