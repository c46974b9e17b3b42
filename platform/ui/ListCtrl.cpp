#include "ListCtrl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTableWidget>
#include <algorithm>

#include "DialogTemplate.h"

namespace
{

UINT MouseFlags(const QMouseEvent* pEvent)
{
    UINT nFlags = 0;
    if (pEvent->buttons() & Qt::LeftButton)
        nFlags |= MK_LBUTTON;
    if (pEvent->buttons() & Qt::RightButton)
        nFlags |= MK_RBUTTON;
    if (pEvent->buttons() & Qt::MiddleButton)
        nFlags |= MK_MBUTTON;
    if (pEvent->modifiers() & Qt::ShiftModifier)
        nFlags |= MK_SHIFT;
    if (pEvent->modifiers() & Qt::ControlModifier)
        nFlags |= MK_CONTROL;
    return nFlags;
}

Qt::Alignment ColumnAlignment(int nFormat)
{
    switch (nFormat & 3)
    {
    case LVCFMT_RIGHT: return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// A table that gains columns one at a time while it has rows pays for moving every cell after the
// new one, for each row; appending thousands of columns that way is quadratic. Appends therefore
// take a hidden spare column at the end, and spares are made in one go, a quarter as many as there
// are columns already (hiding each costs time too, so one go stays short). The table's property
// "woxColumns" holds the columns in use once spares exist, so that the count goes with the widget;
// the list object keeps a copy, since a property is looked up by name.
const char* const kColumnsInUse = "woxColumns";
// An append of many columns at once moves at most about this many cells without spares.
constexpr double kMaxCellsMoved = 4e6;

// A header whose headings are one line each. The table asks its header for its size after every
// change of the columns, and Qt's header answers by measuring up to two hundred headings; one
// heading's height is the height of all of them here, so only one is measured.
class COneLineHeader final : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;

    QSize sizeHint() const override
    {
        for (int nVisual = 0; nVisual < count(); ++nVisual)
        {
            const int nLogical = logicalIndex(nVisual);
            if (!isSectionHidden(nLogical))
                return sectionSizeFromContents(nLogical);
        }
        return QHeaderView::sizeHint();
    }
};

} // namespace

void CListCtrl::UseOneLineHeadings()
{
    QTableWidget* pTable = Table();
    if (!pTable || dynamic_cast<COneLineHeader*>(pTable->horizontalHeader()))
        return;
    QHeaderView* pOld = pTable->horizontalHeader();
    auto* pHeader = new COneLineHeader(Qt::Horizontal, pTable);
    pHeader->setSectionsClickable(pOld->sectionsClickable());
    pHeader->setHighlightSections(pOld->highlightSections());
    pHeader->setDefaultAlignment(pOld->defaultAlignment());
    pHeader->setStretchLastSection(pOld->stretchLastSection());
    pHeader->setMinimumSectionSize(pOld->minimumSectionSize());
    pHeader->setDefaultSectionSize(pOld->defaultSectionSize());
    std::vector<int> widths;
    for (int nCol = 0; nCol < pOld->count(); ++nCol)
        widths.push_back(pOld->sectionSize(nCol));
    const bool bHidden = pOld->isHidden();
    pTable->setHorizontalHeader(pHeader);   // the table deletes the old header
    pHeader->setVisible(!bHidden);
    for (int nCol = 0; nCol < static_cast<int>(widths.size()); ++nCol)
        pHeader->resizeSection(nCol, widths[nCol]);
}

int CListCtrl::ColumnsInUse(QTableWidget* pTable) const
{
    if (m_pColumnsTable != pTable)
    {
        const QVariant columns = pTable->property(kColumnsInUse);
        m_nColumnsInUse = columns.isValid() ? columns.toInt() : -1;
        m_pColumnsTable = pTable;
    }
    return m_nColumnsInUse >= 0 ? m_nColumnsInUse : pTable->columnCount();
}

bool CListCtrl::HasSpareColumns(QTableWidget* pTable) const
{
    ColumnsInUse(pTable);
    return m_nColumnsInUse >= 0;
}

void CListCtrl::SetColumnsInUse(QTableWidget* pTable, int nColumns)
{
    pTable->setProperty(kColumnsInUse, nColumns >= 0 ? QVariant(nColumns) : QVariant());
    m_nColumnsInUse = nColumns;
    m_pColumnsTable = pTable;
}

// Makes column nCol (== the columns in use) available at the end, from a spare when there is one.
void CListCtrl::AppendColumn(QTableWidget* pTable, int nCol)
{
    if (pTable->columnCount() == nCol)
    {
        const int nSpares = std::max(16, nCol / 4);
        pTable->setColumnCount(nCol + nSpares);
        for (int c = nCol + 1; c < nCol + nSpares; ++c)
            pTable->setColumnHidden(c, true);
    }
    pTable->setColumnHidden(nCol, false);
    SetColumnsInUse(pTable, nCol + 1);
}

QTableWidget* CListCtrl::Table() const
{
    return qobject_cast<QTableWidget*>(GetWidget());
}

const CRuntimeClass* CListCtrl::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CListCtrl"};
    return &cls;
}

