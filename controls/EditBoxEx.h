#pragma once
// An edit box in which Enter moves the focus to the next control of its owner dialog. Without an
// owner Enter does nothing.

#include "Edit.h"

class CEditBoxEx : public CEdit
{
public:
    void SetOwner(CWnd* pOwner) { m_pOwner = pOwner; }
    CWnd* GetOwner() const { return m_pOwner; }
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;

private:
    CWnd* m_pOwner = nullptr;
};
