#pragma once
// An extended combo box that carries out work requests posted from background tasks (messages
// 1029-1032 of ControlRequests.h) on the user-interface thread.

#include "ControlRequests.h"
#include "ComboBoxEx.h"

class CComboBoxEx2 : public CComboBoxEx
{
public:
    LRESULT OnCbExDeleteItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnCbExInsertItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnCbExSetCurSelEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnCbExSetItemEx(WPARAM wParam, LPARAM lParam);

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    const CRuntimeClass* GetRuntimeClass() const override;
};
