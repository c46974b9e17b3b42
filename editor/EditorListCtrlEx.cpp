#include "EditorListCtrlEx.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <cstdlib>

#include "HostObject.h"
#include "WoxText.h"

namespace
{

constexpr int kCellText = WOX_REQUEST_TEXT - 1;   // cell texts hold at most this many characters
// A selection change repaints its cells one by one up to this many, the whole grid beyond.
constexpr int kMaxCellUpdates = 64;
// Cell texts gathered during a run of requests before they go to the table.
constexpr size_t kMaxPendingCells = 2048;

// Paints a selected cell blanked, framed in dark green, with its text centred; other cells as
// the table does.
class CGridCellDelegate final : public QStyledItemDelegate
{
public:
    CGridCellDelegate(CEditorListCtrlEx* pGrid, QObject* pParent) : QStyledItemDelegate(pParent), m_pGrid(pGrid) {}

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!m_pGrid || !m_pGrid->IsCellSelected(index.row(), index.column()))
        {
            // The table's own focus and hover marks would look like a selection: the grid has none.
            QStyleOptionViewItem plain = option;
            plain.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Selected);
            QStyledItemDelegate::paint(pPainter, plain, index);
            return;
        }
        pPainter->save();
        const QRect rect = option.rect.adjusted(0, 0, -1, -1);
        pPainter->fillRect(option.rect, option.palette.base());
        pPainter->setPen(QPen(QColor(0, 100, 0), 1));
        pPainter->drawRect(rect);
        pPainter->setPen(option.palette.color(QPalette::Text));
        pPainter->setFont(option.font);
        // Centred; a label wider than the cell ends in an ellipsis rather than losing both ends.
        const QRect textRect = option.rect.adjusted(3, 0, -3, 0);
        const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
        pPainter->drawText(textRect, Qt::AlignCenter, text);
        pPainter->restore();
    }

    CEditorListCtrlEx* m_pGrid;
};

} // namespace

CEditorListCtrlEx::CEditorListCtrlEx(HWOXHEAP hHeap) : m_hHeap(hHeap) {}

CEditorListCtrlEx::~CEditorListCtrlEx()
{
    // The table may outlive this object: its delegate must not call back into it.
    if (QTableWidget* pTable = Table())
    {
        if (auto* pDelegate = dynamic_cast<CGridCellDelegate*>(pTable->itemDelegate()))
            pDelegate->m_pGrid = nullptr;
    }
    m_pSelection.Clear();
}

bool CEditorListCtrlEx::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter)
{
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", m_szDataController, m_hDataController))
        return false;
    return WoxCreateArrayExt2(m_hDataController, m_hHeap, pLibMgr, pRegistry, pErrorReporter, sizeof(SCellRect), m_pSelection);
}

void CEditorListCtrlEx::OnAttached()
{
    CListCtrlEx::OnAttached();
    QTableWidget* pTable = Table();
    if (!pTable)
        return;
    // The grid keeps its own cell selection; the table's row selection and editing stay off.
    pTable->setSelectionMode(QAbstractItemView::NoSelection);
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pTable->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    pTable->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    pTable->setWordWrap(false);
    pTable->setShowGrid(true);
    pTable->verticalHeader()->hide();
    UseOneLineHeadings();   // a stand per column, thousands of them
    pTable->setItemDelegate(new CGridCellDelegate(this, pTable));
}

void CEditorListCtrlEx::DeleteAllColumns()
{
    ApplyPending();
    ShowCaretPending();
    CListCtrlEx::DeleteAllColumns();
    m_columnKeys.clear();
    m_columns.clear();
    m_bColumnsDirty = false;
    m_bRowsDirty = true;   // the rows' keys went with the first column
}

void CEditorListCtrlEx::DeleteAllItems()
{
    ApplyPending();
    m_bCaretPending = false;
    if (m_pSelection)
        m_pSelection->RemoveAll(0);
    CListCtrlEx::DeleteAllItems();
    m_rowKeys.clear();
    m_rows.clear();
    m_bRowsDirty = false;
}

void CEditorListCtrlEx::DeleteItem(long nItem)
{
    ApplyPending();
    ShowCaretPending();
    CListCtrlEx::DeleteItem(nItem);
    m_bRowsDirty = true;
}

