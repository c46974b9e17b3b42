#include "EditorTreeCtrlEx.h"

#include <QTreeWidget>
#include <cstdlib>

#include "WoxText.h"

void CEditorTreeCtrlEx::OnAttached()
{
    CTreeCtrlEx::OnAttached();
    if (QTreeWidget* pTree = Tree())
        pTree->setUniformRowHeights(true);
}

BOOL CEditorTreeCtrlEx::DeleteAllItems()
{
    m_first.clear();
    m_second.clear();
    return CTreeCtrlEx::DeleteAllItems();
}

BOOL CEditorTreeCtrlEx::DeleteItem(HTREEITEM hItem)
{
    if (hItem && IsItem(hItem))
        Forget(hItem);
    return CTreeCtrlEx::DeleteItem(hItem);
}

HTREEITEM CEditorTreeCtrlEx::InsertItem(const TVINSERTSTRUCT* pInsert)
{
    HTREEITEM hItem = CTreeCtrlEx::InsertItem(pInsert);
    if (!hItem)
        return nullptr;
    // First-level nodes and their children are path nodes; deeper items are leaves.
    const std::string text = (pInsert->item.mask & TVIF_TEXT) ? WoxQtText(pInsert->item.pszText).toStdString() : GetItemText(hItem);
    HTREEITEM hParent = GetParentItem(hItem);
    if (!hParent)
        m_first.emplace(text, hItem);
    else if (!GetParentItem(hParent))
        m_second[hParent].emplace(text, hItem);
    return hItem;
}

void CEditorTreeCtrlEx::Forget(HTREEITEM hItem)
{
    HTREEITEM hParent = GetParentItem(hItem);
    if (!hParent)
    {
        auto it = m_first.find(GetItemText(hItem));
        if (it != m_first.end() && it->second == hItem)
            m_first.erase(it);
        m_second.erase(hItem);
    }
    else if (!GetParentItem(hParent))
    {
        auto itParent = m_second.find(hParent);
        if (itParent == m_second.end())
            return;
        auto it = itParent->second.find(GetItemText(hItem));
        if (it != itParent->second.end() && it->second == hItem)
            itParent->second.erase(it);
    }
}

void CEditorTreeCtrlEx::PathOf(HTREEITEM hItem, HTREEITEM& hTop, HTREEITEM& hMiddle) const
{
    hTop = nullptr;
    hMiddle = nullptr;
    for (HTREEITEM h = hItem; h; h = GetParentItem(h))
    {
        hMiddle = hTop;
        hTop = h;
    }
}

HTREEITEM CEditorTreeCtrlEx::FindFirstLevel(const std::string& key)
{
    auto it = m_first.find(key);
    if (it != m_first.end() && IsItem(it->second))
        return it->second;
    return nullptr;
}

HTREEITEM CEditorTreeCtrlEx::FindSecondLevel(HTREEITEM hTop, const std::string& key)
{
    auto itParent = m_second.find(hTop);
    if (itParent == m_second.end())
        return nullptr;
    auto it = itParent->second.find(key);
    if (it != itParent->second.end() && IsItem(it->second))
        return it->second;
    return nullptr;
}

HTREEITEM CEditorTreeCtrlEx::InsertPathNode(HTREEITEM hParent, const std::string& text)
{
    TVINSERTSTRUCT insert{};
    insert.hParent = hParent ? hParent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    return InsertItem(&insert);
}

HTREEITEM CEditorTreeCtrlEx::FindOrCreatePath(const char* pszFirst, const char* pszSecond)
{
    const std::string first = pszFirst ? pszFirst : "";
    const std::string second = pszSecond ? pszSecond : "";

    // The path of the last insert first: a load posts runs of leaves under one path.
    HTREEITEM hShortTop = nullptr;
    HTREEITEM hShortMiddle = nullptr;
    if (m_hLastInserted && IsItem(m_hLastInserted))
        PathOf(m_hLastInserted, hShortTop, hShortMiddle);

    HTREEITEM hTop = nullptr;
    HTREEITEM hMiddle = nullptr;
    if (hShortTop && GetItemText(hShortTop) == first)
    {
        hTop = hShortTop;
        hMiddle = hShortMiddle;
    }
    else
    {
        hTop = FindFirstLevel(first);
        if (!hTop)
            hTop = InsertPathNode(nullptr, first);
        if (!hTop)
            return nullptr;
    }
    if (second.empty())
        return hTop;
    if (hMiddle && GetItemText(hMiddle) == second)
        return hMiddle;
    HTREEITEM hSecond = FindSecondLevel(hTop, second);
    return hSecond ? hSecond : InsertPathNode(hTop, second);
}

