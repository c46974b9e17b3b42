#include "TreeCtrl.h"

#include <QTreeWidget>

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
    {
        QObject::connect(pTree, &QTreeWidget::itemSelectionChanged, pTree, [this]() { NotifyOwner(TVN_SELCHANGED); });
        QObject::connect(pTree, &QTreeWidget::itemDoubleClicked, pTree, [this]() { NotifyOwner(NM_DBLCLK); });
    }
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
        pItem->setText(0, WoxQtText(item.pszText));
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
    pItem->setText(0, WoxQtText(pszText));
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
