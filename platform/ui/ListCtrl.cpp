#include "ListCtrl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>

#include "DialogTemplate.h"

namespace
{

QString Text(const char* pszText)
{
    return QString::fromUtf8(pszText ? pszText : "");
}

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

} // namespace

// ---- CListCtrl ----

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
    return pTable ? pTable->horizontalHeader()->count() : 0;
}

int CListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn)
{
    QTableWidget* pTable = Table();
    if (!pTable || !pColumn || nCol < 0)
        return -1;
    nCol = std::min(nCol, pTable->columnCount());
    pTable->insertColumn(nCol);
    auto* pHeader = new QTableWidgetItem((pColumn->mask & LVCF_TEXT) ? Text(pColumn->pszText) : QString());
    int nFormat = (pColumn->mask & LVCF_FMT) ? pColumn->fmt : LVCFMT_LEFT;
    pHeader->setTextAlignment(ColumnAlignment(nFormat));
    pHeader->setData(Qt::UserRole, nFormat);
    pTable->setHorizontalHeaderItem(nCol, pHeader);
    if ((pColumn->mask & LVCF_WIDTH) && pColumn->cx >= 0)
        pTable->setColumnWidth(nCol, pColumn->cx);
    return nCol;
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
    if (!pTable || nCol < 0 || nCol >= pTable->columnCount())
        return 0;
    pTable->removeColumn(nCol);
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
    auto* pCell = new QTableWidgetItem((pItem->mask & LVIF_TEXT) ? Text(pItem->pszText) : QString());
    if (pItem->mask & LVIF_PARAM)
        pCell->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(pItem->lParam));
    if (pTable->property("woxStyle").toUInt() & WOX_LVS_EX_CHECKBOXES)
        pCell->setCheckState(Qt::Unchecked);
    if (pTable->columnCount() == 0)
        pTable->setColumnCount(1);
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
        pCell->setText(Text(pszText));
    else
        pTable->setItem(nItem, nSubItem, new QTableWidgetItem(Text(pszText)));
    return 1;
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

// ---- CTreeCtrl ----

// A tree item that tells its tree when it goes, so that stale handles are recognised.
class CTreeItem final : public QTreeWidgetItem
{
public:
    explicit CTreeItem(CTreeCtrl* pOwner) : m_pOwner(pOwner) { m_pOwner->m_items.insert(this); }
    ~CTreeItem() override
    {
        if (m_pOwner)
            m_pOwner->m_items.erase(this);
    }
    CTreeCtrl* m_pOwner;
};

CTreeCtrl::~CTreeCtrl()
{
    for (const QTreeWidgetItem* pItem : m_items)
        static_cast<CTreeItem*>(const_cast<QTreeWidgetItem*>(pItem))->m_pOwner = nullptr;
    m_items.clear();
}

QTreeWidget* CTreeCtrl::Tree() const
{
    return qobject_cast<QTreeWidget*>(GetWidget());
}

const CRuntimeClass* CTreeCtrl::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CTreeCtrl"};
    return &cls;
}

void CTreeCtrl::OnAttached()
{
    if (QTreeWidget* pTree = Tree())
        QObject::connect(pTree, &QTreeWidget::itemSelectionChanged, pTree, [this]() { NotifyOwner(TVN_SELCHANGED); });
}

bool CTreeCtrl::IsItem(HTREEITEM hItem) const
{
    return hItem && m_items.count(reinterpret_cast<const QTreeWidgetItem*>(hItem)) != 0;
}

QTreeWidgetItem* CTreeCtrl::Item(HTREEITEM hItem) const
{
    return IsItem(hItem) ? reinterpret_cast<QTreeWidgetItem*>(hItem) : nullptr;
}

static HTREEITEM Handle(QTreeWidgetItem* pItem)
{
    return reinterpret_cast<HTREEITEM>(pItem);
}

void CTreeCtrl::ApplyItem(QTreeWidgetItem* pItem, const TVITEM& item)
{
    if (item.mask & TVIF_TEXT)
        pItem->setText(0, Text(item.pszText));
    if (item.mask & TVIF_PARAM)
        pItem->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(item.lParam));
    if (item.mask & TVIF_CHILDREN)
        pItem->setChildIndicatorPolicy(item.cChildren > 0 ? QTreeWidgetItem::ShowIndicator
                                                          : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (item.mask & TVIF_STATE)
    {
        if (item.stateMask & TVIS_BOLD)
        {
            QFont font = pItem->font(0);
            font.setBold(item.state & TVIS_BOLD);
            pItem->setFont(0, font);
        }
        if ((item.stateMask & TVIS_EXPANDED) && pItem->treeWidget())
            pItem->setExpanded(item.state & TVIS_EXPANDED);
        if ((item.stateMask & TVIS_SELECTED) && pItem->treeWidget())
            pItem->setSelected(item.state & TVIS_SELECTED);
    }
}

