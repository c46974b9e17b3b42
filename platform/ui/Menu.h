#pragma once
// Menus built from menu templates: a menu bar's pop-ups or a context menu, with command ids,
// check and radio marks and greyed items. User-interface thread only.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "WoxUi.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

inline constexpr UINT MF_BYCOMMAND = 0x0;
inline constexpr UINT MF_ENABLED = 0x0;
inline constexpr UINT MF_UNCHECKED = 0x0;
inline constexpr UINT MF_GRAYED = 0x1;
inline constexpr UINT MF_CHECKED = 0x8;

class CMenu
{
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Builds the menu from the template; false when the id is unknown.
    BOOL LoadMenu(int nId);
    // The pop-up at a position of the top level, or none.
    CMenu* GetSubMenu(int nPos);
    int GetMenuItemCount() const;

    // Answer the previous state, or (UINT)-1 when the command is unknown.
    UINT CheckMenuItem(int nId, UINT nCheck);
    UINT EnableMenuItem(int nId, UINT nEnable);
    // Marks nId with a radio mark and clears the marks of the other commands nFirst..nLast.
    BOOL CheckMenuRadioItem(int nFirst, int nLast, int nId);
    // MF_CHECKED and MF_GRAYED bits of a command, (UINT)-1 when unknown.
    UINT GetMenuState(int nId) const;
    // The visible text of a command (mnemonic marks removed).
    std::string GetMenuString(int nId) const;

    // Calls onCommand with the command id whenever an item is chosen.
    void SetCommandHandler(std::function<void(int)> onCommand);
    // Puts the top-level pop-ups into a menu bar.
    void FillMenuBar(QMenuBar* pBar);
    // Shows the menu at a global position and answers the chosen command id, 0 when none.
    int TrackPopupMenu(int x, int y, QWidget* pParent);

    QMenu* GetQMenu() const { return m_pMenu.get(); }

private:
    QAction* Find(int nId) const;
    std::unique_ptr<QMenu> m_pMenu;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
    std::map<int, QAction*> m_commands;   // this menu's commands and its pop-ups'
    std::function<void(int)> m_onCommand;
};
