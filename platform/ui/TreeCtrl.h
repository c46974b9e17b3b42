#pragma once
// A common control over a Qt widget. A control object is bound to a dialog's widget with
// SubclassDlgItem (or to any widget with Attach). User-interface thread only.

#include <string>
#include <unordered_set>

#include "ControlRecords.h"
#include "Wnd.h"

class QTreeWidget;
class QTreeWidgetItem;

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