void CListCtrl::OnAttached()
{
    if (QTableWidget* pTable = Table())
        QObject::connect(pTable, &QTableWidget::itemSelectionChanged, pTable, [this]() { NotifyOwner(LVN_ITEMCHANGED); });
}

int CListCtrl::GetItemCount() const
{
    QTableWidget* pTable = Table();
    return pTable ? pTable->rowCount() : 0;
}

int CListCtrl::GetColumnCount() const
{
    QTableWidget* pTable = Table();
    return pTable ? ColumnsInUse(pTable) : 0;
}

int CListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn)
{
    QTableWidget* pTable = Table();
    if (!pTable || !pColumn || nCol < 0)
        return -1;
    const int nInUse = ColumnsInUse(pTable);
    nCol = std::min(nCol, nInUse);
    if (nCol == nInUse && pTable->rowCount() > 0)
        AppendColumn(pTable, nCol);
    else
    {
        pTable->insertColumn(nCol);
        if (HasSpareColumns(pTable))
            SetColumnsInUse(pTable, nInUse + 1);
    }
    auto* pHeader = new QTableWidgetItem((pColumn->mask & LVCF_TEXT) ? WoxQtText(pColumn->pszText) : QString());
    int nFormat = (pColumn->mask & LVCF_FMT) ? pColumn->fmt : LVCFMT_LEFT;
    pHeader->setTextAlignment(ColumnAlignment(nFormat));
    pHeader->setData(Qt::UserRole, nFormat);
    pTable->setHorizontalHeaderItem(nCol, pHeader);
    if ((pColumn->mask & LVCF_WIDTH) && pColumn->cx >= 0)
        pTable->setColumnWidth(nCol, pColumn->cx);
    return nCol;
}

int CListCtrl::AppendColumns(const std::vector<std::string>& headings, int nWidth, int nFormat)
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return -1;
    const int nFirst = ColumnsInUse(pTable);
    const int nCount = static_cast<int>(headings.size());
    if (nCount == 0)
        return nFirst;
    if (pTable->rowCount() == 0)
    {
        // No cells to move: the columns go in directly.
        pTable->setColumnCount(nFirst);
        SetColumnsInUse(pTable, -1);
        pTable->setColumnCount(nFirst + nCount);
    }
    else
    {
        // Hidden spares first. When they run out, the table grows by exactly what is missing if
        // moving its cells for that is cheap (each row's tail moves once: rows x cells), else by
        // enough for all and a quarter more, hidden. Hiding and showing a column costs a section
        // resize each, so a few rows of many columns grow directly.
        const int nNeeded = nFirst + nCount;
        const int nBefore = pTable->columnCount();
        const double dRows = pTable->rowCount();
        if (nBefore < nNeeded)
        {
            const bool bDirect = dRows * dRows * nBefore < kMaxCellsMoved;
            const int nTotal = bDirect ? nNeeded : nNeeded + std::max(16, nNeeded / 4);
            pTable->setColumnCount(nTotal);
            for (int nCol = nNeeded; nCol < nTotal; ++nCol)
                pTable->setColumnHidden(nCol, true);
        }
        for (int nCol = nFirst; nCol < std::min(nNeeded, nBefore); ++nCol)
            pTable->setColumnHidden(nCol, false);
        SetColumnsInUse(pTable, nNeeded);
    }
    {
        // A heading the model announces makes the table lay out and repaint all its cells at its
        // next paint; only the header shows headings, so it alone is told, once for all of them.
        const QSignalBlocker quiet(pTable->model());
        for (int i = 0; i < nCount; ++i)
        {
            auto* pHeader = new QTableWidgetItem(QString::fromStdString(headings[i]));
            pHeader->setTextAlignment(ColumnAlignment(nFormat));
            pHeader->setData(Qt::UserRole, nFormat);
            pTable->setHorizontalHeaderItem(nFirst + i, pHeader);
        }
    }
    pTable->horizontalHeader()->headerDataChanged(Qt::Horizontal, nFirst, nFirst + nCount - 1);
    // New columns come at the header's default width: resizing each to that again would cost a
    // section resize per column for nothing.
    if (nWidth >= 0 && nWidth != pTable->horizontalHeader()->defaultSectionSize())
    {
        for (int nCol = nFirst; nCol < nFirst + nCount; ++nCol)
            pTable->setColumnWidth(nCol, nWidth);
    }
    return nFirst;
}

