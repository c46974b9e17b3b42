// The dialog and menu templates. Rectangles in dialog units (x, y, width, height).

#include <iterator>

#include "ResourceIds.h"
#include "ScenarioResources.h"
#include "SpinButtonCtrl.h"

namespace
{

constexpr const char* kFont = nullptr;   // the application's dialog font
constexpr int kPointSize = 9;

const SWoxControlTemplate kOpenScenario[] = {
    {WOX_CTL_LISTVIEW, IDC_OPEN_SCENARIO_LIST, "", WOX_LVS_SINGLESEL | WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER, 6, 6, 240, 108},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 142, 118, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 196, 118, 50, 14},
};

const SWoxControlTemplate kTreatmentTypes[] = {
    {WOX_CTL_LTEXT, -1, "Choose the type of treatments:", 0, 6, 6, 103, 8},
    {WOX_CTL_LISTVIEW, IDC_TREATMENT_TYPE_LIST, "", WOX_LVS_SINGLESEL | WOX_LVS_NOCOLUMNHEADER | WOX_WS_BORDER, 6, 18, 180, 42},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 42, 66, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 102, 66, 50, 14},
};

const SWoxControlTemplate kAbout[] = {
    {WOX_CTL_ICON, -1, "5035", 0, 11, 10, 24, 24},
    {WOX_CTL_LTEXT, -1, "Wox Suite", 0, 44, 10, 140, 9},
    {WOX_CTL_LTEXT, -1, "Scenario Editor", 0, 44, 22, 140, 9},
    {WOX_CTL_LTEXT, -1, "Version 3.1", 0, 44, 34, 140, 9},
    {WOX_CTL_LTEXT, -1, "Released December 2026", 0, 44, 46, 140, 9},
    {WOX_CTL_LTEXT, -1, "Written by the Wox Suite forest planning team", 0, 44, 58, 146, 18},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 140, 82, 50, 14},
};

const SWoxControlTemplate kNewScenario[] = {
    {WOX_CTL_LTEXT, -1, "Name:", 0, 7, 14, 44, 8},
    {WOX_CTL_EDIT, IDC_SCENARIO_NAME, "", WOX_WS_BORDER, 54, 12, 135, 13},
    {WOX_CTL_LTEXT, -1, "Description:", 0, 7, 38, 44, 8},
    {WOX_CTL_EDIT, IDC_SCENARIO_DESCRIPTION, "", WOX_WS_BORDER, 54, 36, 135, 13},
    {WOX_CTL_LTEXT, -1, "End Year:", 0, 7, 62, 44, 8},
    {WOX_CTL_EDIT, IDC_END_YEAR, "", WOX_WS_BORDER | WOX_ES_NUMBER, 54, 60, 44, 13},
    {WOX_CTL_UPDOWN, IDC_END_YEAR_SPIN, "", WOX_UDS_SETBUDDYINT | WOX_UDS_ARROWKEYS, 98, 60, 10, 13},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 85, 93, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 139, 93, 50, 14},
};

const SWoxControlTemplate kEndYear[] = {
    {WOX_CTL_LTEXT, -1, "End Year:", 0, 7, 11, 36, 8},
    {WOX_CTL_EDIT, IDC_END_YEAR, "", WOX_WS_BORDER, 46, 9, 50, 13},
    {WOX_CTL_UPDOWN, IDC_END_YEAR_SPIN, "", WOX_UDS_SETBUDDYINT | WOX_UDS_ARROWKEYS | WOX_UDS_NOTHOUSANDS, 96, 9, 10, 13},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 17, 38, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 75, 38, 50, 14},
};

// Cancel is the default button: Enter cancels.
const SWoxControlTemplate kTrtSelect[] = {
    {WOX_CTL_LISTVIEW, IDC_TRT_SELECT_LIST, "", WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER, 6, 6, 222, 90},
    {WOX_CTL_PUSHBUTTON, 1, "Delete", 0, 63, 102, 50, 14},
    {WOX_CTL_DEFPUSHBUTTON, 2, "Cancel", 0, 123, 102, 50, 14},
};

