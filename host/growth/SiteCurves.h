#pragma once
// Height-age curves of dominant trees: height in m over age in years for a species site index
// (m at breast-height age 50). Ages are breast-height ages unless named total ages; a tree
// reaches breast height (1.3 m) at the species' years to breast height and grows in height
// linearly until then. Formulas and sources are in README.md beside this file.

#include "SpeciesParameters.h"

constexpr double kBreastHeight = 1.3;      // m
constexpr double kSiteIndexMin = 10.0;     // m, range of the stand site index the model accepts
constexpr double kSiteIndexMax = 50.0;

// The species' own site index on a stand of the given Douglas-fir site index (clamped to the
// accepted range first).
double SpeciesSiteIndex(const SSpeciesGrowth& species, double dStandSiteIndex);

// The stand (Douglas-fir) site index of land where a site species reaches dSiteIndex m at
// breast-height age dBaseAge; not a number where no site index in the accepted range fits.
double StandSiteIndex(const SSpeciesGrowth& siteSpecies, double dSiteIndex, double dBaseAge);

// Years from germination to breast height on the species site index.
double YearsToBreastHeight(const SSpeciesGrowth& species, double dSiteIndex);

// Height at a breast-height age (1.3 m at age 0).
double SiteCurveHeight(const SSpeciesGrowth& species, double dSiteIndex, double dBreastHeightAge);

// Height at a total age from germination.
double TotalAgeHeight(const SSpeciesGrowth& species, double dSiteIndex, double dTotalAge);

// The total age at which a dominant tree has the given height (the tree's growth-effective age);
// infinity where the height is at or above the curve's asymptote.
double EffectiveTotalAge(const SSpeciesGrowth& species, double dSiteIndex, double dHeight);
