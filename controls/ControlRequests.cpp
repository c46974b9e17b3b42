#include "ControlRequests.h"

#include "WoxText.h"

namespace
{

char* NewText(const char* pszText)
{
    char* pszBuffer = new char[WOX_REQUEST_TEXT];
    WoxCopyText(pszBuffer, WOX_REQUEST_TEXT - 1, pszText);
    pszBuffer[WOX_REQUEST_TEXT - 1] = 0;
    return pszBuffer;
}

} // namespace

LVITEM* WoxNewListItem(int nItem, int nSubItem, const char* pszText)
{
    auto* pItem = new LVITEM{};
    pItem->mask = LVIF_TEXT;
    pItem->iItem = nItem;
    pItem->iSubItem = nSubItem;
    pItem->pszText = NewText(pszText);
    pItem->cchTextMax = WOX_REQUEST_TEXT;
    return pItem;
}

SListColumnRequest* WoxNewListColumn(int nColumn, const char* pszText, int nWidth, int nFormat)
{
    auto* pRequest = new SListColumnRequest{};
    pRequest->nColumn = nColumn;
    pRequest->column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    pRequest->column.fmt = nFormat;
    pRequest->column.cx = nWidth;
    pRequest->column.pszText = NewText(pszText);
    pRequest->column.cchTextMax = WOX_REQUEST_TEXT;
    return pRequest;
}

SListCheckRequest* WoxNewListCheck(int nItem, bool bCheck)
{
    return new SListCheckRequest{nItem, bCheck ? 1 : 0};
}

TVINSERTSTRUCT* WoxNewTreeInsert(const char* pszText, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    auto* pInsert = new TVINSERTSTRUCT{};
    pInsert->hParent = hParent;
    pInsert->hInsertAfter = hInsertAfter;
    pInsert->item.mask = TVIF_TEXT;
    pInsert->item.pszText = NewText(pszText);
    pInsert->item.cchTextMax = WOX_REQUEST_TEXT;
    return pInsert;
}

COMBOBOXEXITEM* WoxNewComboItem(int nItem, const char* pszText, LPARAM nData)
{
    auto* pItem = new COMBOBOXEXITEM{};
    pItem->mask = CBEIF_TEXT | CBEIF_LPARAM;
    pItem->iItem = nItem;
    pItem->pszText = NewText(pszText);
    pItem->cchTextMax = WOX_REQUEST_TEXT;
    pItem->lParam = nData;
    return pItem;
}

int32_t* WoxNewIndex(int nIndex)
{
    return new int32_t(nIndex);
}

void WoxFreeListItem(LPARAM lParam)
{
    auto* pItem = reinterpret_cast<LVITEM*>(lParam);
    if (!pItem)
        return;
    if (pItem->mask & LVIF_TEXT)
        delete[] pItem->pszText;
    delete pItem;
}

void WoxFreeListColumn(LPARAM lParam)
{
    auto* pRequest = reinterpret_cast<SListColumnRequest*>(lParam);
    if (!pRequest)
        return;
    if (pRequest->column.mask & LVCF_TEXT)
        delete[] pRequest->column.pszText;
    delete pRequest;
}

void WoxFreeTreeInsert(LPARAM lParam)
{
    auto* pInsert = reinterpret_cast<TVINSERTSTRUCT*>(lParam);
    if (!pInsert)
        return;
    if (pInsert->item.mask & TVIF_TEXT)
        delete[] pInsert->item.pszText;
    delete pInsert;
}

void WoxFreeComboItem(LPARAM lParam)
{
    auto* pItem = reinterpret_cast<COMBOBOXEXITEM*>(lParam);
    if (!pItem)
        return;
    if (pItem->mask & CBEIF_TEXT)
        delete[] pItem->pszText;
    delete pItem;
}

void WoxFreeIndex(LPARAM lParam)
{
    delete reinterpret_cast<int32_t*>(lParam);
}

void WoxFreeListCheck(LPARAM lParam)
{
    delete reinterpret_cast<SListCheckRequest*>(lParam);
}

BOOL WoxPostListItem(HWOXWND hWnd, UINT nMsg, LVITEM* pItem)
{
    return PostMessage(hWnd, nMsg, 1, reinterpret_cast<LPARAM>(pItem), WoxFreeListItem);
}

BOOL WoxPostListColumn(HWOXWND hWnd, SListColumnRequest* pColumn)
{
    return PostMessage(hWnd, WM_LVM_INSERTCOLUMNEX, 1, reinterpret_cast<LPARAM>(pColumn), WoxFreeListColumn);
}

BOOL WoxPostListCheck(HWOXWND hWnd, SListCheckRequest* pCheck)
{
    return PostMessage(hWnd, WM_LVM_SETCHECKBOXEX, 1, reinterpret_cast<LPARAM>(pCheck), WoxFreeListCheck);
}

BOOL WoxPostTreeInsert(HWOXWND hWnd, TVINSERTSTRUCT* pInsert)
{
    return PostMessage(hWnd, WM_TVM_INSERTITEMEX, 1, reinterpret_cast<LPARAM>(pInsert), WoxFreeTreeInsert);
}

BOOL WoxPostComboItem(HWOXWND hWnd, UINT nMsg, COMBOBOXEXITEM* pItem)
{
    return PostMessage(hWnd, nMsg, 1, reinterpret_cast<LPARAM>(pItem), WoxFreeComboItem);
}

BOOL WoxPostIndex(HWOXWND hWnd, UINT nMsg, int32_t* pIndex)
{
    return PostMessage(hWnd, nMsg, 1, reinterpret_cast<LPARAM>(pIndex), WoxFreeIndex);
}
