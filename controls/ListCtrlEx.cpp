#include "ListCtrlEx.h"

void CListCtrlEx::DeleteAllColumns()
{
    CListCtrl::DeleteAllColumns();
    m_nLastSubItem = -1;
}

void CListCtrlEx::DeleteAllItems()
{
    CListCtrl::DeleteAllItems();
    m_nLastItem = -1;
    m_nLastSubItem = -1;
}

void CListCtrlEx::DeleteItem(long nItem)
{
    CListCtrl::DeleteItem(static_cast<int>(nItem));
    if (m_nLastItem >= GetItemCount())
        --m_nLastItem;
}

long CListCtrlEx::InsertColumn(long nIndex, const LVCOLUMN* pColumn)
{
    long nResult = CListCtrl::InsertColumn(static_cast<int>(nIndex), pColumn);
    m_nLastSubItem = static_cast<int>(nIndex);
    m_nLastItem = -1;
    return nResult;
}

long CListCtrlEx::InsertColumn(long nIndex, const char* pszHeading, int nWidth, int nFormat)
{
    LVCOLUMN column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<char*>(pszHeading);
    column.cx = nWidth;
    column.fmt = nFormat;
    return InsertColumn(nIndex, &column);
}

long CListCtrlEx::InsertItem(const LVITEM* pItem)
{
    if (!pItem)
        return -1;
    LVITEM item = *pItem;
    if (item.iItem == -1)
        item.iItem = GetItemCount();
    long nResult = CListCtrl::InsertItem(&item);
    if (nResult >= 0)
    {
        m_nLastItem = static_cast<int>(nResult);
        m_nLastSubItem = item.iSubItem;
    }
    return nResult;
}

bool CListCtrlEx::SetItem(const LVITEM* pItem)
{
    if (!pItem)
        return false;
    LVITEM item = *pItem;
    if (item.iItem == -1)
        item.iItem = GetItemCount() - 1;
    bool bResult = CListCtrl::SetItem(&item) != 0;
    m_nLastItem = item.iItem;
    m_nLastSubItem = item.iSubItem;
    return bResult;
}

LRESULT CListCtrlEx::OnLvmDeleteAllColumnsEx(WPARAM, LPARAM)
{
    DeleteAllColumns();
    return 1;
}

LRESULT CListCtrlEx::OnLvmDeleteAllItemsEx(WPARAM, LPARAM)
{
    DeleteAllItems();
    return 1;
}

LRESULT CListCtrlEx::OnLvmDeleteItemEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<int32_t> pIndex(wParam, lParam);
    if (pIndex)
        DeleteItem(*pIndex);
    return 1;
}

LRESULT CListCtrlEx::OnLvmInsertColumnEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<SListColumnRequest> pRequest(wParam, lParam);
    if (pRequest)
        InsertColumn(pRequest->nColumn, &pRequest->column);
    return 1;
}

LRESULT CListCtrlEx::OnLvmInsertItemEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<LVITEM> pItem(wParam, lParam);
    if (pItem)
        InsertItem(pItem.Get());
    return 1;
}

LRESULT CListCtrlEx::OnLvmSetItemEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<LVITEM> pItem(wParam, lParam);
    if (pItem)
        SetItem(pItem.Get());
    return 1;
}

LRESULT CListCtrlEx::OnShowWindowEx(WPARAM wParam, LPARAM)
{
    ShowWindow(wParam ? SW_SHOW : SW_HIDE);
    return 1;
}

LRESULT CListCtrlEx::OnLvmSetCheckBoxEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<SListCheckRequest> pRequest(wParam, lParam);
    if (pRequest)
        SetCheck(pRequest->nItem == -1 ? GetItemCount() - 1 : pRequest->nItem, pRequest->nCheck != 0);
    return 0;
}

bool CListCtrlEx::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (nMsg)
    {
    case WM_LVM_DELETEALLCOLUMNSEX: *pResult = OnLvmDeleteAllColumnsEx(wParam, lParam); return true;
    case WM_LVM_DELETEALLITEMSEX: *pResult = OnLvmDeleteAllItemsEx(wParam, lParam); return true;
    case WM_LVM_DELETEITEMEX: *pResult = OnLvmDeleteItemEx(wParam, lParam); return true;
    case WM_LVM_INSERTCOLUMNEX: *pResult = OnLvmInsertColumnEx(wParam, lParam); return true;
    case WM_LVM_INSERTITEMEX: *pResult = OnLvmInsertItemEx(wParam, lParam); return true;
    case WM_LVM_SETITEMEX: *pResult = OnLvmSetItemEx(wParam, lParam); return true;
    case WM_LVM_SHOWWINDOWEX: *pResult = OnShowWindowEx(wParam, lParam); return true;
    case WM_LVM_SETCHECKBOXEX: *pResult = OnLvmSetCheckBoxEx(wParam, lParam); return true;
    default: return CListCtrl::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
}

const CRuntimeClass* CListCtrlEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CListCtrlEx"};
    return &cls;
}

void CListCtrlEx::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (HitTest(point) >= 0)
        CListCtrl::OnLButtonDown(nFlags, point);
}

void CListCtrlEx::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (HitTest(point) >= 0)
        CListCtrl::OnLButtonDblClk(nFlags, point);
}

void CListCtrlEx::OnMButtonDown(UINT, CPoint) {}
void CListCtrlEx::OnMButtonDblClk(UINT, CPoint) {}
void CListCtrlEx::OnRButtonDown(UINT, CPoint) {}
void CListCtrlEx::OnRButtonDblClk(UINT, CPoint) {}
