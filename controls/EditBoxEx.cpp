#include "EditBoxEx.h"

void CEditBoxEx::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar != 13)
    {
        CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    // Enter never reaches the dialog's default button from here.
    if (m_pOwner)
        m_pOwner->SendMessage(WM_NEXTDLGCTL, 0, 0);
}

const CRuntimeClass* CEditBoxEx::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CEditBoxEx"};
    return &cls;
}
