#include "EditorViewText.h"

#include <cstdarg>
#include <cstdio>

#include "WoxText.h"

namespace
{
template <size_t N>
std::string FieldText(const char (&field)[N])
{
    return std::string(field, WoxTextLength(field, N));
}
} // namespace

SViewPath WoxViewPath(int nViewType, int nViewBy, int nYear, const char* pszStand)
{
    std::string year = std::to_string(nYear);
    std::string stand = pszStand ? pszStand : "";
    const bool bStandFirst = (nViewType == WOX_VIEW_TREE) == (nViewBy == WOX_VIEW_BY_STAND);
    return bStandFirst ? SViewPath{stand, year} : SViewPath{year, stand};
}

std::string WoxDisplayText(const char* pszFormat, ...)
{
    char szText[WOX_DISPLAY_TEXT + 1];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    return szText;
}

std::string WoxConditionText(const SScenarioTreatment& record)
{
    static const char* const kOperators[] = {" < ", " = ", " > "};
    std::string text;
    const int nTriggers = ScenarioTriggerCount(record);
    for (int i = 0; i < nTriggers && text.size() < WOX_DISPLAY_TEXT; ++i)
    {
        const SScenarioTriggerSpec& spec = record.triggers[i];
        if (i > 0)
            text += " AND ";
        text += FieldText(spec.szVariable);
        if (spec.nOperator >= 0 && spec.nOperator <= 2)
        {
            char szValue[64];
            std::snprintf(szValue, sizeof(szValue), "%.2lf", spec.dValue);
            text += kOperators[spec.nOperator];
            text += szValue;
        }
    }
    if (text.size() > WOX_DISPLAY_TEXT)
        text.resize(WOX_DISPLAY_TEXT);
    return text;
}

std::string WoxRecordStand(const SScenarioTreatment& record) { return FieldText(record.szStand); }
std::string WoxRecordName(const SScenarioTreatment& record) { return FieldText(record.treatment.szName); }
std::string WoxRecordDescription(const SScenarioTreatment& record) { return FieldText(record.treatment.szDescription); }