long CEditorListCtrlEx::InsertColumn(long nIndex, const LVCOLUMN* pColumn)
{
    ApplyPending();
    const int nBefore = GetColumnCount();
    if (nIndex < nBefore)
        ShowCaretPending();
    long nResult = CListCtrlEx::InsertColumn(nIndex, pColumn);
    if (nResult >= 0 && nResult == nBefore && !m_bColumnsDirty)
        AddColumnKey(GetColumnText(static_cast<int>(nResult)));
    else if (nResult >= 0)
        m_bColumnsDirty = true;
    return nResult;
}

long CEditorListCtrlEx::InsertItem(const LVITEM* pItem)
{
    ApplyPending();
    const int nBefore = GetItemCount();
    const int nColumnsBefore = GetColumnCount();
    if (pItem && pItem->iItem >= 0 && pItem->iItem < nBefore)
        ShowCaretPending();
    long nResult = CListCtrlEx::InsertItem(pItem);
    if (nResult >= 0 && nResult == nBefore && !m_bRowsDirty)
        AddRowKey(GetItemText(static_cast<int>(nResult), 0));
    else if (nResult >= 0)
        m_bRowsDirty = true;
    if (nColumnsBefore == 0)
        m_bColumnsDirty = true;   // the first row brought the first column
    return nResult;
}

bool CEditorListCtrlEx::SetItem(const LVITEM* pItem)
{
    ApplyPending();
    bool bResult = CListCtrlEx::SetItem(pItem);
    if (bResult && pItem->iSubItem == 0 && (pItem->mask & LVIF_TEXT))
        m_bRowsDirty = true;   // a row key changed
    return bResult;
}

void CEditorListCtrlEx::AddRowKey(const std::string& key)
{
    m_rows.emplace(key, static_cast<int>(m_rowKeys.size()));
    m_rowKeys.push_back(key);
}

void CEditorListCtrlEx::AddColumnKey(const std::string& key)
{
    m_columns.emplace(key, static_cast<int>(m_columnKeys.size()));
    m_columnKeys.push_back(key);
}

int CEditorListCtrlEx::FindRow(const std::string& key)
{
    if (m_bRowsDirty)
    {
        // Only changes carried out at once make the keys dirty, and they apply what waits first.
        m_rowKeys.clear();
        m_rows.clear();
        const int nRows = GetItemCount();
        for (int nRow = 0; nRow < nRows; ++nRow)
            AddRowKey(GetItemText(nRow, 0));
        m_bRowsDirty = false;
    }
    const int nRows = static_cast<int>(m_rowKeys.size());
    // The tracked last row and the one after it first: a fill posts runs along a row.
    for (int nRow : {m_nLastItem, m_nLastItem + 1})
    {
        if (nRow >= 0 && nRow < nRows && m_rowKeys[nRow] == key)
            return nRow;
    }
    auto it = m_rows.find(key);
    return it != m_rows.end() ? it->second : -1;
}

int CEditorListCtrlEx::FindColumn(const std::string& key)
{
    if (m_bColumnsDirty)
    {
        m_columnKeys.clear();
        m_columns.clear();
        const int nColumns = GetColumnCount();
        for (int nColumn = 0; nColumn < nColumns; ++nColumn)
            AddColumnKey(GetColumnText(nColumn));
        m_bColumnsDirty = false;
    }
    const int nColumns = static_cast<int>(m_columnKeys.size());
    for (int nColumn : {m_nLastSubItem, m_nLastSubItem + 1})
    {
        if (nColumn >= 0 && nColumn < nColumns && m_columnKeys[nColumn] == key)
            return nColumn;
    }
    auto it = m_columns.find(key);
    return it != m_columns.end() ? it->second : -1;
}

bool CEditorListCtrlEx::FindOrCreateCell(const char* pszRow, const char* pszColumn, int& nRow, int& nColumn)
{
    const std::string rowKey = pszRow ? pszRow : "";
    const std::string columnKey = pszColumn ? pszColumn : "";
    nRow = FindRow(rowKey);
    if (nRow < 0)
    {
        if (m_columnKeys.empty())
        {
            // The first row of a grid without columns brings the first column along: the
            // table's own way, at once.
            ApplyPending();
            LVITEM row{};
            row.mask = LVIF_TEXT;
            row.iItem = GetItemCount();
            row.pszText = const_cast<char*>(rowKey.c_str());
            nRow = static_cast<int>(InsertItem(&row));
            if (nRow < 0)
                return false;
        }
        else
        {
            nRow = static_cast<int>(m_rowKeys.size());
            AddRowKey(rowKey);
            ++m_nPendingRows;
            m_nLastItem = nRow;   // as an insert of the row leaves them
            m_nLastSubItem = 0;
        }
    }
    nColumn = FindColumn(columnKey);
    if (nColumn < 0)
    {
        nColumn = static_cast<int>(m_columnKeys.size());
        AddColumnKey(columnKey);
        ++m_nPendingColumns;
        m_nLastItem = -1;   // as an insert of the column leaves them
        m_nLastSubItem = nColumn;
    }
    return true;
}

