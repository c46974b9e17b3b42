#pragma once
// A comparison of scenarios run from the same starting forest: per scenario the area-weighted mean
// basal area over time and the volume removed, cumulative. Written as compare.db (SQLite),
// compare.csv and compare.png.

#include <string>
#include <vector>

#include "Results.h"

constexpr const char* kCompareDatabase = "compare.db";
constexpr const char* kCompareTable = "compare.csv";
constexpr const char* kCompareChart = "compare.png";

// What one scenario did to the forest over the whole run. Volumes in m3 over the forest's area
// (m3/ha over stands of unknown area) and as area-weighted means in m3/ha.
struct SScenarioSummary
{
    std::string scenario;
    int nTreatments = 0;
    double dRemovedVolume = 0.0;        // m3, all years
    double dRemovedVolumeHa = 0.0;      // m3/ha
    int nFinalYear = 0;
    double dFinalVolume = 0.0;          // m3 standing in the last year
    double dFinalVolumeHa = 0.0;        // m3/ha
};
SScenarioSummary SummariseScenario(const SRunResults& run);

// Writes the three files into folder as one replace (see WriteResults); the caller holds the
// folder's CFolderLock. Needs a Qt application object for the chart. False with one line in *pError.
bool WriteComparison(const std::string& folder, const std::vector<SRunResults>& runs, std::string* pError);
