#pragma once
// The species selection dialog's template and control ids, registered by the Species Map Library
// (WoxUseSpeciesSelectResources) before it shows the dialog.

enum : int
{
    IDD_SPECIES_SELECT = 30101,   // the Common Control Library holds 30001-30100
    IDC_SPECIES_SEARCH = 3001,
    IDC_SPECIES_LIST = 3002,
    IDC_SPECIES_COUNT = 3003,
};

// Registers the template with the user-interface layer; later calls change nothing.
void WoxUseSpeciesSelectResources();
