#pragma once
// The framework's common controls over Qt widgets: report-style list, tree, extended combo box,
// edit and button. A control object is bound to a dialog's widget with SubclassDlgItem (or to any
// widget with Attach). User-interface thread only.

#include <string>
#include <unordered_set>

#include "ControlRecords.h"
#include "Wnd.h"

class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QComboBox;
class QLineEdit;

// A list view in report style (rows and columns).
class CListCtrl : public CWnd
{
public:
    int GetItemCount() const;
    int GetColumnCount() const;
    // Inserts a column at nCol (clamped to the end); answers its index, -1 on failure.
    int InsertColumn(int nCol, const LVCOLUMN* pColumn);
    int InsertColumn(int nCol, const char* pszHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    BOOL DeleteColumn(int nCol);
    int GetColumnWidth(int nCol) const;
    std::string GetColumnText(int nCol) const;

    // Inserts a row at iItem (past the end appends); answers its index, -1 on failure.
    int InsertItem(const LVITEM* pItem);
    int InsertItem(int nItem, const char* pszText);
    // Sets the text, data or state of an existing row's cell.
    BOOL SetItem(const LVITEM* pItem);
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    std::string GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, LPARAM nData);
    LPARAM GetItemData(int nItem) const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();

    // The first selected row, -1 when none.
    int GetSelectedItem() const;
    std::vector<int> GetSelectedItems() const;
    // Selects one row (clearing the others); -1 clears the selection.
    BOOL SelectItem(int nItem);
    BOOL SetCheck(int nItem, BOOL bCheck);
    BOOL GetCheck(int nItem) const;
    // The row under a point of the list's client area, -1 for empty space.
    int HitTest(CPoint point) const;

    QTableWidget* Table() const;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    // Mouse input on the rows; the defaults hand the event to the list.
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnMButtonDown(UINT nFlags, CPoint point);
    virtual void OnMButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonDblClk(UINT nFlags, CPoint point);

    bool OnWidgetEvent(QObject* pWatched, QEvent* pEvent) override;
    void OnAttached() override;
};

// A tree view with one column of items.
class CTreeCtrl : public CWnd
{
public:
    CTreeCtrl() = default;
    ~CTreeCtrl() override;

    // Inserts an item under hParent (TVI_ROOT or none = first level) after hInsertAfter
    // (TVI_FIRST, TVI_LAST or a sibling); none on failure.
    HTREEITEM InsertItem(const TVINSERTSTRUCT* pInsert);
    HTREEITEM InsertItem(const char* pszText, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    // Sets the fields of pItem->mask on the item pItem->hItem.
    BOOL SetItem(const TVITEM* pItem);
    BOOL SetItemText(HTREEITEM hItem, const char* pszText);
    std::string GetItemText(HTREEITEM hItem) const;
    LPARAM GetItemData(HTREEITEM hItem) const;
    // Deletes the item and everything under it.
    BOOL DeleteItem(HTREEITEM hItem);
    BOOL DeleteAllItems();

    // True while the handle names an item of this tree.
    bool IsItem(HTREEITEM hItem) const;
    HTREEITEM GetRootItem() const;   // the first first-level item
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetChildItem(HTREEITEM hItem) const;
    HTREEITEM GetParentItem(HTREEITEM hItem) const;
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    int GetCount() const;
    BOOL Expand(HTREEITEM hItem, bool bExpand = true);
    BOOL SelectItem(HTREEITEM hItem);
    HTREEITEM GetSelectedItem() const;

    QTreeWidget* Tree() const;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    void OnAttached() override;

private:
    friend class CTreeItem;
    QTreeWidgetItem* Item(HTREEITEM hItem) const;
    void ApplyItem(QTreeWidgetItem* pItem, const TVITEM& item);
    std::unordered_set<const QTreeWidgetItem*> m_items;   // every live item made by this tree
};

// An extended combo box (a drop-down list of texts).
class CComboBoxEx : public CWnd
{
public:
    // Inserts at iItem (0..count); answers the index, -1 on failure.
    int InsertItem(const COMBOBOXEXITEM* pItem);
    // Answers the number of items left, CB_ERR on failure.
    int DeleteItem(int nIndex);
    BOOL SetItem(const COMBOBOXEXITEM* pItem);
    int GetCount() const;
    // Answers the index selected, CB_ERR when out of range (-1 clears the selection).
    int SetCurSel(int nIndex);
    int GetCurSel() const;
    std::string GetItemText(int nIndex) const;
    LPARAM GetItemData(int nIndex) const;
    void ResetContent();

    QComboBox* Combo() const;
    const CRuntimeClass* GetRuntimeClass() const override;
};

// A single-line edit.
class CEdit : public CWnd
{
public:
    void SetLimitText(int nMax);
    void SetReadOnly(BOOL bReadOnly);
    QLineEdit* Edit() const;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    // A key pressed in the edit (virtual key code: 13 Enter, 9 Tab, 27 Escape, letters and
    // digits as their upper-case characters); the default hands it to the edit.
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    bool OnWidgetEvent(QObject* pWatched, QEvent* pEvent) override;
};

// A push button, check box or radio button.
class CButton : public CWnd
{
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};
