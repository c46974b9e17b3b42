#pragma once
// What the editor's tasks show of a treatment record: the view-path keys of a (year, stand) pair
// for each view and view-by, the condition text of a triggered record, and the labels. Texts built
// for display hold at most 255 characters; record fields are read within their widths.

#include <string>

#include "ScenarioRecords.h"

inline constexpr int WOX_VIEW_TREE = 0;
inline constexpr int WOX_VIEW_GRID = 1;
inline constexpr int WOX_VIEW_BY_STAND = 0;
inline constexpr int WOX_VIEW_BY_YEAR = 1;
inline constexpr size_t WOX_DISPLAY_TEXT = 255;

// The two keys of the path to (year, stand): the tree puts the view-by key first, the grid puts
// it in the columns, so its row key (first) is the other one.
struct SViewPath
{
    std::string first;
    std::string second;
};
SViewPath WoxViewPath(int nViewType, int nViewBy, int nYear, const char* pszStand);

// The conditions of a triggered record, "variable < 1.00" and so on, joined with " AND ". An
// operator outside 0..2 leaves the variable name alone.
std::string WoxConditionText(const SScenarioTreatment& record);

// The record's stand, name and description as C strings.
std::string WoxRecordStand(const SScenarioTreatment& record);
std::string WoxRecordName(const SScenarioTreatment& record);
std::string WoxRecordDescription(const SScenarioTreatment& record);

// printf into a display text (at most 255 characters).
std::string WoxDisplayText(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));

// The years a record is shown in: its year, or for a triggered record every period from its year
// to its end year. Bounded so that a damaged record cannot flood a view.
inline constexpr int WOX_VIEW_MAX_PERIODS = 1000;
template <class F>
void WoxForEachShownYear(const SScenarioTreatment& record, int nPeriodLength, F&& show)
{
    if (!record.bTriggered)
    {
        show(record.nYear);
        return;
    }
    const int nStep = nPeriodLength > 0 ? nPeriodLength : 1;
    int nShown = 0;
    for (long long nYear = record.nYear; nYear <= record.nEndYear && nShown < WOX_VIEW_MAX_PERIODS; nYear += nStep, ++nShown)
    {
        if (!show(static_cast<int>(nYear)))
            return;
    }
}
