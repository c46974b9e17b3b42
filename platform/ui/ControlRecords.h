#pragma once
// Item records of the list, tree and extended combo controls, with native pointer sizes. Work
// requests posted to the extended controls carry these records in heap blocks.

#include "WoxUi.h"

// List view item.
inline constexpr UINT LVIF_TEXT = 0x1;
inline constexpr UINT LVIF_IMAGE = 0x2;
inline constexpr UINT LVIF_PARAM = 0x4;
inline constexpr UINT LVIF_STATE = 0x8;
inline constexpr UINT LVIF_INDENT = 0x10;
inline constexpr UINT LVIS_FOCUSED = 0x1;
inline constexpr UINT LVIS_SELECTED = 0x2;
struct LVITEM
{
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    char* pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
};

// List view column.
inline constexpr UINT LVCF_FMT = 0x1;
inline constexpr UINT LVCF_WIDTH = 0x2;
inline constexpr UINT LVCF_TEXT = 0x4;
inline constexpr UINT LVCF_SUBITEM = 0x8;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
struct LVCOLUMN
{
    UINT mask;
    int fmt;
    int cx;
    char* pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
};

// Tree view item. A tree item handle is valid on the user-interface thread while the item exists.
typedef struct SWoxTreeItem* HTREEITEM;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFE));

inline constexpr UINT TVIF_TEXT = 0x1;
inline constexpr UINT TVIF_IMAGE = 0x2;
inline constexpr UINT TVIF_PARAM = 0x4;
inline constexpr UINT TVIF_STATE = 0x8;
inline constexpr UINT TVIF_HANDLE = 0x10;
inline constexpr UINT TVIF_SELECTEDIMAGE = 0x20;
inline constexpr UINT TVIF_CHILDREN = 0x40;
inline constexpr UINT TVIS_SELECTED = 0x2;
inline constexpr UINT TVIS_BOLD = 0x10;
inline constexpr UINT TVIS_EXPANDED = 0x20;
struct TVITEM
{
    UINT mask;
    HTREEITEM hItem;
    UINT state;
    UINT stateMask;
    char* pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    LPARAM lParam;
};
struct TVINSERTSTRUCT
{
    HTREEITEM hParent;
    HTREEITEM hInsertAfter;
    TVITEM item;
};

// Extended combo box item.
inline constexpr UINT CBEIF_TEXT = 0x1;
inline constexpr UINT CBEIF_IMAGE = 0x2;
inline constexpr UINT CBEIF_SELECTEDIMAGE = 0x4;
inline constexpr UINT CBEIF_OVERLAY = 0x8;
inline constexpr UINT CBEIF_INDENT = 0x10;
inline constexpr UINT CBEIF_LPARAM = 0x20;
struct COMBOBOXEXITEM
{
    UINT mask;
    intptr_t iItem;
    char* pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int iOverlay;
    int iIndent;
    LPARAM lParam;
};

inline constexpr int CB_ERR = -1;
