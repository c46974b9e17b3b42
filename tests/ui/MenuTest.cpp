// Menus from templates: marks, greyed items, radio groups, commands.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "Menu.h"
#include "ResourceIds.h"
#include "ScenarioResources.h"

namespace
{
// The editor's menus are the component's templates.
class MenuTest : public ::testing::Test
{
protected:
    void SetUp() override { WoxUseScenarioResources(); }
};

TEST_F(MenuTest, TemplateMarksAndTexts)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_EDITOR_MENU_FILE_OPEN));
    EXPECT_EQ(menu.GetMenuItemCount(), 4) << "File, Commands, View, Help";
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_HIDE_UNTREATED), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_HELP_CONTENTS), MF_GRAYED);
    EXPECT_EQ(menu.GetMenuState(ID_ADD_TRIGGERED), 0u) << "commands of nested pop-ups are found";
    EXPECT_EQ(menu.GetMenuString(ID_FILE_SAVE), "Save Scenario File");
    EXPECT_EQ(menu.GetMenuString(ID_FILE_EXIT), "Exit");
    EXPECT_EQ(menu.GetMenuState(4711), static_cast<UINT>(-1));

    CMenu* pView = menu.GetSubMenu(2);
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetMenuState(ID_VIEW_GRID), 0u);
    EXPECT_EQ(pView->GetMenuState(ID_FILE_SAVE), static_cast<UINT>(-1)) << "a pop-up knows only its own commands";
    EXPECT_EQ(menu.GetSubMenu(4), nullptr);

    CMenu noFile;
    ASSERT_TRUE(noFile.LoadMenu(IDR_EDITOR_MENU_NO_FILE));
    EXPECT_EQ(noFile.GetMenuItemCount(), 2);
    EXPECT_EQ(noFile.GetSubMenu(0)->GetMenuItemCount(), 4) << "New, Open, separator, Exit";
    EXPECT_FALSE(noFile.LoadMenu(1));
}

TEST_F(MenuTest, RadioChecksAndEnables)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_EDITOR_MENU_FILE_OPEN));
    ASSERT_TRUE(menu.CheckMenuRadioItem(ID_VIEW_BY_YEAR, ID_VIEW_BY_STAND, ID_VIEW_BY_YEAR));
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_BY_YEAR), MF_CHECKED);
    ASSERT_TRUE(menu.CheckMenuRadioItem(ID_VIEW_BY_YEAR, ID_VIEW_BY_STAND, ID_VIEW_BY_STAND));
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_BY_YEAR), 0u);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_BY_STAND), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_HIDE_UNTREATED), MF_CHECKED) << "outside the range";
    EXPECT_FALSE(menu.CheckMenuRadioItem(ID_VIEW_BY_YEAR, ID_VIEW_BY_STAND, 4711));

    EXPECT_EQ(menu.CheckMenuItem(ID_VIEW_HIDE_UNTREATED, MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(menu.GetMenuState(ID_VIEW_HIDE_UNTREATED), 0u);
    EXPECT_EQ(menu.EnableMenuItem(ID_DELETE_TREATMENT, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(menu.GetMenuState(ID_DELETE_TREATMENT), MF_GRAYED);
}

TEST_F(MenuTest, ChosenItemsReachTheHandler)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_EDITOR_MENU_FILE_OPEN));
    std::vector<int> commands;
    menu.SetCommandHandler([&](int nId) { commands.push_back(nId); });
    for (QAction* pAction : menu.GetSubMenu(1)->GetQMenu()->actions())
    {
        if (pAction->menu())
            pAction->menu()->actions().front()->trigger();   // Add Treatment > Normal...
        else if (!pAction->isSeparator())
            pAction->trigger();
    }
    EXPECT_EQ(commands, (std::vector<int>{ID_ADD_NORMAL, ID_DELETE_TREATMENT, ID_MODIFY_TREATMENT, ID_CHANGE_END_YEAR}));
}

} // namespace
