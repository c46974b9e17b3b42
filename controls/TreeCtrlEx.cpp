#include "TreeCtrlEx.h"

namespace
{

bool IsWithin(const CTreeCtrl& tree, HTREEITEM hItem, HTREEITEM hAncestor)
{
    for (HTREEITEM h = hItem; h; h = tree.GetParentItem(h))
    {
        if (h == hAncestor)
            return true;
    }
    return false;
}

} // namespace

BOOL CTreeCtrlEx::DeleteAllItems()
{
    HTREEITEM hFirst = GetRootItem();
    if (!hFirst)
        return 1;
    SetItemText(hFirst, "");
    while (HTREEITEM hChild = GetChildItem(hFirst))
        CTreeCtrl::DeleteItem(hChild);
    while (HTREEITEM hNext = GetNextSiblingItem(hFirst))
        CTreeCtrl::DeleteItem(hNext);
    m_bPlaceholder = true;
    return 1;
}

BOOL CTreeCtrlEx::DeleteItem(HTREEITEM hItem)
{
    if (!hItem)
        return DeleteAllItems();
    if (!IsItem(hItem))
        return 0;
    if (m_hLastInserted && IsWithin(*this, m_hLastInserted, hItem))
    {
        m_hLastInserted = GetPrevSiblingItem(hItem);
        if (!m_hLastInserted)
            m_hLastInserted = GetNextSiblingItem(hItem);
    }
    return CTreeCtrl::DeleteItem(hItem);
}

HTREEITEM CTreeCtrlEx::InsertItem(const TVINSERTSTRUCT* pInsert)
{
    HTREEITEM hItem = m_bPlaceholder ? ReplaceFirstItem(pInsert) : CTreeCtrl::InsertItem(pInsert);
    m_hLastInserted = hItem;
    return hItem;
}

HTREEITEM CTreeCtrlEx::ReplaceFirstItem(const TVINSERTSTRUCT* pInsert)
{
    HTREEITEM hFirst = GetRootItem();
    if (!pInsert)
        return nullptr;
    if (!hFirst)
    {
        m_bPlaceholder = false;
        return CTreeCtrl::InsertItem(pInsert);
    }
    TVITEM item = pInsert->item;
    item.hItem = hFirst;
    CTreeCtrl::SetItem(&item);
    m_bPlaceholder = false;
    return hFirst;
}

LRESULT CTreeCtrlEx::OnTvmDeleteAllItemsEx(WPARAM, LPARAM)
{
    if (!DeleteAllItems())
        return 0;
    m_hLastInserted = nullptr;
    return 1;
}

LRESULT CTreeCtrlEx::OnTvmDeleteItemEx(WPARAM, LPARAM lParam)
{
    DeleteItem(reinterpret_cast<HTREEITEM>(lParam));
    return 1;
}

LRESULT CTreeCtrlEx::OnTvmInsertItemEx(WPARAM wParam, LPARAM lParam)
{
    // A failed insert frees its block too: nobody else holds it once it was posted.
    CControlRequest<TVINSERTSTRUCT> pInsert(wParam, lParam);
    HTREEITEM hItem = pInsert ? InsertItem(pInsert.Get()) : nullptr;
    return hItem ? 1 : 0;
}

LRESULT CTreeCtrlEx::OnShowWindowEx(WPARAM wParam, LPARAM)
{
    ShowWindow(wParam ? SW_SHOW : SW_HIDE);
    return 1;
}

bool CTreeCtrlEx::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (nMsg)
    {
    case WM_TVM_DELETEALLITEMSEX: *pResult = OnTvmDeleteAllItemsEx(wParam, lParam); return true;
    case WM_TVM_DELETEITEMEX: *pResult = OnTvmDeleteItemEx(wParam, lParam); return true;
    case WM_TVM_INSERTITEMEX: *pResult = OnTvmInsertItemEx(wParam, lParam); return true;
    case WM_TVM_SHOWWINDOWEX: *pResult = OnShowWindowEx(wParam, lParam); return true;
    default: return CTreeCtrl::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
}

const CRuntimeClass* CTreeCtrlEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CTreeCtrlEx"};
    return &cls;
}
