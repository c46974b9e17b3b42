#include "RunChecks.h"

#include <map>

#include "WoxText.h"

SUnknownStandRecords CountUnknownStandRecords(const SScenarioData& scenario, const CForest& forest, int nLastYear)
{
    SUnknownStandRecords found;
    std::map<std::string, size_t> stands;
    for (int i = 0, n = scenario.pTreatments ? scenario.pTreatments->GetSize() : 0; i < n; ++i)
    {
        auto* pRecord = static_cast<const SScenarioTreatment*>(scenario.pTreatments->GetAt(i, 0));
        if (!pRecord || forest.FindStand(pRecord->szStand) >= 0)
            continue;
        char szStand[sizeof pRecord->szStand + 1];
        WoxFieldToString(szStand, sizeof szStand, pRecord->szStand, sizeof pRecord->szStand);
        ++stands[szStand];
        ++found.nRecords;
        if (!pRecord->bTriggered && pRecord->nYear <= nLastYear)
            ++found.nStopping;
    }
    found.nStands = stands.size();
    if (found.nRecords == 0)
        return found;
    found.line = std::to_string(found.nRecords) + (found.nRecords == 1 ? " record" : " records") + " of the scenario name " +
                 std::to_string(found.nStands) + (found.nStands == 1 ? " stand" : " stands") + " the project does not have: ";
    size_t nShown = 0;
    for (const auto& [stand, nCount] : stands)
    {
        if (nShown++ == 10)
        {
            found.line += ", ...";
            break;
        }
        found.line += (nShown > 1 ? ", " : "") + stand + " (" + std::to_string(nCount) + ")";
    }
    return found;
}

std::vector<std::string> ConditionFailureSources() { return {"library manager", "stand variables"}; }

std::vector<std::string> UnevaluatedConditionLines(const std::vector<std::pair<std::string, size_t>>& held)
{
    std::vector<std::string> lines;
    for (const auto& [line, nCount] : held)
        lines.push_back(line + " (" + std::to_string(nCount) + (nCount == 1 ? " condition check)" : " condition checks)"));
    return lines;
}
