// The progress window's template: what is being worked on, and the place of the bar (the window
// puts its bar there). No buttons: the work it shows ends by itself and cannot be abandoned
// half-done. Rectangles in dialog units.

#include "CommonControlResources.h"

#include <iterator>

#include "Resources.h"

namespace
{

const SWoxControlTemplate kProgress[] = {
    {WOX_CTL_LTEXT, IDC_WOX_PROGRESS_TEXT, "", 0, 7, 8, 206, 9},
    {WOX_CTL_LTEXT, IDC_WOX_PROGRESS_BAR, "", WOX_WS_HIDDEN, 7, 22, 206, 11},
};

const SWoxDialogTemplate kDialogs[] = {
    {IDD_WOX_PROGRESS, "Please Wait", 220, 42, nullptr, 9, kProgress, static_cast<int>(std::size(kProgress))},
};

const SWoxResourceTable kTable = {kDialogs, static_cast<int>(std::size(kDialogs)), nullptr, 0, nullptr};

} // namespace

void WoxUseCommonControlResources()
{
    WoxRegisterResources(&kTable);
}
