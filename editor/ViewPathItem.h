#pragma once
// Work requests of the editor's two views: the path item that puts a treatment label under a
// (first key, second key) path of the tree or into a (row key, column key) cell of the grid, the
// message numbers, and the 36-byte key that the views report for their selection. Blocks are made
// by WoxNew*PathItem, posted with wParam 1 and freed by the receiving view, or by the window layer
// when the view is gone. Making and posting: any thread; handling: the user-interface thread.

#include <cstdint>

#include "ControlRecords.h"
#include "ControlRequests.h"
#include "Wnd.h"

// Tree view requests (besides those of CTreeCtrlEx).
inline constexpr UINT WM_TVM_INSERTPATHITEMEX = WM_USER + 9;    // 1033, SViewPathItem with a tree item
inline constexpr UINT WM_TVM_CLEARPATHEX = WM_USER + 10;        // 1034, SViewPathItem, item not read
// Grid view requests (besides those of CListCtrlEx).
inline constexpr UINT WM_LVM_INSERTPATHITEMEX = WM_USER + 13;   // 1037, SViewPathItem with a list item
inline constexpr UINT WM_LVM_CLEARPATHEX = WM_USER + 14;        // 1038, SViewPathItem, item not read

inline constexpr int WOX_VIEW_KEY = 256;

// A path and the item to put there. The tree reads treeItem, the grid listItem.
struct SViewPathItem
{
    char szFirst[WOX_VIEW_KEY];
    char szSecond[WOX_VIEW_KEY];
    union
    {
        TVITEM treeItem;
        LVITEM listItem;
    };
};

// One selected cell or node as the views report it: the stand (30 characters, bounded) and the
// year at byte 32 (-1 = any year).
struct SViewKey
{
    char szStand[30];
    char cPad[2];
    int32_t nYear;
};
static_assert(sizeof(SViewKey) == 36);

// A path item for the tree or the grid; keys are copied up to 256 characters. With pszLabel the
// item carries the label (mask text, cut to WOX_REQUEST_TEXT - 1 characters, cchTextMax its size
// with the terminator) in a buffer that belongs to the block; without, the item is empty. Blocks
// are freed only with the functions below, which take the label with them.
SViewPathItem* WoxNewTreePathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel);
SViewPathItem* WoxNewGridPathItem(const char* pszFirst, const char* pszSecond, const char* pszLabel);

void WoxFreeTreePathItem(SViewPathItem* pItem);
void WoxFreeGridPathItem(SViewPathItem* pItem);

// Posts with wParam 1; the block is freed whatever becomes of the message. 0 = window gone.
BOOL WoxPostTreePathItem(HWOXWND hTree, UINT nMsg, SViewPathItem* pItem);
BOOL WoxPostGridPathItem(HWOXWND hGrid, UINT nMsg, SViewPathItem* pItem);

// The block of a path message as its handler sees it: freed when the handler ends if the
// message brought its ownership (wParam non-zero).
class CViewPathRequest
{
public:
    CViewPathRequest(WPARAM wParam, LPARAM lParam, bool bTree)
        : m_p(reinterpret_cast<SViewPathItem*>(lParam)), m_bOwned(wParam != 0), m_bTree(bTree)
    {
    }
    ~CViewPathRequest();
    CViewPathRequest(const CViewPathRequest&) = delete;
    CViewPathRequest& operator=(const CViewPathRequest&) = delete;

    SViewPathItem* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    SViewPathItem* m_p;
    bool m_bOwned;
    bool m_bTree;
};

// A key field of a path item as a C string (at most 256 characters).
struct SViewKeyText
{
    explicit SViewKeyText(const char (&field)[WOX_VIEW_KEY]);
    char sz[WOX_VIEW_KEY + 1];
};
