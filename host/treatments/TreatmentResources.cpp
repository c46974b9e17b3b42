// The treatment dialogs' templates. Rectangles in dialog units (x, y, width, height). Every
// dialog starts with the treatment's name and description and its parameter rows; the dialog for
// new normal treatments adds the years and stands to choose from.

#include "TreatmentResources.h"

#include <iterator>

#include "Resources.h"

namespace
{

constexpr const char* kFont = nullptr;
constexpr int kPointSize = 9;
constexpr uint32_t kEdit = WOX_WS_BORDER;
constexpr uint32_t kCheckList = WOX_LVS_EX_CHECKBOXES | WOX_LVS_NOCOLUMNHEADER | WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER;
// Height of the name and description rows.
constexpr int kTextRows = 39;
// Height of the years and stands lists with their labels.
constexpr int kSelectionRows = 128;
constexpr int kWidth = 276;

#define WOX_TREATMENT_TEXT_ROWS                                                                                    \
    {WOX_CTL_LTEXT, -1, "Name:", 0, 7, 9, 100, 8}, {WOX_CTL_EDIT, IDC_TREATMENT_NAME, "", kEdit, 110, 7, 160, 12}, \
        {WOX_CTL_LTEXT, -1, "Description:", 0, 7, 25, 100, 8}, {WOX_CTL_EDIT, IDC_TREATMENT_DESCRIPTION, "", kEdit, 110, 23, 160, 12}

#define WOX_TREATMENT_SELECTION_ROWS(y)                                                                          \
    {WOX_CTL_LTEXT, -1, "Years:", 0, 7, (y) + 6, 80, 8}, {WOX_CTL_LISTVIEW, IDC_TREATMENT_YEARS, "", kCheckList, 7, (y) + 16, 80, 104}, \
        {WOX_CTL_LTEXT, -1, "Stands:", 0, 94, (y) + 6, 100, 8},                                                  \
        {WOX_CTL_LISTVIEW, IDC_TREATMENT_STANDS, "", kCheckList, 94, (y) + 16, 176, 104}

#define WOX_TREATMENT_BUTTONS(y) {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 166, (y) + 6, 50, 14}, {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 220, (y) + 6, 50, 14}

// Parameter rows of each form and the height they end at.
#define WOX_THIN_BELOW_ROWS                                                                             \
    {WOX_CTL_LTEXT, -1, "Residual basal area (m²/ha):", 0, 7, 41, 100, 8},                              \
        {WOX_CTL_EDIT, IDC_TREATMENT_VALUE, "", kEdit, 110, 39, 50, 12},                                \
        {WOX_CTL_LTEXT, -1, "left after the thinning", 0, 166, 41, 104, 8}
#define WOX_THIN_ABOVE_ROWS                                                                             \
    {WOX_CTL_LTEXT, -1, "Basal area removed (%):", 0, 7, 41, 100, 8},                                   \
        {WOX_CTL_EDIT, IDC_TREATMENT_VALUE, "", kEdit, 110, 39, 50, 12},                                \
        {WOX_CTL_LTEXT, -1, "largest trees first", 0, 166, 41, 104, 8}
constexpr int kThinningRows = 55;
constexpr int kClearcutRows = kTextRows;
#define WOX_PLANTING_ROWS                                                                               \
    {WOX_CTL_LTEXT, -1, "Species:", 0, 7, 41, 100, 8},                                                  \
        {WOX_CTL_COMBOBOX, IDC_TREATMENT_SPECIES, "", 0, 110, 39, 160, 120},                            \
        {WOX_CTL_LTEXT, -1, "Stems per hectare:", 0, 7, 57, 100, 8},                                    \
        {WOX_CTL_EDIT, IDC_TREATMENT_STEMS, "", kEdit, 110, 55, 50, 12},                                \
        {WOX_CTL_LTEXT, -1, "Height (m):", 0, 7, 73, 100, 8},                                           \
        {WOX_CTL_EDIT, IDC_TREATMENT_HEIGHT, "", kEdit, 110, 71, 50, 12},                               \
        {WOX_CTL_LTEXT, -1, "0 = nursery height", 0, 166, 73, 104, 8}
constexpr int kPlantingRows = 87;

const SWoxControlTemplate kThinBelowNormal[] = {WOX_TREATMENT_TEXT_ROWS, WOX_THIN_BELOW_ROWS, WOX_TREATMENT_SELECTION_ROWS(kThinningRows),
                                                WOX_TREATMENT_BUTTONS(kThinningRows + kSelectionRows)};
const SWoxControlTemplate kThinBelowTreatment[] = {WOX_TREATMENT_TEXT_ROWS, WOX_THIN_BELOW_ROWS, WOX_TREATMENT_BUTTONS(kThinningRows)};
const SWoxControlTemplate kThinAboveNormal[] = {WOX_TREATMENT_TEXT_ROWS, WOX_THIN_ABOVE_ROWS, WOX_TREATMENT_SELECTION_ROWS(kThinningRows),
                                                WOX_TREATMENT_BUTTONS(kThinningRows + kSelectionRows)};
const SWoxControlTemplate kThinAboveTreatment[] = {WOX_TREATMENT_TEXT_ROWS, WOX_THIN_ABOVE_ROWS, WOX_TREATMENT_BUTTONS(kThinningRows)};
const SWoxControlTemplate kClearcutNormal[] = {WOX_TREATMENT_TEXT_ROWS, WOX_TREATMENT_SELECTION_ROWS(kClearcutRows),
                                               WOX_TREATMENT_BUTTONS(kClearcutRows + kSelectionRows)};
const SWoxControlTemplate kClearcutTreatment[] = {WOX_TREATMENT_TEXT_ROWS, WOX_TREATMENT_BUTTONS(kClearcutRows)};
const SWoxControlTemplate kPlantingNormal[] = {WOX_TREATMENT_TEXT_ROWS, WOX_PLANTING_ROWS, WOX_TREATMENT_SELECTION_ROWS(kPlantingRows),
                                               WOX_TREATMENT_BUTTONS(kPlantingRows + kSelectionRows)};
const SWoxControlTemplate kPlantingTreatment[] = {WOX_TREATMENT_TEXT_ROWS, WOX_PLANTING_ROWS, WOX_TREATMENT_BUTTONS(kPlantingRows)};

// Client height: the rows, the buttons and a margin.
constexpr int Height(int nRows) { return nRows + 27; }

#define WOX_DIALOG(id, caption, controls, rows) {id, caption, kWidth, Height(rows), kFont, kPointSize, controls, static_cast<int>(std::size(controls))}

const SWoxDialogTemplate kDialogs[] = {
    WOX_DIALOG(IDD_THIN_BELOW_NORMAL, "Thinning from below", kThinBelowNormal, kThinningRows + kSelectionRows),
    WOX_DIALOG(IDD_THIN_BELOW_TREATMENT, "Thinning from below", kThinBelowTreatment, kThinningRows),
    WOX_DIALOG(IDD_THIN_ABOVE_NORMAL, "Thinning from above", kThinAboveNormal, kThinningRows + kSelectionRows),
    WOX_DIALOG(IDD_THIN_ABOVE_TREATMENT, "Thinning from above", kThinAboveTreatment, kThinningRows),
    WOX_DIALOG(IDD_CLEARCUT_NORMAL, "Clearcut", kClearcutNormal, kClearcutRows + kSelectionRows),
    WOX_DIALOG(IDD_CLEARCUT_TREATMENT, "Clearcut", kClearcutTreatment, kClearcutRows),
    WOX_DIALOG(IDD_PLANTING_NORMAL, "Planting", kPlantingNormal, kPlantingRows + kSelectionRows),
    WOX_DIALOG(IDD_PLANTING_TREATMENT, "Planting", kPlantingTreatment, kPlantingRows),
};

const SWoxResourceTable kTable = {kDialogs, static_cast<int>(std::size(kDialogs)), nullptr, 0, nullptr};

} // namespace

void WoxUseTreatmentResources()
{
    WoxRegisterResources(&kTable);
}