int CListCtrl::AppendRows(const std::vector<std::string>& texts)
{
    QTableWidget* pTable = Table();
    if (!pTable || ColumnsInUse(pTable) == 0)
        return -1;
    const int nFirst = pTable->rowCount();
    if (texts.empty())
        return nFirst;
    const bool bChecks = pTable->property("woxStyle").toUInt() & WOX_LVS_EX_CHECKBOXES;
    pTable->setRowCount(nFirst + static_cast<int>(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i)
    {
        auto* pCell = new QTableWidgetItem(QString::fromStdString(texts[i]));
        if (bChecks)
            pCell->setCheckState(Qt::Unchecked);
        pTable->setItem(nFirst + static_cast<int>(i), 0, pCell);
    }
    return nFirst;
}

int CListCtrl::InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth)
{
    LVCOLUMN column{};
    column.mask = LVCF_TEXT | LVCF_FMT | (nWidth >= 0 ? LVCF_WIDTH : 0);
    column.pszText = const_cast<char*>(pszHeading);
    column.fmt = nFormat;
    column.cx = nWidth;
    return InsertColumn(nCol, &column);
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    QTableWidget* pTable = Table();
    const int nInUse = pTable ? ColumnsInUse(pTable) : 0;
    if (!pTable || nCol < 0 || nCol >= nInUse)
        return 0;
    pTable->removeColumn(nCol);
    if (HasSpareColumns(pTable))
        SetColumnsInUse(pTable, nInUse - 1);
    return 1;
}

BOOL CListCtrl::DeleteAllColumns()
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return 0;
    pTable->setColumnCount(0);
    SetColumnsInUse(pTable, -1);
    return 1;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    QTableWidget* pTable = Table();
    return pTable ? pTable->columnWidth(nCol) : 0;
}

std::string CListCtrl::GetColumnText(int nCol) const
{
    QTableWidget* pTable = Table();
    QTableWidgetItem* pHeader = pTable ? pTable->horizontalHeaderItem(nCol) : nullptr;
    return pHeader ? pHeader->text().toStdString() : std::string();
}

int CListCtrl::InsertItem(const LVITEM* pItem)
{
    QTableWidget* pTable = Table();
    if (!pTable || !pItem || pItem->iItem < 0)
        return -1;
    int nRow = std::min(pItem->iItem, pTable->rowCount());
    pTable->insertRow(nRow);
    auto* pCell = new QTableWidgetItem((pItem->mask & LVIF_TEXT) ? WoxQtText(pItem->pszText) : QString());
    if (pItem->mask & LVIF_PARAM)
        pCell->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(pItem->lParam));
    if (pTable->property("woxStyle").toUInt() & WOX_LVS_EX_CHECKBOXES)
        pCell->setCheckState(Qt::Unchecked);
    if (ColumnsInUse(pTable) == 0)
    {
        if (pTable->columnCount() == 0)
        {
            pTable->setColumnCount(1);
            if (HasSpareColumns(pTable))
                SetColumnsInUse(pTable, 1);
        }
        else
            AppendColumn(pTable, 0);   // a spare becomes the first column
    }
    pTable->setItem(nRow, 0, pCell);
    if ((pItem->mask & LVIF_STATE) && (pItem->stateMask & pItem->state & LVIS_SELECTED))
        SelectItem(nRow);
    return nRow;
}

