#pragma once
// Forest-level figures of a run per year, over all stands: each stand counts with its area, so a
// 40 ha stand weighs four times a 10 ha one. Means are area-weighted means; the 10 %, 50 % and
// 90 % figures are the values below which that share of the forest area lies.

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
    double dVolume = 0.0;            // m3/ha standing after the treatments (area-weighted mean)
    double dRemovedVolume = 0.0;     // m3/ha removed by the year's treatments (area-weighted mean)
    double dArea = 0.0;              // ha of the stands counted
    int nTreatments = 0;
};

// One entry per year of the run, in year order. Stands without a known area (results.areas empty)
// all count alike; a stand missing from a filled results.areas counts with no area at all.
std::vector<SForestYear> ForestFigures(const SRunResults& results);
