#pragma once
// A common control over a Qt widget. A control object is bound to a dialog's widget with
// SubclassDlgItem (or to any widget with Attach). User-interface thread only.

#include "Wnd.h"

// A push button, check box or radio button.
class CButton : public CWnd
{
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};
