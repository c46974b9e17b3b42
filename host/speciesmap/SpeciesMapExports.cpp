// The Species Map Library's export.

#include <new>

#include "SpeciesSelectDlg.h"

WOX_EXPORT ISpeciesSelectDlg* CreateSpeciesSelectDlg(HWOXHEAP hHeap, HWOXWND hParent)
{
    return new (std::nothrow) CSpeciesSelectDlg(hHeap, hParent);
}
