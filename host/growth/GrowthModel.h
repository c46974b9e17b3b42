#pragma once
// The stand growth model: deterministic yearly steps of diameter growth slowed by competition,
// height from a height-diameter curve and density-dependent mortality. Formulas, parameters and
// units are documented in README.md beside this file.

#include <string>
#include <vector>

#include "Containers.h"

struct SSpeciesGrowth
{
    const char* pszCode;
    double dGrowth;      // diameter increment of a free-growing tree on site index 30, cm/year
    double dBasalMax;    // basal area at which diameter growth stops, m2/ha
    double dHeightMax;   // asymptotic height on site index 30, m
    double dHeightRate;  // height-diameter curve rate, 1/cm
    double dHeightShape; // height-diameter curve shape
    double dDensityMax;  // maximum stand density index (stems/ha at 25.4 cm)
};

class CGrowthModel
{
public:
    // Parameters of a species code (plant symbol); a species without its own row uses the
    // default conifer or broadleaf row (codes starting with A, B, F, L, P(O|R), Q are broadleaf).
    static const SSpeciesGrowth& Parameters(const char* pszCode);
    static const std::vector<SSpeciesGrowth>& Table();

    // Height on the height-diameter curve, m (diameter cm, site index m at 50 years).
    static double CurveHeight(const SSpeciesGrowth& species, double dDbh, double dSiteIndex);

    // Grows the trees by nYears one-year steps; records are changed in place, none removed.
    static void Grow(std::vector<SInventory>& trees, double dSiteIndex, int nYears);
};
