#pragma once
// Helpers the editor's tasks share: the run mutex held for a setter, and posting one item to the
// active view.

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