std::string CEditorListCtrlEx::CellText(int nRow, int nColumn) const
{
    auto it = m_pendingCells.find(CellId(nRow, nColumn));
    if (it != m_pendingCells.end())
        return it->second;
    // A row or column still waiting for the table has no text there yet.
    if (nRow >= static_cast<int>(m_rowKeys.size()) - m_nPendingRows || nColumn >= static_cast<int>(m_columnKeys.size()) - m_nPendingColumns)
        return std::string();
    return GetItemText(nRow, nColumn);
}

void CEditorListCtrlEx::SetCellTextLater(int nRow, int nColumn, std::string text)
{
    if (m_pendingCells.empty())
        m_pendingCells.reserve(kMaxPendingCells);
    m_pendingCells[CellId(nRow, nColumn)] = std::move(text);
    // A bounded share goes to the table at a time, while the run still counts its time.
    if (m_pendingCells.size() >= kMaxPendingCells || !CallAtPostedRunEnd())
        ApplyPending();
}

void CEditorListCtrlEx::OnPostedRunEnd()
{
    ApplyPending();
    ShowCaretPending();
}

void CEditorListCtrlEx::ApplyPending()
{
    if (m_nPendingColumns == 0 && m_nPendingRows == 0 && m_pendingCells.empty())
        return;
    if (m_nPendingColumns > 0)
    {
        const std::vector<std::string> headings(m_columnKeys.end() - m_nPendingColumns, m_columnKeys.end());
        m_nPendingColumns = 0;
        AppendColumns(headings, 100, LVCFMT_CENTER);
    }
    if (m_nPendingRows > 0)
    {
        const std::vector<std::string> texts(m_rowKeys.end() - m_nPendingRows, m_rowKeys.end());
        m_nPendingRows = 0;
        AppendRows(texts);
    }
    std::vector<SCellText> cells;
    cells.reserve(m_pendingCells.size());
    for (auto& [nId, text] : m_pendingCells)
        cells.push_back(SCellText{static_cast<int>(nId >> 32), static_cast<int>(nId & 0xffffffffu), std::move(text)});
    m_pendingCells.clear();
    SetItemTexts(cells);
}

LRESULT CEditorListCtrlEx::OnLvmInsertPathItemEx(WPARAM wParam, LPARAM lParam)
{
    CViewPathRequest pRequest(wParam, lParam, false);
    if (!pRequest)
        return 0;
    int nRow = -1;
    int nColumn = -1;
    if (!FindOrCreateCell(SViewKeyText(pRequest->szFirst).sz, SViewKeyText(pRequest->szSecond).sz, nRow, nColumn))
        return 0;
    const LVITEM& request = pRequest->listItem;
    char szLabel[WOX_REQUEST_TEXT] = {};
    if ((request.mask & LVIF_TEXT) && request.pszText)
        WoxFieldToString(szLabel, sizeof(szLabel), request.pszText, kCellText);
    std::string text = CellText(nRow, nColumn);
    text = text.empty() ? std::string(szLabel) : text + ", " + szLabel;
    if (text.size() > static_cast<size_t>(kCellText))
        text.resize(kCellText);

    if ((request.mask & ~static_cast<UINT>(LVIF_TEXT)) == 0)
    {
        // A label only (what the tasks post): the table takes it with the rest of the run.
        SetCellTextLater(nRow, nColumn, std::move(text));
        m_nLastItem = nRow;   // as setting the cell leaves them
        m_nLastSubItem = nColumn;
    }
    else
    {
        LVITEM item = request;
        item.mask |= LVIF_TEXT;
        item.iItem = nRow;
        item.iSubItem = nColumn;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size() + 1);
        SetItem(&item);
    }
    SelectFilledCell(nRow, nColumn);
    return 0;
}

