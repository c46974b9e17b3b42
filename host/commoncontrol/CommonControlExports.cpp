// The Common Control Library's export, looked up by name by the component.
#include "ProgressDlg.h"

WOX_EXPORT IProgressDlg* CreateProgressDlg(HWOXWND hParent)
{
    return WoxCreateProgressDlg(hParent);
}
