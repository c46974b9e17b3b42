#pragma once
// The results of a simulation run: per stand and year the state before and after that year's
// treatments, for each species and year the area-weighted forest figures, and every applied
// treatment. Written as results.db (SQLite), stand_years.csv, species_years.csv, treatments.csv
// and chart.png (basal area over time per stand, or its spread over the forest for many stands,
// with the applied treatments marked; standing and removed volume); a run with a tree list
// streams tree_list.csv into the same folder.

#include <map>
#include <string>
#include <utility>
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
    double dStemsBefore = 0.0;      // per ha, before the year's treatments
    double dVolumeBefore = 0.0;     // m3/ha, before the year's treatments
    double dArea = 0.0;             // ha, the stand's area (weights the forest figures)
};

// One species in one year over the whole forest, after the year's treatments: per hectare of
// the forest's total area (each stand's figure weighted by its area).
struct SSpeciesYear
{
    int nYear = 0;
    std::string species;
    double dBasalArea = 0.0;   // m2/ha
    double dStems = 0.0;       // per ha
    double dVolume = 0.0;      // m3/ha
};

struct SRunResults
{
    std::string project;
    std::string scenario;
    std::vector<SStandYear> standYears;
    std::vector<SSpeciesYear> speciesYears;
    std::vector<SAppliedTreatment> treatments;
    // Trigger conditions that could not be evaluated: "source: reason" and how many checks failed so.
    std::vector<std::pair<std::string, size_t>> unevaluated;
    bool bExplained = false;                        // a run with --explain: trigger checks are written
    std::vector<STriggerCheckRow> triggerChecks;
};

constexpr const char* kResultsDatabase = "results.db";
constexpr const char* kStandYearsFile = "stand_years.csv";
constexpr const char* kTreatmentsFile = "treatments.csv";
constexpr const char* kSpeciesYearsFile = "species_years.csv";
constexpr const char* kTreeListFile = "tree_list.csv";
constexpr const char* kChartFile = "chart.png";
// Every file a results folder may hold; a run replaces them all.
inline const std::vector<std::string> kResultFiles = {kResultsDatabase, kStandYearsFile, kSpeciesYearsFile, kTreatmentsFile,
                                                      kChartFile, kTreeListFile, kTriggerChecksFile};

// Writes the whole results set into folder as one replace: the files are made in a private
// folder beside it and swapped in at the end, so that folder holds the earlier results or these,
// never a mix. A folder holding anything but results files is refused (nothing of the user's is
// swept away). The caller holds the folder's CFolderLock. Needs a QApplication object for the
// chart (the offscreen platform is enough). False with one line in *pError.
bool WriteResults(const std::string& folder, const SRunResults& results, std::string* pError);

// WriteResults in two steps, for runs that stream files (the tree list) into the new content
// while they run: OpenResults makes the private folder (out.Path()), CommitResults writes the
// tables and the chart into it and swaps it in.
class CAtomicFolder;
bool OpenResults(CAtomicFolder& out, const std::string& folder, std::string* pError);
bool CommitResults(CAtomicFolder& out, const SRunResults& results, std::string* pError);

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
// The years between ticks of a year axis through these years (ascending): a multiple of the
// shortest gap between them, so that at most 12 ticks stand on the axis.
int ChartYearStep(const std::vector<int>& years);
