#pragma once
// Basic types and constants of the user-interface layer: window messages, dialog results,
// message box styles. Values follow the classic window-system numbering so that message
// numbers and results written in the component keep their meaning.

#include <cstdint>

#include "WoxTypes.h"

typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef int BOOL;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message box buttons and icons.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;

inline constexpr UINT WM_NEXTDLGCTL = 0x0028;
inline constexpr UINT WM_USER = 0x0400;   // first private message number

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// Notification codes a control sends its dialog.
inline constexpr int NM_CLICK = -2;
inline constexpr int NM_DBLCLK = -3;
inline constexpr int NM_RCLICK = -5;
inline constexpr int LVN_ITEMCHANGED = -101;
inline constexpr int TVN_SELCHANGED = -402;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int EN_CHANGE = 0x300;

// Key-down modifier flags handed to mouse handlers.
inline constexpr UINT MK_LBUTTON = 0x1;
inline constexpr UINT MK_RBUTTON = 0x2;
inline constexpr UINT MK_SHIFT = 0x4;
inline constexpr UINT MK_CONTROL = 0x8;
inline constexpr UINT MK_MBUTTON = 0x10;

struct CPoint
{
    int x = 0;
    int y = 0;
};