void CEditorListCtrlEx::SelectFilledCell(int nRow, int nColumn)
{
    // With a selection of its own (not one made by this run of inserts) a cell already in it
    // keeps the selection as it is; only that case needs the cell's rectangle now. The cell's new
    // text is repainted by the table itself; the selection's cells when the caret is shown.
    if (!m_bCaretPending && m_pSelection && m_pSelection->GetSize() > 0)
    {
        ApplyPending();
        SCellRect rect{};
        if (!ContentRect(nRow, nColumn, rect) || FindSelected(rect) >= 0)
            return;
    }
    m_nCaretRow = nRow;
    m_nCaretColumn = nColumn;
    m_bCaretPending = true;
    ShowCaretLater();
}

void CEditorListCtrlEx::ShowCaretLater()
{
    if (m_bCaretQueued || !Table() || CallAtPostedRunEnd())
        return;
    m_bCaretQueued = true;
    if (!m_pCaretContext)
        m_pCaretContext = std::make_unique<QObject>();
    // Queued behind the requests of this turn; dropped with this object.
    QMetaObject::invokeMethod(m_pCaretContext.get(), [this]() {
        m_bCaretQueued = false;
        ShowCaretPending();
    }, Qt::QueuedConnection);
}

void CEditorListCtrlEx::ShowCaretPending()
{
    ApplyPending();
    if (!m_bCaretPending)
        return;
    m_bCaretPending = false;
    SCellRect rect{};
    if (!m_pSelection || !ContentRect(m_nCaretRow, m_nCaretColumn, rect))
        return;   // the selection stays as it is
    // Only the cells that leave the selection and the one that joins it change on screen: a fill
    // far to the right of the visible cells then paints nothing.
    const int nCount = m_pSelection->GetSize();
    if (nCount > kMaxCellUpdates)
        Repaint();
    else
    {
        for (int i = 0; i < nCount; ++i)
        {
            if (const auto* pOld = static_cast<const SCellRect*>(m_pSelection->GetAt(i, 0)))
                RepaintCell(*pOld);
        }
        RepaintCell(rect);
    }
    ToggleCell(rect, false);
}

LRESULT CEditorListCtrlEx::OnLvmClearPathEx(WPARAM wParam, LPARAM lParam)
{
    CViewPathRequest pRequest(wParam, lParam, false);
    if (!pRequest)
        return 0;
    int nRow = -1;
    int nColumn = -1;
    if (FindOrCreateCell(SViewKeyText(pRequest->szFirst).sz, SViewKeyText(pRequest->szSecond).sz, nRow, nColumn))
        SetCellTextLater(nRow, nColumn, std::string());
    return 0;
}

int CEditorListCtrlEx::ContentOffsetX() const
{
    QTableWidget* pTable = Table();
    return pTable ? pTable->horizontalScrollBar()->value() : 0;
}

int CEditorListCtrlEx::ContentOffsetY() const
{
    // The table scrolls by rows: the scroll position counts rows.
    QTableWidget* pTable = Table();
    if (!pTable || pTable->rowCount() == 0)
        return 0;
    return pTable->verticalScrollBar()->value() * pTable->rowHeight(0);
}

bool CEditorListCtrlEx::ContentRect(int nRow, int nColumn, SCellRect& rect) const
{
    QTableWidget* pTable = Table();
    if (!pTable || nRow < 0 || nColumn < 0 || nRow >= pTable->rowCount() || nColumn >= pTable->columnCount())
        return false;
    const QRect cell = pTable->visualRect(pTable->model()->index(nRow, nColumn));
    if (!cell.isValid())
        return false;
    const int nX = ContentOffsetX();
    const int nY = ContentOffsetY();
    rect = SCellRect{cell.left() + nX, cell.top() + nY, cell.right() + 1 + nX, cell.bottom() + 1 + nY};
    return true;
}

bool CEditorListCtrlEx::CellAt(int x, int y, int& nRow, int& nColumn) const
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return false;
    const QModelIndex index = pTable->indexAt(QPoint(x, y));
    if (!index.isValid())
        return false;
    nRow = index.row();
    nColumn = index.column();
    return true;
}

int CEditorListCtrlEx::FindSelected(const SCellRect& rect)
{
    if (!m_pSelection)
        return -1;
    const int nCount = m_pSelection->GetSize();
    for (int i = 0; i < nCount; ++i)
    {
        const auto* pRect = static_cast<const SCellRect*>(m_pSelection->GetAt(i, 0));
        if (pRect && *pRect == rect)
            return i;
    }
    return -1;
}

