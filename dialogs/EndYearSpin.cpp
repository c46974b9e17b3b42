#include "EndYearSpin.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "ResourceIds.h"

void WoxAttachEndYearSpin(CSpinButtonCtrl& spin, CWnd& edit, int nFirstYear, int nPos)
{
    spin.SetBuddy(&edit);
    spin.SetBase(10);
    spin.SetRange32(nFirstYear, static_cast<int>(std::min<long long>(static_cast<long long>(nFirstYear) + WOX_END_YEAR_SPAN, INT32_MAX)));
    spin.SetPos32(nPos);
}

bool WoxStepSpinByPeriod(UINT nMsg, WPARAM wParam, LPARAM lParam, int nPeriodLength, LRESULT* pResult)
{
    if (nMsg != WM_NOTIFY || wParam != static_cast<WPARAM>(IDC_END_YEAR_SPIN) || !lParam)
        return false;
    auto* pChange = reinterpret_cast<NMUPDOWN*>(lParam);
    if (pChange->hdr.code != UDN_DELTAPOS)
        return false;
    const int nStep = std::max(nPeriodLength, 1);
    pChange->iDelta = pChange->iDelta < 0 ? -nStep : nStep;
    *pResult = 0;
    return true;
}

void WoxDropFirstComma(CWnd& edit)
{
    std::string text = edit.GetWindowText();
    const size_t nComma = text.find(',');
    if (nComma == std::string::npos)
        return;
    text.erase(nComma, 1);
    edit.SetWindowText(text.c_str());
}

int WoxReadYear(const std::string& text)
{
    const std::string head = text.substr(0, 256);
    // strtoll saturates at its own range, far beyond 32 bits, so clamping it is exact.
    const long long nValue = std::strtoll(head.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(nValue, INT32_MIN, INT32_MAX));
}
