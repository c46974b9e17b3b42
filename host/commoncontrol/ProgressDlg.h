#pragma once
// The progress dialog of the Common Control Library: a small window with a line of text and a
// bar, shown modally by DoModal on the user-interface thread while a background task reports to
// it. Every other operation may be called from any thread: it records the new state under a lock
// and asks the window, through a posted message, to show it, so only the user-interface thread
// ever touches a widget. The object holds no widget itself (the window lives inside DoModal), so
// its last reference may go on any thread.

#include <atomic>
#include <mutex>
#include <string>

#include "HostDialogs.h"

class CProgressWnd;

class CWoxProgressDlg final : public IProgressDlg
{
public:
    explicit CWoxProgressDlg(HWOXWND hParent);

    void AddReference() override;
    void Release() override;

    // Non-zero when the window's template is known, so DoModal can show it.
    int Create(IDynamicPtrTemplate<IDynamic> pReserved) override;
    // Ends the window (or, before DoModal, makes it end at once). Any thread.
    void Close() override;
    // Shows the window modally until Close. User-interface thread. 0 when it cannot be shown.
    int DoModal() override;
    // Non-zero once the window is up, and after DoModal ended, so a task waiting for the window
    // never waits for one that will not come.
    int IsReady() override;
    void SetText(const char* pszText) override;
    // Sets the range and puts the bar at its start.
    void SetRange(int nLow, int nHigh) override;
    void StepIt() override;

private:
    friend class CProgressWnd;
    ~CWoxProgressDlg() = default;

    // The state the window shows, copied under the lock.
    struct SState
    {
        std::string text;
        int nLow = 0;
        int nHigh = 100;
        int nPos = 0;
        bool bClosed = false;
    };
    // Window side: the window is up (hWnd) or gone (0).
    void WindowUp(HWOXWND hWnd);
    // Window side: the state to show now; clears the pending refresh.
    SState TakeState();
    // Asks the window for a refresh unless one is pending. Called with m_lock held.
    void RequestRefreshLocked();

    std::atomic<int> m_nReferences{0};
    HWOXWND m_hParent;
    std::mutex m_lock;
    SState m_state;                // guarded by m_lock
    HWOXWND m_hWnd = 0;            // guarded by m_lock
    bool m_bReady = false;         // guarded by m_lock
    bool m_bRefreshPending = false;   // guarded by m_lock
};

// A new progress dialog object (no reference taken yet).
IProgressDlg* WoxCreateProgressDlg(HWOXWND hParent);
