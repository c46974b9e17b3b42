#pragma once
// The results of a simulation run: per stand and year the state after that year's treatments
// (and the basal area before them), and every applied treatment. Written as results.db (SQLite),
// stand_years.csv, treatments.csv and chart.png (basal area over time, mean and per stand, with
// the applied treatments marked).

#include <string>
#include <vector>

#include "Forest.h"

struct SStandYear
{
    int nYear = 0;
    std::string stand;
    double dBasalAreaBefore = 0.0;  // m2/ha, before the year's treatments
    double dBasalArea = 0.0;        // m2/ha
    double dStems = 0.0;            // per ha
    double dQmd = 0.0;              // cm
    double dTopHeight = 0.0;        // m
    double dVolume = 0.0;           // m3/ha
    double dRemovedStems = 0.0;     // per ha, by the year's treatments
    double dRemovedVolume = 0.0;    // m3/ha
};

struct SRunResults
{
    std::string project;
    std::string scenario;
    std::vector<SStandYear> standYears;
    std::vector<SAppliedTreatment> treatments;
};

// Writes the database and the CSV files into folder (created if needed; earlier results there
// are replaced). False with *pError on failure.
bool WriteResultTables(const std::string& folder, const SRunResults& results, std::string* pError);

// Draws chart.png (needs a Qt GUI application object; the offscreen platform is enough).
bool WriteResultChart(const std::string& path, const SRunResults& results, std::string* pError);
