#pragma once
// Species parameters of the growth model, one row per modelled species plus the two classes
// "other conifer" (2TN) and "other broadleaf" (2TB) that every other plant symbol falls to.
// Sources and units of every column are in README.md beside this file.

#include <cstddef>

// The height-age curve a species grows along.
enum ENSiteCurve : int
{
    SITE_CURVE_KING_1966,    // Douglas-fir, King (1966)
    SITE_CURVE_WILEY_1978,   // western hemlock, Wiley (1978)
    SITE_CURVE_GUIDE,        // anamorphic Chapman-Richards guide curve (dCurveRate, dCurveShape)
};

struct SSpeciesGrowth
{
    const char* pszCode;          // plant symbol, or 2TN / 2TB for the classes
    const char* pszName;
    bool bBroadleaf;
    ENSiteCurve nCurve;
    double dCurveRate;            // guide curve rate k, 1/year (guide curves only)
    double dCurveShape;           // guide curve shape c (guide curves only)
    double dSiteRatio;            // species site index per m of the stand's Douglas-fir site index
    double dYearsToBreastHeight;  // on a species site index of 35 m; 0.25 year more per m below
    double dTolerance;            // shade tolerance, 0 (very intolerant) .. 1 (very tolerant)
    double dDensityMax;           // maximum stand density index, stems/ha at 25.4 cm
    double dGrowthIntercept;      // intercept of the diameter increment equation
    double dCrownOpen;            // live crown ratio of an open-grown tree
    double dHeightScale;          // height-diameter curve: asymptote above 1.3 m per m of site index
    double dHeightCurvature;      // height-diameter curve: curvature, cm (negative)
    double dTaperB1;              // stem profile coefficients (squared relative diameter)
    double dTaperB2;
    double dBarkRatio;            // diameter inside bark per cm of diameter outside bark
};

// The row of a plant symbol (compared over the 10-character field); a symbol without a row of
// its own answers its class row (2TB for the broadleaf genera listed in README.md, else 2TN).
const SSpeciesGrowth& SpeciesGrowth(const char* pszCode);
// Whether the symbol has a row of its own (not a class).
bool IsModelledSpecies(const char* pszCode);
// Every row, the two class rows last.
const SSpeciesGrowth* SpeciesGrowthTable(size_t& nRows);
