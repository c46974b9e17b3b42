#include "ViewPathItem.h"

#include "WoxText.h"

namespace
{

SViewPathItem* NewPathItem(const char* pszFirst, const char* pszSecond)
{
    auto* pItem = new SViewPathItem{};
    WoxCopyText(pItem->szFirst, pszFirst);
    WoxCopyText(pItem->szSecond, pszSecond);
    return pItem;
}

char* NewLabel(const char* pszLabel)
{
    char* pszBuffer = new char[WOX_REQUEST_TEXT];
    WoxCopyText(pszBuffer, WOX_REQUEST_TEXT - 1, pszLabel);
    pszBuffer[WOX_REQUEST_TEXT - 1] = 0;
    return pszBuffer;
}

void FreeTree(LPARAM lParam) { WoxFreeTreePathItem(reinterpret_cast<SViewPathItem*>(lParam)); }
void FreeGrid(LPARAM lParam) { WoxFreeGridPathItem(reinterpret_cast<SViewPathItem*>(lParam)); }

} // namespace

SViewPathItem* WoxNewTreePathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel)
{
    SViewPathItem* pItem = NewPathItem(pszFirst, pszSecond);
    pItem->treeItem = TVITEM{};
    if (pszLabel)
    {
        pItem->treeItem.mask = TVIF_TEXT;
        pItem->treeItem.pszText = NewLabel(pszLabel);
        pItem->treeItem.cchTextMax = WOX_REQUEST_TEXT;
    }
    return pItem;
}

SViewPathItem* WoxNewGridPathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel)
{
    SViewPathItem* pItem = NewPathItem(pszFirst, pszSecond);
    pItem->listItem = LVITEM{};
    if (pszLabel)
    {
        pItem->listItem.mask = LVIF_TEXT;
        pItem->listItem.pszText = NewLabel(pszLabel);
        pItem->listItem.cchTextMax = WOX_REQUEST_TEXT;
    }
    return pItem;
}

void WoxFreeTreePathItem(SViewPathItem* pItem)
{
    if (!pItem)
        return;
    if (pItem->treeItem.mask & TVIF_TEXT)
        delete[] pItem->treeItem.pszText;
    delete pItem;
}

void WoxFreeGridPathItem(SViewPathItem* pItem)
{
    if (!pItem)
        return;
    if (pItem->listItem.mask & LVIF_TEXT)
        delete[] pItem->listItem.pszText;
    delete pItem;
}

BOOL WoxPostTreePathItem(HWOXWND hTree, UINT nMsg, SViewPathItem* pItem)
{
    return PostMessage(hTree, nMsg, 1, reinterpret_cast<LPARAM>(pItem), FreeTree);
}

BOOL WoxPostGridPathItem(HWOXWND hGrid, UINT nMsg, SViewPathItem* pItem)
{
    return PostMessage(hGrid, nMsg, 1, reinterpret_cast<LPARAM>(pItem), FreeGrid);
}

CViewPathRequest::~CViewPathRequest()
{
    if (!m_bOwned)
        return;
    if (m_bTree)
        WoxFreeTreePathItem(m_p);
    else
        WoxFreeGridPathItem(m_p);
}

SViewKeyText::SViewKeyText(const char (&field)[WOX_VIEW_KEY])
{
    WoxFieldToString(sz, sizeof(sz), field, WOX_VIEW_KEY);
}