const SWoxControlTemplate kYearParam[] = {
    {WOX_CTL_LTEXT, -1, "Start Year:", 0, 7, 7, 36, 8},
    {WOX_CTL_COMBOBOX, IDC_START_YEAR_LIST, "", 0, 7, 18, 72, 90},
    {WOX_CTL_LTEXT, -1, "End Year:", 0, 91, 7, 32, 8},
    {WOX_CTL_COMBOBOX, IDC_END_YEAR_LIST, "", 0, 91, 18, 72, 96},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 31, 42, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 91, 42, 50, 14},
};

const SWoxControlTemplate kScenarioEditor[] = {
    {WOX_CTL_TREEVIEW, IDC_EDITOR_TREE, "", WOX_TVS_HASLINES | WOX_TVS_HASBUTTONS | WOX_TVS_LINESATROOT | WOX_WS_BORDER, 6, 6, 435, 288},
    {WOX_CTL_LISTVIEW, IDC_EDITOR_GRID, "", WOX_LVS_SINGLESEL | WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER, 6, 6, 438, 288},
};

constexpr uint32_t kTriggeredList = WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER;
const SWoxControlTemplate kTriggered[] = {
    {WOX_CTL_LTEXT, -1, "Stand(s):", 0, 7, 7, 31, 8},
    {WOX_CTL_LISTVIEW, IDC_TRIGGERED_STANDS, "", kTriggeredList | WOX_LVS_NOCOLUMNHEADER, 7, 18, 96, 204},
    {WOX_CTL_GROUPBOX, -1, "Treatment Trigger:", 0, 109, 7, 276, 83},
    {WOX_CTL_LISTVIEW, IDC_TRIGGERED_TRIGGERS, "", kTriggeredList, 114, 18, 264, 48},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TRIGGER_ADD, "Add...", 0, 120, 72, 42, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TRIGGER_DELETE, "Delete", 0, 168, 72, 42, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TRIGGER_EDIT, "Edit...", 0, 216, 72, 42, 14},
    {WOX_CTL_GROUPBOX, -1, "Treatments:", 0, 109, 96, 276, 83},
    {WOX_CTL_LISTVIEW, IDC_TRIGGERED_TREATMENTS, "", kTriggeredList | WOX_LVS_SINGLESEL, 115, 108, 264, 47},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TREATMENT_ADD, "Add...", 0, 120, 161, 42, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TREATMENT_DELETE, "Delete", 0, 167, 161, 42, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TREATMENT_EDIT, "Edit...", 0, 215, 161, 42, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TREATMENT_UP, "Up", 0, 276, 161, 42, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_TREATMENT_DOWN, "Down", 0, 324, 161, 42, 14},
    {WOX_CTL_GROUPBOX, -1, "Flags:", 0, 108, 185, 276, 36},
    {WOX_CTL_CHECKBOX, IDC_TRIGGERED_MULTIPLE, "Allow Multiple Occurences", 0, 120, 202, 98, 10},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_YEAR_PARAM, "Change Year Param...", 0, 7, 228, 96, 14},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 164, 228, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 224, 228, 50, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGERED_HELP, "Help...", 0, 284, 228, 50, 14},
};

const SWoxControlTemplate kSpeciesAdd[] = {
    {WOX_CTL_LTEXT, -1, "Enter Species:", 0, 7, 7, 47, 8},
    {WOX_CTL_EDIT, IDC_SPECIES_CODE, "", WOX_WS_BORDER, 6, 18, 144, 14},
    {WOX_CTL_PUSHBUTTON, IDC_SPECIES_LOOK_UP, "Look Up...", 0, 156, 18, 50, 14},
    {WOX_CTL_LTEXT, -1, "Species to be Added:", 0, 6, 36, 69, 8},
    {WOX_CTL_LISTVIEW, IDC_SPECIES_ADDED_LIST, "", WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER, 7, 48, 198, 51},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 47, 108, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 113, 108, 50, 14},
};

