#pragma once
// A common control over a Qt widget. A control object is bound to a dialog's widget with
// SubclassDlgItem (or to any widget with Attach). User-interface thread only.

#include <QPointer>
#include <string>
#include <vector>

#include "ControlRecords.h"
#include "Wnd.h"

class QTableWidget;

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
    // All columns (and their spares) in one go: one layout of the table, not one per column.
    BOOL DeleteAllColumns();
    int GetColumnWidth(int nCol) const;
    std::string GetColumnText(int nCol) const;

    // Appends columns with these headings, each of nWidth and nFormat, in one go: the table lays
    // itself out once for all of them. Answers the index of the first.
    int AppendColumns(const std::vector<std::string>& headings, int nWidth, int nFormat);
    // Appends text-only rows with these first-column texts in one go; there must be a column.
    // Answers the index of the first.
    int AppendRows(const std::vector<std::string>& texts);

    // Sets the texts of many cells of existing rows and columns in one go; cells out of range are
    // left out. The table is told once, by one repaint when any of them is in view, instead of a
    // notification per cell. Answers the number of cells set.
    struct SCellText
    {
        int nItem;
        int nSubItem;
        std::string text;
    };
    int SetItemTexts(const std::vector<SCellText>& cells);

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

    // Gives the list a header that measures one heading for its height instead of up to two
    // hundred after every change of the columns (for lists of thousands of columns whose
    // headings are one line each). Column widths and header settings are kept.
    void UseOneLineHeadings();

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

private:
    // Columns in use: the table's column count, or fewer once hidden spares wait at the end.
    int ColumnsInUse(QTableWidget* pTable) const;
    bool HasSpareColumns(QTableWidget* pTable) const;
    // nColumns -1: no spares.
    void SetColumnsInUse(QTableWidget* pTable, int nColumns);
    void AppendColumn(QTableWidget* pTable, int nCol);

    mutable QPointer<QTableWidget> m_pColumnsTable;   // the table m_nColumnsInUse was read from
    mutable int m_nColumnsInUse = -1;
};
