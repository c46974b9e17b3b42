#pragma once
// Forest-level figures of a run: every stand's per-hectare figure weighted by its area, so a
// 50 ha stand counts fifty times as much as a 1 ha one. Totals (removed volume) are m3 over the
// forest: per-hectare removal times area.

#include <map>
#include <string>
#include <vector>

#include "Results.h"

struct SForestYear
{
    int nYear = 0;
    double dArea = 0.0;              // ha measured in the year
    double dBasalAreaBefore = 0.0;   // m2/ha, area-weighted means
    double dBasalArea = 0.0;
    double dStemsBefore = 0.0;       // per ha
    double dStems = 0.0;
    double dVolumeBefore = 0.0;      // m3/ha
    double dVolume = 0.0;
    double dRemovedVolume = 0.0;     // m3, total
    int nTreatments = 0;
};

// One row per year of the stand rows, in year order; stands without area count as none.
std::vector<SForestYear> ForestYears(const SRunResults& results);

// Sums each species' basal area, stems and volume over the stands of a year, weighted by area.
// Called on the simulation's thread only.
class CSpeciesTally
{
public:
    void Add(int nYear, double dArea, const std::vector<SInventory>& trees);
    // Per hectare of dTotalArea, by year and species code.
    std::vector<SSpeciesYear> Rows(double dTotalArea) const;

private:
    struct SSums
    {
        double dBasalArea = 0.0, dStems = 0.0, dVolume = 0.0;
    };
    std::map<std::pair<int, std::string>, SSums> m_sums;
};
