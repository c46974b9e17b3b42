#include "Button.h"

#include <QAbstractButton>

int CButton::GetCheck() const
{
    auto* pButton = qobject_cast<QAbstractButton*>(GetWidget());
    return pButton && pButton->isChecked() ? 1 : 0;
}

void CButton::SetCheck(int nCheck)
{
    if (auto* pButton = qobject_cast<QAbstractButton*>(GetWidget()))
        pButton->setChecked(nCheck != 0);
}
