#pragma once
// The stand growth model: a distance-independent tree-list model in one-year steps. Heights grow
// along the species' site-index curves, slowed by a short crown and by a low place in the canopy;
// diameters grow from tree size, crown ratio, site, the basal area in larger trees and the
// stand's density; density mortality keeps the stand below its species' maximum size-density line
// and strikes suppressed, shade-intolerant trees first. Formulas, parameters, units and sources
// are in README.md beside this file. Deterministic; called on one thread per tree list.
//
// The live crown ratio of each tree lives in SInventory::dCrownRatio; a value outside (0, 1]
// means "not measured" and is estimated before the first step.

#include <cstddef>
#include <vector>

#include "Containers.h"
#include "SpeciesParameters.h"

// What the model needs to know of a stand besides its trees.
struct SGrowthStand
{
    double dSiteIndex = 0.0;      // m, Douglas-fir site index (height at breast-height age 50)
    double dRemovedShare = 0.0;   // share of the basal area that treatments removed since the last growth
    int nYear = 0;                // calendar year the growth starts in (names ingrowth records)
};

class CGrowthModel
{
public:
    // Grows the trees by nYears one-year steps (none for nYears <= 0). Records are changed in
    // place; records whose stems die out keep 0 stems; ingrowth after a heavy thinning is appended.
    static void Grow(std::vector<SInventory>& trees, const SGrowthStand& stand, int nYears);

    // Height of a tree of this diameter on the species' height-diameter curve for the site, m.
    static double EstimateHeight(const char* pszSpecies, double dDbh, double dSiteIndex);

    // Gives every record with a missing height (0, negative or not a number) and a diameter a
    // height: from the curve, scaled to the stand's measured heights where at least three trees
    // have one. Answers how many heights were filled.
    static size_t FillMissingHeights(std::vector<SInventory>& trees, double dSiteIndex);

    // Gives every record whose crown ratio is not measured the crown ratio the stand's density
    // and the tree's rank imply.
    static void EstimateCrownRatios(std::vector<SInventory>& trees);

    // Height of nursery stock of a species and age at planting, m.
    static double NurseryHeight(const char* pszSpecies, double dSeedlingAge);
};
