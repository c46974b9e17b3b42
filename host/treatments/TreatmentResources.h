#pragma once
// The treatment components' dialog templates and control ids. Each component module registers
// them (WoxUseTreatmentResources) before it shows a dialog.

enum : int
{
    // Per parameter form: the dialog with years and stands (new normal treatments) and the one
    // with the treatment only (the treatment part of triggered treatments, and modifying).
    IDD_THIN_BELOW_NORMAL = 20001,
    IDD_THIN_BELOW_TREATMENT = 20002,
    IDD_THIN_ABOVE_NORMAL = 20003,
    IDD_THIN_ABOVE_TREATMENT = 20004,
    IDD_CLEARCUT_NORMAL = 20005,
    IDD_CLEARCUT_TREATMENT = 20006,
    IDD_PLANTING_NORMAL = 20007,
    IDD_PLANTING_TREATMENT = 20008,

    IDC_TREATMENT_NAME = 2001,
    IDC_TREATMENT_DESCRIPTION = 2002,
    IDC_TREATMENT_VALUE = 2003,        // residual basal area, or share removed
    IDC_TREATMENT_SPECIES = 2004,
    IDC_TREATMENT_STEMS = 2005,
    IDC_TREATMENT_HEIGHT = 2006,
    IDC_TREATMENT_YEARS = 2007,
    IDC_TREATMENT_STANDS = 2008,
};

// Registers the templates with the user-interface layer; later calls change nothing.
void WoxUseTreatmentResources();