const SWoxControlTemplate kTriggerDef[] = {
    {WOX_CTL_LTEXT, -1, "Variable:", 0, 7, 7, 29, 8},
    {WOX_CTL_COMBOBOXEX, IDC_TRIGGER_VARIABLE, "", 0, 7, 18, 132, 122},
    {WOX_CTL_COMBOBOX, IDC_TRIGGER_CONDITION, "", 0, 145, 18, 48, 180},
    {WOX_CTL_LTEXT, -1, "Condition:", 0, 199, 7, 34, 8},
    {WOX_CTL_EDIT, IDC_TRIGGER_VALUE, "", WOX_WS_BORDER, 199, 18, 66, 14},
    {WOX_CTL_GROUPBOX, -1, "Record Filtering:", 0, 6, 36, 258, 84},
    {WOX_CTL_LTEXT, -1, "Species:", 0, 12, 48, 28, 8},
    {WOX_CTL_COMBOBOX, IDC_TRIGGER_SPECIES_MODE, "", 0, 12, 60, 78, 30},
    {WOX_CTL_LISTBOX, IDC_TRIGGER_SPECIES_LIST, "", WOX_LBS_SORT | WOX_WS_BORDER, 12, 78, 78, 36},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGER_SPECIES_ADD, "Add...", 0, 96, 78, 36, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGER_SPECIES_REMOVE, "Remove", 0, 96, 96, 36, 14},
    {WOX_CTL_LTEXT, -1, "DBH:", 0, 138, 48, 24, 8},
    {WOX_CTL_LTEXT, -1, "Min:", 0, 138, 60, 16, 8},
    {WOX_CTL_EDIT, IDC_TRIGGER_DBH_MIN, "", WOX_WS_BORDER, 156, 60, 36, 14},
    {WOX_CTL_LTEXT, -1, "Max:", 0, 138, 90, 16, 8},
    {WOX_CTL_EDIT, IDC_TRIGGER_DBH_MAX, "", WOX_WS_BORDER, 156, 90, 36, 14},
    {WOX_CTL_LTEXT, -1, "Height:", 0, 198, 48, 28, 8},
    {WOX_CTL_LTEXT, -1, "Min:", 0, 198, 60, 16, 8},
    {WOX_CTL_EDIT, IDC_TRIGGER_HEIGHT_MIN, "", WOX_WS_BORDER, 216, 60, 36, 14},
    {WOX_CTL_LTEXT, -1, "Max:", 0, 198, 90, 16, 8},
    {WOX_CTL_EDIT, IDC_TRIGGER_HEIGHT_MAX, "", WOX_WS_BORDER, 216, 90, 36, 14},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 50, 132, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 110, 132, 50, 14},
    {WOX_CTL_PUSHBUTTON, IDC_TRIGGER_HELP, "Help...", 0, 170, 132, 50, 14},
};

const SWoxDialogTemplate kDialogs[] = {
    {IDD_SCENARIO_EDITOR, "Scenario Editor", 454, 300, kFont, kPointSize, kScenarioEditor, static_cast<int>(std::size(kScenarioEditor))},
    {IDD_TREATMENT_TYPES, "Treatment Types", 196, 84, kFont, kPointSize, kTreatmentTypes, static_cast<int>(std::size(kTreatmentTypes))},
    {IDD_OPEN_SCENARIO, "Open Scenario", 256, 138, kFont, kPointSize, kOpenScenario, static_cast<int>(std::size(kOpenScenario))},
    {IDD_ABOUT, "About Scenario Editor", 196, 102, kFont, kPointSize, kAbout, static_cast<int>(std::size(kAbout))},
    {IDD_NEW_SCENARIO, "Enter new scenario information", 196, 114, kFont, kPointSize, kNewScenario, static_cast<int>(std::size(kNewScenario))},
    {IDD_END_YEAR, "Change End Year", 142, 60, kFont, kPointSize, kEndYear, static_cast<int>(std::size(kEndYear))},
    {IDD_TRT_SELECT, "Select the Treatments", 238, 122, kFont, kPointSize, kTrtSelect, static_cast<int>(std::size(kTrtSelect))},
    {IDD_YEAR_PARAM, "Specify Year Parameters", 170, 63, kFont, kPointSize, kYearParam, static_cast<int>(std::size(kYearParam))},
    {IDD_TRIGGERED, "Triggered Treatment Definition", 392, 249, kFont, kPointSize, kTriggered, static_cast<int>(std::size(kTriggered))},
    {IDD_SPECIES_ADD, "Dialog", 212, 130, kFont, kPointSize, kSpeciesAdd, static_cast<int>(std::size(kSpeciesAdd))},
    {IDD_TRIGGER_DEF, "Specify Treatment Trigger", 272, 153, kFont, kPointSize, kTriggerDef, static_cast<int>(std::size(kTriggerDef))},
};