int CListCtrl::InsertItem(int nItem, const char* pszText)
{
    LVITEM item{};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(pszText);
    return InsertItem(&item);
}

BOOL CListCtrl::SetItem(const LVITEM* pItem)
{
    QTableWidget* pTable = Table();
    if (!pTable || !pItem || pItem->iItem < 0 || pItem->iItem >= pTable->rowCount() || pItem->iSubItem < 0 ||
        pItem->iSubItem >= std::max(1, pTable->columnCount()))
        return 0;
    if (pItem->mask & LVIF_TEXT)
        SetItemText(pItem->iItem, pItem->iSubItem, pItem->pszText);
    if (pItem->mask & LVIF_PARAM)
        SetItemData(pItem->iItem, pItem->lParam);
    if ((pItem->mask & LVIF_STATE) && (pItem->stateMask & LVIS_SELECTED))
    {
        if (pItem->state & LVIS_SELECTED)
            SelectItem(pItem->iItem);
        else if (QTableWidgetItem* pCell = pTable->item(pItem->iItem, 0))
            pCell->setSelected(false);
    }
    return 1;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* pszText)
{
    QTableWidget* pTable = Table();
    if (!pTable || nItem < 0 || nItem >= pTable->rowCount() || nSubItem < 0 || nSubItem >= pTable->columnCount())
        return 0;
    if (QTableWidgetItem* pCell = pTable->item(nItem, nSubItem))
        pCell->setText(WoxQtText(pszText));
    else
        pTable->setItem(nItem, nSubItem, new QTableWidgetItem(WoxQtText(pszText)));
    return 1;
}

int CListCtrl::SetItemTexts(const std::vector<SCellText>& cells)
{
    QTableWidget* pTable = Table();
    if (!pTable || cells.empty())
        return 0;
    const int nRows = pTable->rowCount();
    const int nColumns = pTable->columnCount();
    const int nFirstRow = std::max(0, pTable->rowAt(0));
    const int nFirstColumn = std::max(0, pTable->columnAt(0));
    const int nLastRow = pTable->rowAt(pTable->viewport()->height() - 1);
    const int nLastColumn = pTable->columnAt(pTable->viewport()->width() - 1);
    int nSet = 0;
    bool bInView = false;
    {
        const QSignalBlocker quiet(pTable->model());
        for (const SCellText& cell : cells)
        {
            if (cell.nItem < 0 || cell.nItem >= nRows || cell.nSubItem < 0 || cell.nSubItem >= nColumns)
                continue;
            const QString text = WoxQtText(cell.text.c_str());
            if (QTableWidgetItem* pCell = pTable->item(cell.nItem, cell.nSubItem))
                pCell->setText(text);
            else
                pTable->setItem(cell.nItem, cell.nSubItem, new QTableWidgetItem(text));
            ++nSet;
            // rowAt and columnAt answer -1 past the last row or column: then all up to the end show.
            bInView = bInView || (cell.nItem >= nFirstRow && (nLastRow < 0 || cell.nItem <= nLastRow) &&
                                  cell.nSubItem >= nFirstColumn && (nLastColumn < 0 || cell.nSubItem <= nLastColumn));
        }
    }
    if (bInView)
        pTable->viewport()->update();
    return nSet;
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    QTableWidget* pTable = Table();
    QTableWidgetItem* pCell = pTable ? pTable->item(nItem, nSubItem) : nullptr;
    return pCell ? pCell->text().toStdString() : std::string();
}

BOOL CListCtrl::SetItemData(int nItem, LPARAM nData)
{
    QTableWidget* pTable = Table();
    if (!pTable || nItem < 0 || nItem >= pTable->rowCount())
        return 0;
    QTableWidgetItem* pCell = pTable->item(nItem, 0);
    if (!pCell)
    {
        pCell = new QTableWidgetItem;
        pTable->setItem(nItem, 0, pCell);
    }
    pCell->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(nData));
    return 1;
}

