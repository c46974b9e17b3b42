#include "ComboBoxEx2.h"

LRESULT CComboBoxEx2::OnCbExDeleteItemEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<int32_t> pIndex(wParam, lParam);
    return pIndex ? DeleteItem(*pIndex) : CB_ERR;
}

LRESULT CComboBoxEx2::OnCbExInsertItemEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<COMBOBOXEXITEM> pItem(wParam, lParam);
    if (!pItem)
        return -1;
    COMBOBOXEXITEM item = *pItem;
    if (item.iItem == -1)
        item.iItem = GetCount();
    return InsertItem(&item);
}

LRESULT CComboBoxEx2::OnCbExSetCurSelEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<int32_t> pIndex(wParam, lParam);
    if (pIndex)
        SetCurSel(*pIndex == -1 ? GetCount() - 1 : *pIndex);
    return 1;
}

LRESULT CComboBoxEx2::OnCbExSetItemEx(WPARAM wParam, LPARAM lParam)
{
    CControlRequest<COMBOBOXEXITEM> pItem(wParam, lParam);
    if (!pItem)
        return 0;
    // Index -1 means the last item, as for the other set requests.
    COMBOBOXEXITEM item = *pItem.Get();
    if (item.iItem == -1)
        item.iItem = GetCount() - 1;
    return SetItem(&item);
}

bool CComboBoxEx2::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (nMsg)
    {
    case WM_CBEX_DELETEITEMEX: *pResult = OnCbExDeleteItemEx(wParam, lParam); return true;
    case WM_CBEX_INSERTITEMEX: *pResult = OnCbExInsertItemEx(wParam, lParam); return true;
    case WM_CBEX_SETCURSELEX: *pResult = OnCbExSetCurSelEx(wParam, lParam); return true;
    case WM_CBEX_SETITEMEX: *pResult = OnCbExSetItemEx(wParam, lParam); return true;
    default: return CComboBoxEx::OnWndMsg(nMsg, wParam, lParam, pResult);
    }
}

const CRuntimeClass* CComboBoxEx2::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CComboBoxEx2"};
    return &cls;
}