void CEditorListCtrlEx::ToggleCell(const SCellRect& rect, bool bKeep)
{
    if (!m_pSelection)
        return;
    if (!bKeep)
        m_pSelection->RemoveAll(0);
    const int nAt = FindSelected(rect);
    if (nAt >= 0)
        m_pSelection->RemoveAt(nAt, 1);
    else
        m_pSelection->Add(&rect);
}

bool CEditorListCtrlEx::IsCellSelected(int nRow, int nColumn)
{
    ShowCaretPending();
    SCellRect rect{};
    return m_pSelection && m_pSelection->GetSize() > 0 && ContentRect(nRow, nColumn, rect) && FindSelected(rect) >= 0;
}

void CEditorListCtrlEx::Repaint()
{
    if (QTableWidget* pTable = Table())
        pTable->viewport()->update();
}

void CEditorListCtrlEx::RepaintCell(const SCellRect& rect)
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return;
    const int nX = ContentOffsetX();
    const int nY = ContentOffsetY();
    const QRect client(QPoint(rect.nLeft - nX, rect.nTop - nY), QPoint(rect.nRight - nX - 1, rect.nBottom - nY - 1));
    if (client.intersects(pTable->viewport()->rect()))
        pTable->viewport()->update(client);
}

void CEditorListCtrlEx::OnLButtonDown(UINT nFlags, CPoint point)
{
    ShowCaretPending();
    if (!(nFlags & MK_CONTROL) && m_pSelection)
        m_pSelection->RemoveAll(0);
    int nRow = -1;
    int nColumn = -1;
    SCellRect rect{};
    if (CellAt(point.x, point.y, nRow, nColumn) && nColumn > 0 && ContentRect(nRow, nColumn, rect))
        ToggleCell(rect, true);
    Repaint();
}

void CEditorListCtrlEx::OnLButtonDblClk(UINT, CPoint) {}

void CEditorListCtrlEx::OnRButtonDown(UINT, CPoint point)
{
    if (HitTest(point) >= 0)
        Default();
}

void CEditorListCtrlEx::OnRButtonDblClk(UINT, CPoint point)
{
    if (HitTest(point) >= 0)
        Default();
}

void CEditorListCtrlEx::SelectAtPoint(int x, int y)
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return;
    const QPoint client = pTable->viewport()->mapFromGlobal(QPoint(x, y));
    OnLButtonDown(0, CPoint{client.x(), client.y()});
}

int CEditorListCtrlEx::GetSelectedCount()
{
    ShowCaretPending();
    return m_pSelection ? m_pSelection->GetSize() : 0;
}

int CEditorListCtrlEx::GetSelectedKeys(int nViewBy, IDynamicPtrTemplate<IArrayExt2> pKeys)
{
    if (!pKeys || !m_pSelection)
        return 0;
    ShowCaretPending();
    const int nX = ContentOffsetX();
    const int nY = ContentOffsetY();
    const int nCount = m_pSelection->GetSize();
    for (int i = 0; i < nCount; ++i)
    {
        const auto* pRect = static_cast<const SCellRect*>(m_pSelection->GetAt(i, 0));
        int nRow = -1;
        int nColumn = -1;
        if (!pRect || !CellAt(pRect->nLeft - nX + 2, pRect->nTop - nY + 2, nRow, nColumn))
            continue;
        const std::string heading = GetColumnText(nColumn);
        const std::string rowKey = GetItemText(nRow, 0);
        SViewKey key{};
        if (nViewBy == 0)
        {
            WoxCopyText(key.szStand, heading.c_str());
            key.nYear = std::atoi(rowKey.c_str());
        }
        else
        {
            key.nYear = std::atoi(heading.c_str());
            WoxCopyText(key.szStand, rowKey.c_str());
        }
        pKeys->Add(&key);
    }
    return 1;
}

bool CEditorListCtrlEx::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (nMsg)
    {
    case WM_LVM_INSERTPATHITEMEX: *pResult = OnLvmInsertPathItemEx(wParam, lParam); return true;
    case WM_LVM_CLEARPATHEX: *pResult = OnLvmClearPathEx(wParam, lParam); return true;
    default:
        ApplyPending();
        return CListCtrlEx::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
}

const CRuntimeClass* CEditorListCtrlEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CEditorListCtrlEx"};
    return &cls;
}
