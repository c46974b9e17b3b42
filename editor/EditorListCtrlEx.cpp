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
    pTable->setItemDelegate(new CGridCellDelegate(this, pTable));
}

void CEditorListCtrlEx::DeleteAllColumns()
{
    ShowCaretPending();
    CListCtrlEx::DeleteAllColumns();
    m_columns.clear();
    m_bColumnsDirty = false;
}

void CEditorListCtrlEx::DeleteAllItems()
{
    m_bCaretPending = false;
    if (m_pSelection)
        m_pSelection->RemoveAll(0);
    CListCtrlEx::DeleteAllItems();
    m_rows.clear();
    m_bRowsDirty = false;
}

void CEditorListCtrlEx::DeleteItem(long nItem)
{
    ShowCaretPending();
    CListCtrlEx::DeleteItem(nItem);
    m_bRowsDirty = true;
}

long CEditorListCtrlEx::InsertColumn(long nIndex, const LVCOLUMN* pColumn)
{
    const int nBefore = GetColumnCount();
    if (nIndex < nBefore)
        ShowCaretPending();
    long nResult = CListCtrlEx::InsertColumn(nIndex, pColumn);
    if (nResult >= 0 && nResult == nBefore && !m_bColumnsDirty)
        m_columns.emplace(GetColumnText(static_cast<int>(nResult)), static_cast<int>(nResult));
    else if (nResult >= 0)
        m_bColumnsDirty = true;
    return nResult;
}

long CEditorListCtrlEx::InsertItem(const LVITEM* pItem)
{
    const int nBefore = GetItemCount();
    if (pItem && pItem->iItem >= 0 && pItem->iItem < nBefore)
        ShowCaretPending();
    long nResult = CListCtrlEx::InsertItem(pItem);
    if (nResult >= 0 && nResult == nBefore && !m_bRowsDirty)
        m_rows.emplace(GetItemText(static_cast<int>(nResult), 0), static_cast<int>(nResult));
    else if (nResult >= 0)
        m_bRowsDirty = true;
    return nResult;
}

bool CEditorListCtrlEx::SetItem(const LVITEM* pItem)
{
    bool bResult = CListCtrlEx::SetItem(pItem);
    if (bResult && pItem->iSubItem == 0 && (pItem->mask & LVIF_TEXT))
        m_bRowsDirty = true;   // a row key changed
    return bResult;
}

int CEditorListCtrlEx::FindRow(const std::string& key)
{
    const int nRows = GetItemCount();
    // The tracked last row and the one after it first: a fill posts runs along a row.
    for (int nRow : {m_nLastItem, m_nLastItem + 1})
    {
        if (nRow >= 0 && nRow < nRows && GetItemText(nRow, 0) == key)
            return nRow;
    }
    if (m_bRowsDirty)
    {
        m_rows.clear();
        for (int nRow = 0; nRow < nRows; ++nRow)
            m_rows.emplace(GetItemText(nRow, 0), nRow);
        m_bRowsDirty = false;
    }
    auto it = m_rows.find(key);
    return it != m_rows.end() && it->second < nRows ? it->second : -1;
}

int CEditorListCtrlEx::FindColumn(const std::string& key)
{
    const int nColumns = GetColumnCount();
    for (int nColumn : {m_nLastSubItem, m_nLastSubItem + 1})
    {
        if (nColumn >= 0 && nColumn < nColumns && GetColumnText(nColumn) == key)
            return nColumn;
    }
    if (m_bColumnsDirty)
    {
        m_columns.clear();
        for (int nColumn = 0; nColumn < nColumns; ++nColumn)
            m_columns.emplace(GetColumnText(nColumn), nColumn);
        m_bColumnsDirty = false;
    }
    auto it = m_columns.find(key);
    return it != m_columns.end() && it->second < nColumns ? it->second : -1;
}

bool CEditorListCtrlEx::FindOrCreateCell(const char* pszRow, const char* pszColumn, int& nRow, int& nColumn)
{
    const std::string rowKey = pszRow ? pszRow : "";
    const std::string columnKey = pszColumn ? pszColumn : "";
    nRow = FindRow(rowKey);
    if (nRow < 0)
    {
        LVITEM row{};
        row.mask = LVIF_TEXT;
        row.iItem = GetItemCount();
        row.pszText = const_cast<char*>(rowKey.c_str());
        nRow = static_cast<int>(InsertItem(&row));
    }
    nColumn = FindColumn(columnKey);
    if (nColumn < 0)
        nColumn = static_cast<int>(InsertColumn(GetColumnCount(), columnKey.c_str(), 100, LVCFMT_CENTER));
    return nRow >= 0 && nColumn >= 0;
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
    std::string text = GetItemText(nRow, nColumn);
    text = text.empty() ? std::string(szLabel) : text + ", " + szLabel;
    if (text.size() > static_cast<size_t>(kCellText))
        text.resize(kCellText);

    LVITEM item = request;
    item.mask |= LVIF_TEXT;
    item.iItem = nRow;
    item.iSubItem = nColumn;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size() + 1);
    SetItem(&item);

    SelectFilledCell(nRow, nColumn);
    return 0;
}

void CEditorListCtrlEx::SelectFilledCell(int nRow, int nColumn)
{
    // With a selection of its own (not one made by this run of inserts) a cell already in it
    // keeps the selection as it is; only that case needs the cell's rectangle now.
    if (!m_bCaretPending && m_pSelection && m_pSelection->GetSize() > 0)
    {
        SCellRect rect{};
        if (!ContentRect(nRow, nColumn, rect) || FindSelected(rect) >= 0)
        {
            Repaint();
            return;
        }
    }
    m_nCaretRow = nRow;
    m_nCaretColumn = nColumn;
    m_bCaretPending = true;
    ShowCaretLater();
    Repaint();
}

void CEditorListCtrlEx::ShowCaretLater()
{
    if (m_bCaretQueued || !Table())
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
    if (!m_bCaretPending)
        return;
    m_bCaretPending = false;
    SCellRect rect{};
    if (m_pSelection && ContentRect(m_nCaretRow, m_nCaretColumn, rect))
        ToggleCell(rect, false);
    Repaint();
}

LRESULT CEditorListCtrlEx::OnLvmClearPathEx(WPARAM wParam, LPARAM lParam)
{
    CViewPathRequest pRequest(wParam, lParam, false);
    if (!pRequest)
        return 0;
    int nRow = -1;
    int nColumn = -1;
    if (FindOrCreateCell(SViewKeyText(pRequest->szFirst).sz, SViewKeyText(pRequest->szSecond).sz, nRow, nColumn))
        SetItemText(nRow, nColumn, "");
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
    default: return CListCtrlEx::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
}

const CRuntimeClass* CEditorListCtrlEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CEditorListCtrlEx"};
    return &cls;
}
