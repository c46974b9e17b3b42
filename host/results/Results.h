#pragma once
// The results of a simulation run: per stand and year the state after that year's treatments
// (and the basal area before them), and every applied treatment. Written as results.db (SQLite),
// stand_years.csv, treatments.csv and chart.png (basal area over time, mean and per stand, with
// the applied treatments marked).

#include <string>
#include <vector>

#include "Forest.h"
#include "TriggerChecks.h"

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
    bool bExplained = false;                        // a run with --explain: trigger checks are written
    std::vector<STriggerCheckRow> triggerChecks;
};

constexpr const char* kResultsDatabase = "results.db";
constexpr const char* kStandYearsFile = "stand_years.csv";
constexpr const char* kTreatmentsFile = "treatments.csv";
constexpr const char* kChartFile = "chart.png";
// Every file a results folder may hold; a run replaces them all.
inline const std::vector<std::string> kResultFiles = {kResultsDatabase, kStandYearsFile, kTreatmentsFile, kChartFile, kTriggerChecksFile};

// Fails, with one line in *pError, when WriteResults would refuse folder: it is not a folder,
// holds files other than results, or nothing can be created beside it. Nothing is left behind.
bool CheckResultsFolder(const std::string& folder, std::string* pError);

// Writes the whole results set into folder as one replace: the files are made in a private
// folder beside it and swapped in at the end, so that folder holds the earlier results or these,
// never a mix. A folder holding anything but results files is refused (nothing of the user's is
// swept away). The caller holds the folder's CFolderLock. Needs a Qt GUI application object for
// the chart (the offscreen platform is enough). False with one line in *pError.
bool WriteResults(const std::string& folder, const SRunResults& results, std::string* pError);

// The parts of WriteResults, each file written whole: the database and the CSV files into an
// existing folder, and the chart. A chart of values that are not finite numbers is refused.
bool WriteResultTables(const std::string& folder, const SRunResults& results, std::string* pError);
bool WriteResultChart(const std::string& path, const SRunResults& results, std::string* pError);

// The chart's value axis from 0: nTicks steps of dStep (1, 2 or 5 times a power of ten) up to
// dTop, covering dLargest with at most 8 steps.
struct SChartScale
{
    double dStep = 0.0;
    double dTop = 0.0;
    int nTicks = 0;
};
SChartScale ChartScale(double dLargest);
