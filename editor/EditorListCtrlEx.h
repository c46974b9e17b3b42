#pragma once
// The Scenario Editor's grid view: rows carry one key in their first column, columns the other in
// their headings, and a cell lists the labels of its treatments joined by ", ". The load and add
// tasks fill it with path requests (1037 insert, 1038 clear) besides the requests of
// CListCtrlEx. The user selects cells, not rows: a click selects one, Ctrl+click adds or removes
// one; selected cells are drawn blanked with a dark green frame and their text centred. The
// selection is kept as cell rectangles in content coordinates (client coordinates plus the
// horizontal scroll position and the vertical scroll position times the row height), so it
// scrolls with the content; the editor window reads it back as (stand, year) keys.
//
// Rows and columns are found by key through indexes (rebuilt after anything but an append), so a
// fill of thousands of rows or columns never scans them all per request. During a run of posted
// requests the new rows, columns and cell texts are gathered and given to the table in one go at
// the end of the run (or before anything else reads or changes the grid): the table then lays
// itself out once per run instead of once per new column. User-interface thread only.

#include <QObject>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Containers.h"
#include "ListCtrlEx.h"
#include "ViewPathItem.h"

class CEditorListCtrlEx : public CListCtrlEx
{
public:
    explicit CEditorListCtrlEx(HWOXHEAP hHeap);
    ~CEditorListCtrlEx() override;

    // Loads the Data Controller Library (once) and makes the selection array of 16-byte cell
    // rectangles. False on any failure.
    bool Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter);

    void DeleteAllColumns() override;
    // Empties the selection, then the rows.
    void DeleteAllItems() override;
    void DeleteItem(long nItem) override;
    long InsertColumn(long nIndex, const LVCOLUMN* pColumn) override;
    long InsertItem(const LVITEM* pItem) override;
    bool SetItem(const LVITEM* pItem) override;
    using CListCtrlEx::InsertColumn;

    // The cell at (row key, column key), appending the row or column where missing.
    bool FindOrCreateCell(const char* pszRow, const char* pszColumn, int& nRow, int& nColumn);

    LRESULT OnLvmInsertPathItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnLvmClearPathEx(WPARAM wParam, LPARAM lParam);

    int GetSelectedCount();
    // Appends one SViewKey per selected cell, in selection order, for nViewBy 0 (by stand: the
    // stand is the column heading, the year the row's key) or 1 (by year: the other way round).
    int GetSelectedKeys(int nViewBy, IDynamicPtrTemplate<IArrayExt2> pKeys);
    // A plain click at a screen point: the selection becomes the cell there, or nothing.
    void SelectAtPoint(int x, int y);
    // True when the cell is in the selection (as it is drawn now).
    bool IsCellSelected(int nRow, int nColumn);

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    const CRuntimeClass* GetRuntimeClass() const override;
    void OnPostedRunEnd() override;

protected:
    void OnAttached() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonDblClk(UINT nFlags, CPoint point) override;

private:
    struct SCellRect
    {
        int32_t nLeft, nTop, nRight, nBottom;
        bool operator==(const SCellRect&) const = default;
    };
    // The cell's rectangle in content coordinates; false when there is no such cell.
    bool ContentRect(int nRow, int nColumn, SCellRect& rect) const;
    // The cell under a point of the client area, or false.
    bool CellAt(int x, int y, int& nRow, int& nColumn) const;
    int ContentOffsetX() const;
    int ContentOffsetY() const;
    // Adds the rectangle to the selection or takes it out; a plain click empties it first.
    void ToggleCell(const SCellRect& rect, bool bKeep);
    int FindSelected(const SCellRect& rect);
    void Repaint();
    // Repaints one cell given in content coordinates, when it is in view.
    void RepaintCell(const SCellRect& rect);
    // The newest filled cell becomes the selection unless it is selected already. Its rectangle
    // is worked out at the end of the current run of requests, so a flood of inserts lays the
    // table out once per turn of the event loop instead of once per cell.
    void SelectFilledCell(int nRow, int nColumn);
    void ShowCaretLater();
    // A cell still waiting becomes the selection now (before the selection is read or changed,
    // and before the cells move).
    void ShowCaretPending();
    int FindRow(const std::string& key);
    int FindColumn(const std::string& key);
    void AddRowKey(const std::string& key);
    void AddColumnKey(const std::string& key);
    // A cell's text, one still waiting for the table included.
    std::string CellText(int nRow, int nColumn) const;
    // Keeps the text for the table until the run of requests ends (at once outside a run).
    void SetCellTextLater(int nRow, int nColumn, std::string text);
    // Gives the table the rows, columns and cell texts gathered so far.
    void ApplyPending();
    static uint64_t CellId(int nRow, int nColumn) { return (static_cast<uint64_t>(nRow) << 32) | static_cast<uint32_t>(nColumn); }

    HWOXHEAP m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    char m_szDataController[WOX_MAX_PATH] = {};
    IDynamicPtrTemplate<IArrayExt2> m_pSelection;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;

    // Keys of the rows (first-column texts) and columns (headings), those still waiting for the
    // table included, and each key's first row or column. Dirty: to be read again from the table
    // (only after a change made at once, which applies what waits first).
    std::vector<std::string> m_rowKeys;
    std::vector<std::string> m_columnKeys;
    std::unordered_map<std::string, int> m_rows;
    std::unordered_map<std::string, int> m_columns;
    bool m_bRowsDirty = false;
    bool m_bColumnsDirty = false;
    // Waiting for the table: the last rows and columns of the keys, and cell texts.
    int m_nPendingRows = 0;
    int m_nPendingColumns = 0;
    std::unordered_map<uint64_t, std::string> m_pendingCells;

    std::unique_ptr<QObject> m_pCaretContext;   // context of the deferred caret; goes with this object
    int m_nCaretRow = -1;
    int m_nCaretColumn = -1;
    bool m_bCaretPending = false;   // the selection is to become the caret cell alone
    bool m_bCaretQueued = false;
};
