#include "ComboBoxEx2.h"

LRESULT CComboBoxEx2::OnCbExDeleteItemEx(WPARAM wParam, LPARAM lParam)
{
    auto* pIndex = reinterpret_cast<int32_t*>(lParam);
    LRESULT nResult = pIndex ? DeleteItem(*pIndex) : CB_ERR;
    if (wParam)
        WoxFreeIndex(lParam);
    return nResult;
}

LRESULT CComboBoxEx2::OnCbExInsertItemEx(WPARAM wParam, LPARAM lParam)
{
    LRESULT nResult = -1;
    if (auto* pItem = reinterpret_cast<COMBOBOXEXITEM*>(lParam))
    {
        COMBOBOXEXITEM item = *pItem;
        if (item.iItem == -1)
            item.iItem = GetCount();
        nResult = InsertItem(&item);
    }
    if (wParam)
        WoxFreeComboItem(lParam);
    return nResult;
}

LRESULT CComboBoxEx2::OnCbExSetCurSelEx(WPARAM wParam, LPARAM lParam)
{
    if (auto* pIndex = reinterpret_cast<int32_t*>(lParam))
        SetCurSel(*pIndex == -1 ? GetCount() - 1 : *pIndex);
    if (wParam)
        WoxFreeIndex(lParam);
    return 1;
}

LRESULT CComboBoxEx2::OnCbExSetItemEx(WPARAM wParam, LPARAM lParam)
{
    LRESULT nResult = 0;
    if (auto* pItem = reinterpret_cast<COMBOBOXEXITEM*>(lParam))
    {
        COMBOBOXEXITEM item = *pItem;
        if (item.iItem == -1)
            item.iItem = GetCount() - 1;
        nResult = SetItem(&item);
    }
    if (wParam)
        WoxFreeComboItem(lParam);
    return nResult;
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
