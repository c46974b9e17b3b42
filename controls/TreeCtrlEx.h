#pragma once
// A tree that carries out work requests posted from background tasks (messages 1029-1032 of
// ControlRequests.h) on the user-interface thread. Once it has had items it always keeps one:
// clearing leaves the first first-level item as an empty placeholder that the next first-level
// insert takes over.

#include "ControlRequests.h"
#include "TreeCtrl.h"

class CTreeCtrlEx : public CTreeCtrl
{
public:
    virtual BOOL DeleteAllItems();
    // None means DeleteAllItems. Keeps the last inserted item pointing at a live item.
    virtual BOOL DeleteItem(HTREEITEM hItem);
    virtual HTREEITEM InsertItem(const TVINSERTSTRUCT* pInsert);
    // Writes the record's item fields into the first first-level item and answers it.
    virtual HTREEITEM ReplaceFirstItem(const TVINSERTSTRUCT* pInsert);

    HTREEITEM GetLastInsertedItem() const { return m_hLastInserted; }
    bool HasPlaceholder() const { return m_bPlaceholder; }

    LRESULT OnTvmDeleteAllItemsEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnTvmDeleteItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnTvmInsertItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowWindowEx(WPARAM wParam, LPARAM lParam);

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    HTREEITEM m_hLastInserted = nullptr;
    bool m_bPlaceholder = false;
};
