#pragma once
// Forest-level figures of a run per year, over all stands: each stand counts with its area, so a
// 40 ha stand weighs four times a 10 ha one. Means are area-weighted means; the 10 %, 50 % and
// 90 % figures are the values below which that share of the forest area lies. Totals (removed
// volume in m3) are per-hectare figures times area, summed over the forest.

#include <map>
#include <string>
#include <vector>

#include "Results.h"

// The spread of one stand value over the forest in one year.
struct SForestSpread
{
    double dMean = 0.0;
    double dP10 = 0.0;
    double dMedian = 0.0;
    double dP90 = 0.0;
};

struct SForestYear
{
    int nYear = 0;
    SForestSpread basalAreaBefore;   // m2/ha, before the year's treatments
    SForestSpread basalArea;         // m2/ha, after them
    double dStemsBefore = 0.0;       // per ha, area-weighted means
    double dStems = 0.0;
    double dVolumeBefore = 0.0;      // m3/ha standing before the treatments (area-weighted mean)
    double dVolume = 0.0;            // m3/ha standing after them
    double dRemovedVolume = 0.0;     // m3/ha removed by the year's treatments (area-weighted mean)
    double dRemovedVolumeTotal = 0.0;  // m3 removed over the forest
    double dArea = 0.0;              // ha of the stands counted
    int nTreatments = 0;
};

// One entry per year of the run, in year order, each stand weighted by its row's area. When no
// row carries an area (results made without a project) every stand counts as one hectare; when
// some do, a stand without area counts with none.
std::vector<SForestYear> ForestFigures(const SRunResults& results);

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