const SWoxMenuItem kMenuNoFile[] = {
    {WOX_MF_POPUP, 0, "&File"},
    {WOX_MF_STRING, ID_FILE_NEW, "&New Scenario File"},
    {WOX_MF_STRING, ID_FILE_OPEN, "&Open Scenario File"},
    {WOX_MF_SEPARATOR, 0, nullptr},
    {WOX_MF_STRING, ID_FILE_EXIT, "&Exit"},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_POPUP, 0, "&Help"},
    {WOX_MF_GRAYED, ID_HELP_CONTENTS, "&Contents"},
    {WOX_MF_STRING, ID_HELP_ABOUT, "&About"},
    {WOX_MF_END, 0, nullptr},
};

const SWoxMenuItem kMenuFileOpen[] = {
    {WOX_MF_POPUP, 0, "&File"},
    {WOX_MF_STRING, ID_FILE_NEW_OPEN, "&New Scenario File..."},
    {WOX_MF_STRING, ID_FILE_OPEN, "&Open Scenario File..."},
    {WOX_MF_SEPARATOR, 0, nullptr},
    {WOX_MF_STRING, ID_FILE_SAVE, "&Save Scenario File"},
    {WOX_MF_STRING, ID_FILE_CLOSE, "&Close Scenario File"},
    {WOX_MF_SEPARATOR, 0, nullptr},
    {WOX_MF_STRING, ID_FILE_EXIT, "E&xit"},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_POPUP, 0, "&Commands"},
    {WOX_MF_POPUP, 0, "&Add Treatment"},
    {WOX_MF_STRING, ID_ADD_NORMAL, "Normal..."},
    {WOX_MF_STRING, ID_ADD_TRIGGERED, "Triggered..."},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_STRING, ID_DELETE_TREATMENT, "&Delete Treatment"},
    {WOX_MF_STRING, ID_MODIFY_TREATMENT, "&Modify Treatment..."},
    {WOX_MF_SEPARATOR, 0, nullptr},
    {WOX_MF_STRING, ID_CHANGE_END_YEAR, "&Change End Year..."},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_POPUP, 0, "&View"},
    {WOX_MF_POPUP, 0, "View By"},
    {WOX_MF_RADIOCHECK, ID_VIEW_BY_YEAR, "Year"},
    {WOX_MF_RADIOCHECK, ID_VIEW_BY_STAND, "Stand"},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_POPUP, 0, "View Type"},
    {WOX_MF_RADIOCHECK, ID_VIEW_TREE, "Tree"},
    {WOX_MF_RADIOCHECK, ID_VIEW_GRID, "Grid"},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_SEPARATOR, 0, nullptr},
    {WOX_MF_CHECKED, ID_VIEW_HIDE_UNTREATED, "Hide Untreated Stands"},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_POPUP, 0, "&Help"},
    {WOX_MF_GRAYED, ID_HELP_CONTENTS, "&Contents"},
    {WOX_MF_STRING, ID_HELP_ABOUT, "&About"},
    {WOX_MF_END, 0, nullptr},
};

const SWoxMenuItem kContextMenu[] = {
    {WOX_MF_POPUP, 0, "Add Treatment"},
    {WOX_MF_STRING, ID_ADD_NORMAL, "Normal..."},
    {WOX_MF_STRING, ID_ADD_TRIGGERED, "Triggered..."},
    {WOX_MF_END, 0, nullptr},
    {WOX_MF_STRING, ID_DELETE_TREATMENT, "Delete Treatment"},
    {WOX_MF_STRING, ID_MODIFY_TREATMENT, "Modify Treatment.."},
    {WOX_MF_SEPARATOR, 0, nullptr},
    {WOX_MF_STRING, ID_CHANGE_END_YEAR, "Change End Year..."},
};

const SWoxMenuTemplate kMenus[] = {
    {IDR_EDITOR_CONTEXT_MENU, kContextMenu, static_cast<int>(std::size(kContextMenu))},
    {IDR_EDITOR_MENU_NO_FILE, kMenuNoFile, static_cast<int>(std::size(kMenuNoFile))},
    {IDR_EDITOR_MENU_FILE_OPEN, kMenuFileOpen, static_cast<int>(std::size(kMenuFileOpen))},
};

const SWoxResourceTable kTable = {kDialogs, static_cast<int>(std::size(kDialogs)), kMenus, static_cast<int>(std::size(kMenus)),
                                  WoxDrawScenarioIcon};

} // namespace

void WoxUseScenarioResources()
{
    WoxRegisterResources(&kTable);
}

