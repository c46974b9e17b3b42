#pragma once
// What a run tells before it starts and after it ends, besides its results: scenario records
// for stands the project does not have, and trigger conditions that could not be evaluated.

#include <string>
#include <utility>
#include <vector>

#include "Forest.h"
#include "ScenarioData.h"

// Scenario records whose stand the forest does not have.
struct SUnknownStandRecords
{
    size_t nRecords = 0;
    size_t nStands = 0;
    // Normal records of these stands due by the last treated year: the run would stop at the first.
    size_t nStopping = 0;
    // "N records of the scenario name M stands the project does not have: Z (3), Y (1)"; empty
    // when there are none.
    std::string line;
};
SUnknownStandRecords CountUnknownStandRecords(const SScenarioData& scenario, const CForest& forest, int nLastYear);

// Exit status of a run whose results were written but in which some trigger conditions could
// not be evaluated (their records were not applied there).
constexpr int kExitConditionsNotEvaluated = 3;

// The sources whose reports during a run mean that a condition could not be evaluated: the
// library manager (a function library missing or refused) and the function library itself (a
// function it does not have).
std::vector<std::string> ConditionFailureSources();

// One line per distinct failure with its count ("cannot load X: no such file (120 condition checks)").
std::vector<std::string> UnevaluatedConditionLines(const std::vector<std::pair<std::string, size_t>>& held);
