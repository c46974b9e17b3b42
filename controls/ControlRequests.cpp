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

void WoxFreeRequest(LVITEM* pItem)
{
    if (!pItem)
        return;
    if (pItem->mask & LVIF_TEXT)
        delete[] pItem->pszText;
    delete pItem;
}

void WoxFreeRequest(SListColumnRequest* pColumn)
{
    if (!pColumn)
        return;
    if (pColumn->column.mask & LVCF_TEXT)
        delete[] pColumn->column.pszText;
    delete pColumn;
}

void WoxFreeRequest(SListCheckRequest* pCheck) { delete pCheck; }

void WoxFreeRequest(TVINSERTSTRUCT* pInsert)
{
    if (!pInsert)
        return;
    if (pInsert->item.mask & TVIF_TEXT)
        delete[] pInsert->item.pszText;
    delete pInsert;
}

void WoxFreeRequest(COMBOBOXEXITEM* pItem)
{
    if (!pItem)
        return;
    if (pItem->mask & CBEIF_TEXT)
        delete[] pItem->pszText;
    delete pItem;
}

void WoxFreeRequest(int32_t* pIndex) { delete pIndex; }

namespace
{
// Posts a block with wParam 1; the layer frees an undelivered one with the block's own function.
template <class T>
BOOL PostRequest(HWOXWND hWnd, UINT nMsg, T* pBlock)
{
    return PostMessage(hWnd, nMsg, 1, reinterpret_cast<LPARAM>(pBlock), [](LPARAM lParam) { WoxFreeRequest(reinterpret_cast<T*>(lParam)); });
}
} // namespace

BOOL WoxPostListItem(HWOXWND hWnd, UINT nMsg, LVITEM* pItem) { return PostRequest(hWnd, nMsg, pItem); }

BOOL WoxPostListColumn(HWOXWND hWnd, SListColumnRequest* pColumn) { return PostRequest(hWnd, WM_LVM_INSERTCOLUMNEX, pColumn); }

BOOL WoxPostListCheck(HWOXWND hWnd, SListCheckRequest* pCheck) { return PostRequest(hWnd, WM_LVM_SETCHECKBOXEX, pCheck); }

BOOL WoxPostTreeInsert(HWOXWND hWnd, TVINSERTSTRUCT* pInsert) { return PostRequest(hWnd, WM_TVM_INSERTITEMEX, pInsert); }

BOOL WoxPostComboItem(HWOXWND hWnd, UINT nMsg, COMBOBOXEXITEM* pItem) { return PostRequest(hWnd, nMsg, pItem); }

BOOL WoxPostIndex(HWOXWND hWnd, UINT nMsg, int32_t* pIndex) { return PostRequest(hWnd, nMsg, pIndex); }