LPARAM CListCtrl::GetItemData(int nItem) const
{
    QTableWidget* pTable = Table();
    QTableWidgetItem* pCell = pTable ? pTable->item(nItem, 0) : nullptr;
    return pCell ? static_cast<LPARAM>(pCell->data(Qt::UserRole).toLongLong()) : 0;
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    QTableWidget* pTable = Table();
    if (!pTable || nItem < 0 || nItem >= pTable->rowCount())
        return 0;
    pTable->removeRow(nItem);
    return 1;
}

BOOL CListCtrl::DeleteAllItems()
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return 0;
    pTable->setRowCount(0);
    return 1;
}

int CListCtrl::GetSelectedItem() const
{
    std::vector<int> rows = GetSelectedItems();
    return rows.empty() ? -1 : rows.front();
}

std::vector<int> CListCtrl::GetSelectedItems() const
{
    std::vector<int> rows;
    if (QTableWidget* pTable = Table())
    {
        for (const QModelIndex& index : pTable->selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
    }
    return rows;
}

BOOL CListCtrl::SelectItem(int nItem)
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return 0;
    if (nItem < 0)
    {
        pTable->clearSelection();
        return 1;
    }
    if (nItem >= pTable->rowCount())
        return 0;
    pTable->selectionModel()->setCurrentIndex(pTable->model()->index(nItem, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return 1;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck)
{
    QTableWidget* pTable = Table();
    if (!pTable || nItem < 0 || nItem >= pTable->rowCount())
        return 0;
    QTableWidgetItem* pCell = pTable->item(nItem, 0);
    if (!pCell)
    {
        pCell = new QTableWidgetItem;
        pTable->setItem(nItem, 0, pCell);
    }
    pCell->setCheckState(bCheck ? Qt::Checked : Qt::Unchecked);
    return 1;
}

BOOL CListCtrl::GetCheck(int nItem) const
{
    QTableWidget* pTable = Table();
    QTableWidgetItem* pCell = pTable ? pTable->item(nItem, 0) : nullptr;
    return pCell && pCell->checkState() == Qt::Checked;
}

int CListCtrl::HitTest(CPoint point) const
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return -1;
    QModelIndex index = pTable->indexAt(QPoint(point.x, point.y));
    return index.isValid() ? index.row() : -1;
}

void CListCtrl::OnLButtonDown(UINT, CPoint) { Default(); }
void CListCtrl::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CListCtrl::OnMButtonDown(UINT, CPoint) { Default(); }
void CListCtrl::OnMButtonDblClk(UINT, CPoint) { Default(); }
void CListCtrl::OnRButtonDown(UINT, CPoint) { Default(); }
void CListCtrl::OnRButtonDblClk(UINT, CPoint) { Default(); }

bool CListCtrl::OnWidgetEvent(QObject* pWatched, QEvent* pEvent)
{
    QTableWidget* pTable = Table();
    if (!pTable || pWatched != pTable->viewport())
        return false;
    const bool bPress = pEvent->type() == QEvent::MouseButtonPress;
    const bool bDouble = pEvent->type() == QEvent::MouseButtonDblClick;
    if (!bPress && !bDouble)
        return false;
    auto* pMouse = static_cast<QMouseEvent*>(pEvent);
    const QPoint pos = pMouse->position().toPoint();
    const CPoint point{pos.x(), pos.y()};
    const UINT nFlags = MouseFlags(pMouse);
    switch (pMouse->button())
    {
    case Qt::LeftButton:
        if (bPress)
            OnLButtonDown(nFlags, point);
        else
        {
            OnLButtonDblClk(nFlags, point);
            NotifyOwner(NM_DBLCLK);
        }
        return true;
    case Qt::MiddleButton:
        bPress ? OnMButtonDown(nFlags, point) : OnMButtonDblClk(nFlags, point);
        return true;
    case Qt::RightButton:
        bPress ? OnRButtonDown(nFlags, point) : OnRButtonDblClk(nFlags, point);
        if (bPress)
            NotifyOwner(NM_RCLICK);
        return true;
    default:
        return false;
    }
}
