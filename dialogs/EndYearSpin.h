#pragma once
// What the new-scenario and end-year dialogs share: an end-year edit with an up-down control that
// steps in whole simulation periods from the project's first year. User-interface thread only.

#include <string>

#include "SpinButtonCtrl.h"

// Years the spin reaches above the project's first year.
inline constexpr int WOX_END_YEAR_SPAN = 1000;

// Makes the edit the spin's buddy: base 10, range first year to first year + 1000, the position.
void WoxAttachEndYearSpin(CSpinButtonCtrl& spin, CWnd& edit, int nFirstYear, int nPos);

// A dialog's message: when it is the spin's UDN_DELTAPOS, turns the requested change into one
// period down (negative requests) or up (any other), allows it and answers true. A period length
// below 1 steps by one year.
bool WoxStepSpinByPeriod(UINT nMsg, WPARAM wParam, LPARAM lParam, int nPeriodLength, LRESULT* pResult);

// Removes the first comma of the edit's text, as the spin writes thousands separators.
void WoxDropFirstComma(CWnd& edit);

// The leading integer of the text (at most 256 characters), 0 without digits; values beyond the
// 32-bit range are held at its ends.
int WoxReadYear(const std::string& text);
