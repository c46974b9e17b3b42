#pragma once
// Dialog and menu templates kept as data by the modules that own them (Resources.h). Rectangles
// are in dialog units: a horizontal unit is a quarter of the dialog font's average character
// width, a vertical unit an eighth of its height.

#include <cstdint>

enum ENWoxControlKind : int
{
    WOX_CTL_PUSHBUTTON,
    WOX_CTL_DEFPUSHBUTTON,
    WOX_CTL_LTEXT,
    WOX_CTL_CTEXT,
    WOX_CTL_RTEXT,
    WOX_CTL_EDIT,
    WOX_CTL_LISTVIEW,
    WOX_CTL_TREEVIEW,
    WOX_CTL_COMBOBOX,     // drop-down list of texts
    WOX_CTL_COMBOBOXEX,   // extended combo box
    WOX_CTL_LISTBOX,
    WOX_CTL_GROUPBOX,
    WOX_CTL_CHECKBOX,
    WOX_CTL_RADIO,
    WOX_CTL_ICON,         // text holds the icon resource id in decimal
    WOX_CTL_UPDOWN,
};

// Control styles the layer understands (others are ignored).
enum : uint32_t
{
    WOX_WS_DISABLED = 0x08000000,
    WOX_WS_HIDDEN = 0x10000000,        // created hidden
    WOX_WS_BORDER = 0x00800000,
    WOX_WS_GROUP = 0x00020000,        // a radio button that starts a new group
    WOX_ES_READONLY = 0x0800,
    WOX_ES_NUMBER = 0x2000,
    WOX_ES_MULTILINE = 0x0004,
    WOX_LVS_SINGLESEL = 0x0004,
    WOX_LVS_SHOWSELALWAYS = 0x0008,
    WOX_LVS_NOCOLUMNHEADER = 0x4000,
    WOX_LVS_EX_CHECKBOXES = 0x01000000,
    WOX_LVS_EX_GRIDLINES = 0x02000000,
    WOX_TVS_HASBUTTONS = 0x0001,
    WOX_TVS_HASLINES = 0x0002,
    WOX_TVS_LINESATROOT = 0x0004,
    WOX_LBS_MULTIPLESEL = 0x0008,
    WOX_LBS_SORT = 0x0002,
    WOX_CBS_SORT = 0x0100,
};

struct SWoxControlTemplate
{
    ENWoxControlKind nKind;
    int nId;             // control id; -1 for static texts nobody addresses
    const char* pszText;
    uint32_t nStyle;
    int x, y, cx, cy;    // dialog units
};

struct SWoxDialogTemplate
{
    int nId;
    const char* pszCaption;
    int cx, cy;                  // client size in dialog units
    const char* pszFont;         // font family; none = the application's font
    int nPointSize;
    const SWoxControlTemplate* pControls;
    int nControls;
};

// Menu items in a flat list: WOX_MF_POPUP opens a submenu that WOX_MF_END closes.
enum : uint32_t
{
    WOX_MF_STRING = 0x0,
    WOX_MF_GRAYED = 0x1,
    WOX_MF_CHECKED = 0x8,
    WOX_MF_POPUP = 0x10,
    WOX_MF_SEPARATOR = 0x800,
    WOX_MF_RADIOCHECK = 0x200,
    WOX_MF_END = 0x80,
};

struct SWoxMenuItem
{
    uint32_t nFlags;
    int nId;             // command id (0 for popups and separators)
    const char* pszText; // '&' marks the mnemonic; '\t' separates an accelerator text
};

struct SWoxMenuTemplate
{
    int nId;
    const SWoxMenuItem* pItems;
    int nItems;
};
