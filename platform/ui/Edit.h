#pragma once
// A common control over a Qt widget. A control object is bound to a dialog's widget with
// SubclassDlgItem (or to any widget with Attach). User-interface thread only.

#include "Wnd.h"

class QLineEdit;

// A single-line edit.
class CEdit : public CWnd
{
public:
    void SetLimitText(int nMax);
    void SetReadOnly(BOOL bReadOnly);
    QLineEdit* Edit() const;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    // A key pressed in the edit (virtual key code: 13 Enter, 9 Tab, 27 Escape, letters and
    // digits as their upper-case characters); the default hands it to the edit.
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    bool OnWidgetEvent(QObject* pWatched, QEvent* pEvent) override;
};
