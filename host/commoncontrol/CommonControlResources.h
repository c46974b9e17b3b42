#pragma once
// The Common Control Library's dialog template and control ids, registered from the library
// (WoxUseCommonControlResources) before its dialog is shown.

enum : int
{
    IDD_WOX_PROGRESS = 30001,
    IDC_WOX_PROGRESS_TEXT = 3001,
    IDC_WOX_PROGRESS_BAR = 3002,
};

// Registers the template with the user-interface layer; later calls change nothing.
void WoxUseCommonControlResources();
