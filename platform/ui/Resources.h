#pragma once
// The templates and icons of the modules that show dialogs. A module hands its table to the layer
// (WoxRegisterResources) before it shows a dialog or loads a menu of its own; the layer finds a
// template or an icon by id in the tables in the order they came. The layer holds none of its
// own. Tables stay valid for the process: modules are never unloaded. Any thread.

#include <QPixmap>

#include "DialogTemplate.h"

// Draws the icon with the id at nSize pixels; a null pixmap for an id the module does not know.
typedef QPixmap (*PFN_WoxDrawIcon)(int nId, int nSize);

struct SWoxResourceTable
{
    const SWoxDialogTemplate* pDialogs;
    int nDialogs;
    const SWoxMenuTemplate* pMenus;
    int nMenus;
    PFN_WoxDrawIcon pfnDrawIcon;   // none when the module has no icons
};

// Registering a table again changes nothing.
void WoxRegisterResources(const SWoxResourceTable* pTable);

// None when no registered table knows the id.
const SWoxDialogTemplate* WoxFindDialogTemplate(int nId);
const SWoxMenuTemplate* WoxFindMenuTemplate(int nId);
// A null pixmap for an unknown id or a size below 1.
QPixmap WoxLoadIconPixmap(int nId, int nSize);
