#pragma once
// Work requests for the extended controls: the message numbers, the request blocks and their
// allocation. A request block is made with new (its text with new[]), posted with wParam 1, and
// from then on belongs to the receiving control, whose handler holds it in a CControlRequest that
// frees it when the handler ends; if the control is gone the layer frees it with the same function.
// Making and posting are callable from any thread, handling on the user-interface thread.

#include <cstdint>

#include "ControlRecords.h"
#include "Wnd.h"

// CListCtrlEx messages.
inline constexpr UINT WM_LVM_DELETEALLCOLUMNSEX = WM_USER + 5;   // 1029, no block
inline constexpr UINT WM_LVM_DELETEALLITEMSEX = WM_USER + 6;     // 1030, no block
inline constexpr UINT WM_LVM_DELETEITEMEX = WM_USER + 7;         // 1031, int32_t row
inline constexpr UINT WM_LVM_INSERTCOLUMNEX = WM_USER + 8;       // 1032, SListColumnRequest
inline constexpr UINT WM_LVM_INSERTITEMEX = WM_USER + 9;         // 1033, LVITEM
inline constexpr UINT WM_LVM_SETITEMEX = WM_USER + 10;           // 1034, LVITEM
inline constexpr UINT WM_LVM_SHOWWINDOWEX = WM_USER + 11;        // 1035, wParam 0 hides
inline constexpr UINT WM_LVM_SETCHECKBOXEX = WM_USER + 12;       // 1036, SListCheckRequest

// CTreeCtrlEx messages.
inline constexpr UINT WM_TVM_DELETEALLITEMSEX = WM_USER + 5;     // 1029, no block
inline constexpr UINT WM_TVM_DELETEITEMEX = WM_USER + 6;         // 1030, lParam is the item
inline constexpr UINT WM_TVM_INSERTITEMEX = WM_USER + 7;         // 1031, TVINSERTSTRUCT
inline constexpr UINT WM_TVM_SHOWWINDOWEX = WM_USER + 8;         // 1032, wParam 0 hides

// CComboBoxEx2 messages.
inline constexpr UINT WM_CBEX_DELETEITEMEX = WM_USER + 5;        // 1029, int32_t index
inline constexpr UINT WM_CBEX_INSERTITEMEX = WM_USER + 6;        // 1030, COMBOBOXEXITEM
inline constexpr UINT WM_CBEX_SETCURSELEX = WM_USER + 7;         // 1031, int32_t index
inline constexpr UINT WM_CBEX_SETITEMEX = WM_USER + 8;           // 1032, COMBOBOXEXITEM

// Text buffers of the requests the tasks build hold this many characters with the terminator.
inline constexpr int WOX_REQUEST_TEXT = 256;

// A column insert: the column index, then the column record.
struct SListColumnRequest
{
    int32_t nColumn;
    LVCOLUMN column;
};

// A check box change: the row (-1 = the last row) and the check state.
struct SListCheckRequest
{
    int32_t nItem;
    int32_t nCheck;
};

// Request blocks. Texts are copied into a WOX_REQUEST_TEXT buffer (cut to fit).
LVITEM* WoxNewListItem(int nItem, int nSubItem, const char* pszText);
SListColumnRequest* WoxNewListColumn(int nColumn, const char* pszText, int nWidth, int nFormat = LVCFMT_LEFT);
SListCheckRequest* WoxNewListCheck(int nItem, bool bCheck);
TVINSERTSTRUCT* WoxNewTreeInsert(const char* pszText, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
COMBOBOXEXITEM* WoxNewComboItem(int nItem, const char* pszText, LPARAM nData = 0);
int32_t* WoxNewIndex(int nIndex);

// Free a request block and, when its mask has the text bit, its text. None is ignored.
void WoxFreeRequest(LVITEM* pItem);
void WoxFreeRequest(SListColumnRequest* pColumn);
void WoxFreeRequest(SListCheckRequest* pCheck);
void WoxFreeRequest(TVINSERTSTRUCT* pInsert);
void WoxFreeRequest(COMBOBOXEXITEM* pItem);
void WoxFreeRequest(int32_t* pIndex);

// The request block of a message as its handler sees it. With wParam 1 the message brought the
// block's ownership, and the block is freed when this object goes, whichever way the handler
// leaves; with wParam 0 the sender keeps it.
template <class T>
class CControlRequest
{
public:
    CControlRequest(WPARAM wParam, LPARAM lParam) : m_p(reinterpret_cast<T*>(lParam)), m_bOwned(wParam != 0) {}
    ~CControlRequest()
    {
        if (m_bOwned)
            WoxFreeRequest(m_p);
    }
    CControlRequest(const CControlRequest&) = delete;
    CControlRequest& operator=(const CControlRequest&) = delete;

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p;
    bool m_bOwned;
};

// Post a request with wParam 1 (the control frees the block). Answer 0 when the window is gone;
// the block is freed either way.
BOOL WoxPostListItem(HWOXWND hWnd, UINT nMsg, LVITEM* pItem);
BOOL WoxPostListColumn(HWOXWND hWnd, SListColumnRequest* pColumn);
BOOL WoxPostListCheck(HWOXWND hWnd, SListCheckRequest* pCheck);
BOOL WoxPostTreeInsert(HWOXWND hWnd, TVINSERTSTRUCT* pInsert);
BOOL WoxPostComboItem(HWOXWND hWnd, UINT nMsg, COMBOBOXEXITEM* pItem);
BOOL WoxPostIndex(HWOXWND hWnd, UINT nMsg, int32_t* pIndex);
