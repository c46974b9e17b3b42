#include "Edit.h"

#include <QKeyEvent>
#include <QLineEdit>

QLineEdit* CEdit::Edit() const
{
    return qobject_cast<QLineEdit*>(GetWidget());
}

const CRuntimeClass* CEdit::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CEdit"};
    return &cls;
}

void CEdit::SetLimitText(int nMax)
{
    if (QLineEdit* pEdit = Edit())
        pEdit->setMaxLength(nMax > 0 ? nMax : 32767);
}

void CEdit::SetReadOnly(BOOL bReadOnly)
{
    if (QLineEdit* pEdit = Edit())
        pEdit->setReadOnly(bReadOnly);
}

void CEdit::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}

bool CEdit::OnWidgetEvent(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != GetWidget() || pEvent->type() != QEvent::KeyPress)
        return false;
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    UINT nChar = 0;
    switch (pKey->key())
    {
    case Qt::Key_Return:
    case Qt::Key_Enter: nChar = 13; break;
    case Qt::Key_Tab: nChar = 9; break;
    case Qt::Key_Escape: nChar = 27; break;
    case Qt::Key_Backspace: nChar = 8; break;
    default:
        if ((pKey->key() >= Qt::Key_0 && pKey->key() <= Qt::Key_9) || (pKey->key() >= Qt::Key_A && pKey->key() <= Qt::Key_Z))
            nChar = static_cast<UINT>(pKey->key());
        break;
    }
    OnKeyDown(nChar, pKey->isAutoRepeat() ? 2 : 1, 0);
    return true;
}
