#pragma once
// A common control over a Qt widget. A control object is bound to a dialog's widget with
// SubclassDlgItem (or to any widget with Attach). User-interface thread only.

#include <string>

#include "ControlRecords.h"
#include "Wnd.h"

class QComboBox;

// An extended combo box (a drop-down list of texts).
class CComboBoxEx : public CWnd
{
public:
    // Inserts at iItem (0..count); answers the index, -1 on failure.
    int InsertItem(const COMBOBOXEXITEM* pItem);
    // Answers the number of items left, CB_ERR on failure.
    int DeleteItem(int nIndex);
    BOOL SetItem(const COMBOBOXEXITEM* pItem);
    int GetCount() const;
    // Answers the index selected, CB_ERR when out of range (-1 clears the selection).
    int SetCurSel(int nIndex);
    int GetCurSel() const;
    std::string GetItemText(int nIndex) const;
    LPARAM GetItemData(int nIndex) const;
    void ResetContent();

    QComboBox* Combo() const;
    const CRuntimeClass* GetRuntimeClass() const override;
};
