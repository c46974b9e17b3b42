#pragma once
// Ids of the dialog, menu and icon templates and of the controls they hold.

enum : int
{
    IDI_SCENARIO_EDITOR = 5035,   // the component's icon

    IDD_TREATMENT_TYPES = 10023,
    IDD_OPEN_SCENARIO = 10025,
    IDD_ABOUT = 10027,

    IDC_OPEN_SCENARIO_LIST = 5005,
    IDC_TREATMENT_TYPE_LIST = 5005,

    // New scenario and end-year dialogs.
    IDD_NEW_SCENARIO = 10022,
    IDD_END_YEAR = 10026,
    IDC_SCENARIO_NAME = 5001,
    IDC_SCENARIO_DESCRIPTION = 5002,
    IDC_END_YEAR = 5003,
    IDC_END_YEAR_SPIN = 5004,

    // Treatment selection dialog.
    IDD_TRT_SELECT = 10024,
    IDC_TRT_SELECT_LIST = 5005,

    // Year parameters dialog.
    IDD_YEAR_PARAM = 5039,
    IDC_START_YEAR_LIST = 5036,
    IDC_END_YEAR_LIST = 5037,

    // The Scenario Editor window: its tree and grid views on the same spot.
    IDD_SCENARIO_EDITOR = 10021,
    IDC_EDITOR_TREE = 5000,
    IDC_EDITOR_GRID = 5005,

    // The Scenario Editor's menus: without a file, and with a file open.
    IDR_EDITOR_MENU_NO_FILE = 5028,
    IDR_EDITOR_MENU_FILE_OPEN = 5001,
    IDR_EDITOR_CONTEXT_MENU = 5040,   // the pop-up menu over the views

    ID_FILE_NEW = 5018,
    ID_FILE_NEW_OPEN = 5029,
    ID_FILE_OPEN = 5002,
    ID_FILE_SAVE = 5030,
    ID_FILE_CLOSE = 5003,
    ID_FILE_EXIT = 5011,
    ID_ADD_NORMAL = 32771,
    ID_ADD_TRIGGERED = 32772,
    ID_DELETE_TREATMENT = 5013,
    ID_MODIFY_TREATMENT = 5014,
    ID_CHANGE_END_YEAR = 5015,
    ID_VIEW_BY_YEAR = 5025,
    ID_VIEW_BY_STAND = 5026,
    ID_VIEW_TREE = 5022,
    ID_VIEW_GRID = 5023,
    ID_VIEW_HIDE_UNTREATED = 5020,
    ID_HELP_CONTENTS = 5016,
    ID_HELP_ABOUT = 5017,
};
