#pragma once
// The Scenario Editor's tree view: first-level nodes (stands or years), second-level nodes under
// them (years or stands) and one leaf per treatment label. The load and add tasks fill it with
// path requests (1033 insert, 1034 clear) besides the requests of CTreeCtrlEx; the editor window
// reads the selected node back as a (stand, year) key.
//
// Finding a path never walks all nodes: the node of the last insert is tried first (a load posts
// runs under one path), then an index from node text to node, kept in step with every insert and
// delete. User-interface thread only.

#include <QObject>
#include <memory>
#include <string>
#include <unordered_map>

#include "Containers.h"
#include "TreeCtrlEx.h"
#include "ViewPathItem.h"

class CEditorTreeCtrlEx : public CTreeCtrlEx
{
public:
    BOOL DeleteAllItems() override;
    BOOL DeleteItem(HTREEITEM hItem) override;
    HTREEITEM InsertItem(const TVINSERTSTRUCT* pInsert) override;

    // The node at (first, second), made (text only, last under its parent) where missing. An
    // empty second key ends the path at the first-level node.
    HTREEITEM FindOrCreatePath(const char* pszFirst, const char* pszSecond);

    LRESULT OnTvmInsertPathItemEx(WPARAM wParam, LPARAM lParam);
    LRESULT OnTvmClearPathEx(WPARAM wParam, LPARAM lParam);

    // Selects the item under a screen point as the caret item, if there is one.
    void SelectAtPoint(int x, int y);
    // Appends the key of the selected node (SViewKey) for nViewBy 0 (by stand) or 1 (by year):
    // the first-level and second-level texts on the way up; a missing second level gives year 0
    // or an empty stand. 0 when nothing is selected.
    int GetSelectedKey(int nViewBy, IDynamicPtrTemplate<IArrayExt2> pKeys);

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    // Every row is one line of the same font: the tree takes one row height for all, so laying
    // out or scrolling through a hundred thousand nodes never measures their texts.
    void OnAttached() override;

private:
    // The first-level ancestor of an item and that ancestor's child on the way (none when the
    // item is itself first-level).
    void PathOf(HTREEITEM hItem, HTREEITEM& hTop, HTREEITEM& hMiddle) const;
    HTREEITEM FindFirstLevel(const std::string& key);
    HTREEITEM FindSecondLevel(HTREEITEM hTop, const std::string& key);
    void Forget(HTREEITEM hItem);
    // Shows the newest leaf as the caret item. Deferred to the end of the current run of
    // requests, so a flood of inserts lays the tree out once per turn of the event loop.
    void ShowCaretLater(HTREEITEM hItem);
    void ShowCaretNow();
    // A caret still waiting is shown now (before the selection is read or changed).
    void ShowCaretPending();
    HTREEITEM InsertPathNode(HTREEITEM hParent, const std::string& text);

    std::unordered_map<std::string, HTREEITEM> m_first;
    std::unordered_map<HTREEITEM, std::unordered_map<std::string, HTREEITEM>> m_second;
    std::unique_ptr<QObject> m_pCaretContext;   // context of the deferred caret; goes with this object
    HTREEITEM m_hCaret = nullptr;
    bool m_bCaretPending = false;
};