LRESULT CEditorTreeCtrlEx::OnTvmInsertPathItemEx(WPARAM wParam, LPARAM lParam)
{
    CViewPathRequest pRequest(wParam, lParam, true);
    if (!pRequest)
        return 0;
    HTREEITEM hNode = FindOrCreatePath(SViewKeyText(pRequest->szFirst).sz, SViewKeyText(pRequest->szSecond).sz);
    if (!hNode)
        return 0;
    if (!ItemHasChildren(hNode))
    {
        TVITEM children{};
        children.mask = TVIF_CHILDREN;
        children.hItem = hNode;
        children.cChildren = 1;
        SetItem(&children);
    }
    TVINSERTSTRUCT insert{};
    insert.hParent = hNode;
    insert.hInsertAfter = TVI_LAST;
    insert.item = pRequest->treeItem;
    insert.item.mask &= ~TVIF_HANDLE;
    HTREEITEM hLeaf = InsertItem(&insert);
    if (hLeaf)
    {
        // Make the leaf reachable: every node on its path is open.
        for (HTREEITEM h = hNode; h; h = GetParentItem(h))
            Expand(h, true);
        ShowCaretLater(hLeaf);
    }
    return 0;
}

LRESULT CEditorTreeCtrlEx::OnTvmClearPathEx(WPARAM wParam, LPARAM lParam)
{
    CViewPathRequest pRequest(wParam, lParam, true);
    if (!pRequest)
        return 0;
    HTREEITEM hNode = FindOrCreatePath(SViewKeyText(pRequest->szFirst).sz, SViewKeyText(pRequest->szSecond).sz);
    if (!hNode)
        return 0;
    while (HTREEITEM hChild = GetChildItem(hNode))
    {
        if (!DeleteItem(hChild))
            break;
    }
    return 0;
}

void CEditorTreeCtrlEx::ShowCaretLater(HTREEITEM hItem)
{
    m_hCaret = hItem;
    if (m_bCaretPending || !Tree())
        return;
    m_bCaretPending = true;
    if (!m_pCaretContext)
        m_pCaretContext = std::make_unique<QObject>();
    // Queued behind the requests of this turn; dropped with this object.
    QMetaObject::invokeMethod(m_pCaretContext.get(), [this]() { ShowCaretNow(); }, Qt::QueuedConnection);
}

void CEditorTreeCtrlEx::ShowCaretNow()
{
    m_bCaretPending = false;
    QTreeWidget* pTree = Tree();
    if (!pTree || !m_hCaret || !IsItem(m_hCaret))
        return;
    auto* pItem = reinterpret_cast<QTreeWidgetItem*>(m_hCaret);
    pTree->setCurrentItem(pItem);
    pTree->scrollToItem(pItem);
}

void CEditorTreeCtrlEx::SelectAtPoint(int x, int y)
{
    QTreeWidget* pTree = Tree();
    if (!pTree)
        return;
    ShowCaretPending();
    const QPoint point = pTree->viewport()->mapFromGlobal(QPoint(x, y));
    if (QTreeWidgetItem* pItem = pTree->itemAt(point))
        pTree->setCurrentItem(pItem);
}

void CEditorTreeCtrlEx::ShowCaretPending()
{
    if (m_bCaretPending)
        ShowCaretNow();
}

int CEditorTreeCtrlEx::GetSelectedKey(int nViewBy, IDynamicPtrTemplate<IArrayExt2> pKeys)
{
    QTreeWidget* pTree = Tree();
    if (!pTree || !pKeys)
        return 0;
    ShowCaretPending();
    HTREEITEM hSelected = GetSelectedItem();
    if (!hSelected)
        return 0;
    HTREEITEM hTop = nullptr;
    HTREEITEM hMiddle = nullptr;
    PathOf(hSelected, hTop, hMiddle);
    const std::string top = GetItemText(hTop);
    const std::string middle = hMiddle ? GetItemText(hMiddle) : std::string();
    SViewKey key{};
    if (nViewBy == 0)
    {
        WoxCopyText(key.szStand, top.c_str());
        key.nYear = hMiddle ? std::atoi(middle.c_str()) : 0;
    }
    else
    {
        key.nYear = std::atoi(top.c_str());
        WoxCopyText(key.szStand, middle.c_str());
    }
    return pKeys->Add(&key) ? 1 : 0;
}

bool CEditorTreeCtrlEx::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (nMsg)
    {
    case WM_TVM_INSERTPATHITEMEX: *pResult = OnTvmInsertPathItemEx(wParam, lParam); return true;
    case WM_TVM_CLEARPATHEX: *pResult = OnTvmClearPathEx(wParam, lParam); return true;
    default: return CTreeCtrlEx::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
}

const CRuntimeClass* CEditorTreeCtrlEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CEditorTreeCtrlEx"};
    return &cls;
}
