#pragma once
// Helpers the editor's tasks share: the run mutex held for a setter, posting one item to the
// active view, and pacing a long run of posts to what the view takes.

#include "ThreadBase.h"
#include "Wnd.h"

// Holds a task's run mutex for a setter on the window thread (waits without time-out).
class CWoxRunMutexLock
{
public:
    explicit CWoxRunMutexLock(ITdMutex* pMutex) : m_pMutex(pMutex)
    {
        if (m_pMutex && m_pMutex->Wait(-1) != 0)
            m_pMutex = nullptr;
    }
    ~CWoxRunMutexLock()
    {
        if (m_pMutex)
            m_pMutex->ReleaseMutex();
    }
    CWoxRunMutexLock(const CWoxRunMutexLock&) = delete;
    CWoxRunMutexLock& operator=(const CWoxRunMutexLock&) = delete;

private:
    ITdMutex* m_pMutex;
};

// Posts a labelled item for (year, stand) to the tree (view type 0) or the grid (1), with the
// keys the view and view-by ask for. False when the view is gone.
bool WoxPostViewItem(int nViewType, int nViewBy, HWOXWND hTree, HWOXWND hGrid, int nYear, const char* pszStand, const char* pszLabel);

// Holds a task back while the user-interface thread still has many posted requests to carry out.
// A fill of any size then keeps a bounded number of request blocks alive, which come back through
// the block pool instead of growing the heap, and leaves the processor to the thread that shows
// them. The user-interface thread may itself be waiting for the task (a reload it waits for):
// when the queue does not shrink for a while, the task stops waiting for the rest of its run.
// One object per run; the task's thread only.
class CWoxViewPacer
{
public:
    // Before each post. False when the task is asked to stop while it waits.
    bool Pace(CWoxThreadBase& task);

private:
    static constexpr int kCheckEvery = 64;       // posts between looks at the queue
    static constexpr size_t kHigh = 8192;        // waits from here...
    static constexpr size_t kLow = 4096;         // ...until the queue is down to this
    static constexpr int kPatienceMs = 50;       // without the queue shrinking, then no more waits
    int m_nPosts = 0;
    bool m_bGaveUp = false;
};
