#pragma once
// A report-style list that carries out work requests posted from background tasks (messages
// 1029-1036 of ControlRequests.h) on the user-interface thread, and tracks the last row and
// column it touched. Clicks on empty space and middle or right clicks do not reach the list.

#include "ControlRequests.h"
#include "ListCtrl.h"

class CListCtrlEx : public CListCtrl
{
public:
    virtual void DeleteAllColumns();
    virtual void DeleteAllItems();
    virtual void DeleteItem(long nItem);
    // Inserts at nIndex; the column becomes the last column, the last row -1.
    virtual long InsertColumn(long nIndex, const LVCOLUMN* pColumn);
    // Row -1 appends. Answers the row used (-1 on failure); it becomes the last row.
    virtual long InsertItem(const LVITEM* pItem);
    // Row -1 is the last row. The row and sub-item become the last ones.
    virtual bool SetItem(const LVITEM* pItem);

    long InsertColumn(long nIndex, const char* pszHeading, int nWidth, int nFormat = LVCFMT_LEFT);

    int GetLastItem() const { return m_nLastItem; }
    int GetLastSubItem() const { return m_nLastSubItem; }

    LRESULT OnLvmDeleteAllColumnsEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmDeleteAllItemsEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmDeleteItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmInsertColumnEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmInsertItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmSetItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindowEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmSetCheckBoxEx(WPARAM wParam, LPARAM lParam);

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnMButtonDown(UINT nFlags, CPoint point) override;
    void OnMButtonDblClk(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonDblClk(UINT nFlags, CPoint point) override;

    int m_nLastItem = -1;
    int m_nLastSubItem = -1;
};
