// The species selection dialog's template. Rectangles in dialog units (x, y, width, height).

#include "SpeciesSelectResources.h"

#include <iterator>

#include "Resources.h"

namespace
{

const SWoxControlTemplate kSpeciesSelect[] = {
    {WOX_CTL_LTEXT, -1, "Search:", 0, 7, 9, 30, 8},
    {WOX_CTL_EDIT, IDC_SPECIES_SEARCH, "", WOX_WS_BORDER, 40, 7, 227, 12},
    {WOX_CTL_LISTVIEW, IDC_SPECIES_LIST, "", WOX_LVS_SHOWSELALWAYS | WOX_WS_BORDER, 7, 24, 260, 128},
    {WOX_CTL_LTEXT, IDC_SPECIES_COUNT, "", 0, 7, 160, 148, 8},
    {WOX_CTL_DEFPUSHBUTTON, 1, "OK", 0, 163, 157, 50, 14},
    {WOX_CTL_PUSHBUTTON, 2, "Cancel", 0, 217, 157, 50, 14},
};

const SWoxDialogTemplate kDialogs[] = {
    {IDD_SPECIES_SELECT, "Select Species", 274, 178, nullptr, 9, kSpeciesSelect, static_cast<int>(std::size(kSpeciesSelect))},
};

const SWoxResourceTable kTable = {kDialogs, static_cast<int>(std::size(kDialogs)), nullptr, 0, nullptr};

} // namespace

void WoxUseSpeciesSelectResources()
{
    WoxRegisterResources(&kTable);
}