HTREEITEM CTreeCtrl::InsertItem(const TVINSERTSTRUCT* pInsert)
{
    QTreeWidget* pTree = Tree();
    if (!pTree || !pInsert)
        return nullptr;
    QTreeWidgetItem* pParent = pTree->invisibleRootItem();
    if (pInsert->hParent && pInsert->hParent != TVI_ROOT)
    {
        pParent = Item(pInsert->hParent);
        if (!pParent)
            return nullptr;
    }
    int nIndex = pParent->childCount();
    if (pInsert->hInsertAfter == TVI_FIRST)
        nIndex = 0;
    else if (QTreeWidgetItem* pAfter = Item(pInsert->hInsertAfter); pAfter && pAfter->parent() == (pParent == pTree->invisibleRootItem() ? nullptr : pParent))
        nIndex = pParent->indexOfChild(pAfter) + 1;
    auto* pItem = new CTreeItem(this);
    pParent->insertChild(nIndex, pItem);
    ApplyItem(pItem, pInsert->item);
    return Handle(pItem);
}

HTREEITEM CTreeCtrl::InsertItem(const char* pszText, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT insert{};
    insert.hParent = hParent;
    insert.hInsertAfter = hInsertAfter;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(pszText);
    return InsertItem(&insert);
}

BOOL CTreeCtrl::SetItem(const TVITEM* pItem)
{
    QTreeWidgetItem* pTarget = pItem ? Item(pItem->hItem) : nullptr;
    if (!pTarget)
        return 0;
    ApplyItem(pTarget, *pItem);
    return 1;
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, const char* pszText)
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return 0;
    pItem->setText(0, Text(pszText));
    return 1;
}

std::string CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem ? pItem->text(0).toStdString() : std::string();
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem ? static_cast<LPARAM>(pItem->data(0, Qt::UserRole).toLongLong()) : 0;
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM hItem)
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return 0;
    delete pItem;
    return 1;
}

BOOL CTreeCtrl::DeleteAllItems()
{
    QTreeWidget* pTree = Tree();
    if (!pTree)
        return 0;
    pTree->clear();
    return 1;
}

HTREEITEM CTreeCtrl::GetRootItem() const
{
    QTreeWidget* pTree = Tree();
    return pTree && pTree->topLevelItemCount() > 0 ? Handle(pTree->topLevelItem(0)) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return nullptr;
    QTreeWidgetItem* pParent = pItem->parent() ? pItem->parent() : Tree()->invisibleRootItem();
    int nIndex = pParent->indexOfChild(pItem) + 1;
    return nIndex < pParent->childCount() ? Handle(pParent->child(nIndex)) : nullptr;
}

HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return nullptr;
    QTreeWidgetItem* pParent = pItem->parent() ? pItem->parent() : Tree()->invisibleRootItem();
    int nIndex = pParent->indexOfChild(pItem) - 1;
    return nIndex >= 0 ? Handle(pParent->child(nIndex)) : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = (hItem == TVI_ROOT || !hItem) ? (Tree() ? Tree()->invisibleRootItem() : nullptr) : Item(hItem);
    return pItem && pItem->childCount() > 0 ? Handle(pItem->child(0)) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem ? Handle(pItem->parent()) : nullptr;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem && pItem->childCount() > 0;
}

int CTreeCtrl::GetCount() const
{
    return static_cast<int>(m_items.size());
}

BOOL CTreeCtrl::Expand(HTREEITEM hItem, bool bExpand)
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return 0;
    pItem->setExpanded(bExpand);
    return 1;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM hItem)
{
    QTreeWidget* pTree = Tree();
    if (!pTree)
        return 0;
    if (!hItem)
    {
        pTree->clearSelection();
        return 1;
    }
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return 0;
    pTree->setCurrentItem(pItem);
    return 1;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const
{
    QTreeWidget* pTree = Tree();
    if (!pTree)
        return nullptr;
    QList<QTreeWidgetItem*> selected = pTree->selectedItems();
    return selected.isEmpty() ? nullptr : Handle(selected.front());
}

// ---- CComboBoxEx ----

QComboBox* CComboBoxEx::Combo() const
{
    return qobject_cast<QComboBox*>(GetWidget());
}

const CRuntimeClass* CComboBoxEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CComboBoxEx"};
    return &cls;
}

int CComboBoxEx::InsertItem(const COMBOBOXEXITEM* pItem)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || !pItem || pItem->iItem < 0 || pItem->iItem > pCombo->count())
        return -1;
    int nIndex = static_cast<int>(pItem->iItem);
    pCombo->insertItem(nIndex, (pItem->mask & CBEIF_TEXT) ? Text(pItem->pszText) : QString());
    if (pItem->mask & CBEIF_LPARAM)
        pCombo->setItemData(nIndex, QVariant::fromValue<qlonglong>(pItem->lParam));
    return nIndex;
}

int CComboBoxEx::DeleteItem(int nIndex)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || nIndex < 0 || nIndex >= pCombo->count())
        return CB_ERR;
    pCombo->removeItem(nIndex);
    return pCombo->count();
}

BOOL CComboBoxEx::SetItem(const COMBOBOXEXITEM* pItem)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || !pItem || pItem->iItem < 0 || pItem->iItem >= pCombo->count())
        return 0;
    int nIndex = static_cast<int>(pItem->iItem);
    if (pItem->mask & CBEIF_TEXT)
        pCombo->setItemText(nIndex, Text(pItem->pszText));
    if (pItem->mask & CBEIF_LPARAM)
        pCombo->setItemData(nIndex, QVariant::fromValue<qlonglong>(pItem->lParam));
    return 1;
}

int CComboBoxEx::GetCount() const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->count() : 0;
}

int CComboBoxEx::SetCurSel(int nIndex)
{
    QComboBox* pCombo = Combo();
    if (!pCombo || nIndex < -1 || nIndex >= pCombo->count())
        return CB_ERR;
    pCombo->setCurrentIndex(nIndex);
    return nIndex;
}

int CComboBoxEx::GetCurSel() const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->currentIndex() : CB_ERR;
}

std::string CComboBoxEx::GetItemText(int nIndex) const
{
    QComboBox* pCombo = Combo();
    return pCombo ? pCombo->itemText(nIndex).toStdString() : std::string();
}

LPARAM CComboBoxEx::GetItemData(int nIndex) const
{
    QComboBox* pCombo = Combo();
    return pCombo ? static_cast<LPARAM>(pCombo->itemData(nIndex).toLongLong()) : 0;
}

void CComboBoxEx::ResetContent()
{
    if (QComboBox* pCombo = Combo())
        pCombo->clear();
}

// ---- CEdit ----

QLineEdit* CEdit::Edit() const
{
    return qobject_cast<QLineEdit*>(GetWidget());
}

const CRuntimeClass* CEdit::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CEdit"};
    return &cls;
}

void CEdit::SetLimitText(int nMax)
{
    if (QLineEdit* pEdit = Edit())
        pEdit->setMaxLength(nMax > 0 ? nMax : 32767);
}

void CEdit::SetReadOnly(BOOL bReadOnly)
{
    if (QLineEdit* pEdit = Edit())
        pEdit->setReadOnly(bReadOnly);
}

void CEdit::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}

bool CEdit::OnWidgetEvent(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != GetWidget() || pEvent->type() != QEvent::KeyPress)
        return false;
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    UINT nChar = 0;
    switch (pKey->key())
    {
    case Qt::Key_Return:
    case Qt::Key_Enter: nChar = 13; break;
    case Qt::Key_Tab: nChar = 9; break;
    case Qt::Key_Escape: nChar = 27; break;
    case Qt::Key_Backspace: nChar = 8; break;
    default:
        if ((pKey->key() >= Qt::Key_0 && pKey->key() <= Qt::Key_9) || (pKey->key() >= Qt::Key_A && pKey->key() <= Qt::Key_Z))
            nChar = static_cast<UINT>(pKey->key());
        break;
    }
    OnKeyDown(nChar, pKey->isAutoRepeat() ? 2 : 1, 0);
    return true;
}

// ---- CButton ----

int CButton::GetCheck() const
{
    auto* pButton = qobject_cast<QAbstractButton*>(GetWidget());
    return pButton && pButton->isChecked() ? 1 : 0;
}

void CButton::SetCheck(int nCheck)
{
    if (auto* pButton = qobject_cast<QAbstractButton*>(GetWidget()))
        pButton->setChecked(nCheck != 0);
}
