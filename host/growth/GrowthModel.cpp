#include "GrowthModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "SiteCurves.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kLogReferenceDbh = 3.2347491740244907;   // ln 25.4 (cm), stand density index reference diameter
constexpr double kReinekeSlope = 1.605;
constexpr double kTopHeightStems = 100.0;     // per ha
constexpr double kMinStems = 0.01;            // per ha; records below die out

// Crown ratio.
constexpr double kCrownMin = 0.05;
// Diameter increment: ln(dds) = b0 + ln d + kSize d^2 + kCrown ln cr + ln(S/35) + kLarger bal/ln(d+1) + kDensity rd.
constexpr double kSize = -0.00006;
constexpr double kCrown = 0.8;
constexpr double kLarger = -0.04;
constexpr double kDensity = -1.0;
// Mortality.
constexpr double kBackground = 0.002;         // per year
constexpr double kWeakCrown = 0.15;           // crown ratio below which background mortality rises
constexpr double kWeakCrownMortality = 0.03;  // per year at crown ratio 0
constexpr double kThinningOnset = 0.55;       // relative density where density mortality starts
constexpr double kThinningSpan = 0.10;        // the stand approaches onset + span
constexpr double kMaxYearlyMortality = 0.95;
// Ingrowth after heavy thinning.
constexpr double kHeavyThinning = 0.40;       // share of basal area removed
constexpr double kSeedTreeBasalArea = 4.0;    // m2/ha left standing
constexpr int kIngrowthRecords = 5;

double StemBasalArea(double dDbh) { return kPi / 4.0 * (dDbh / 100.0) * (dDbh / 100.0); }
// Density index of one stem from the logarithm of its diameter (0 without a diameter).
double StemDensity(double dDbh, double dLogDbh)
{
    return dDbh > 0.0 ? std::exp(kReinekeSlope * (dLogDbh - kLogReferenceDbh)) : 0.0;
}
bool Alive(const SInventory& tree) { return tree.dTpha > 0.0 && std::isfinite(tree.dTpha); }
bool CrownMeasured(double dCrownRatio) { return dCrownRatio > 0.0 && dCrownRatio <= 1.0; }

// Per-record data that stays fixed for a stand's growth.
struct STreeSite
{
    const SSpeciesGrowth* pSpecies;
    double dSiteIndex;    // species site index, m
    double dSiteTerm;     // ln(S / 35)
};

// The stand as one step sees it: density, canopy and each tree's place in it.
struct SCanopy
{
    double dBasalArea = 0.0;
    double dRelativeDensity = 0.0;
    double dDensityMax = 1470.0;
    double dTopHeight = 0.0;
    std::vector<size_t> order;     // largest diameter (then tallest) first
    std::vector<double> larger;    // basal area in larger trees per record, m2/ha
    std::vector<double> logDbh;    // ln of each record's diameter, kept current by the step
    std::vector<double> density;   // density index of one stem per record, kept current by the step
};

void MeasureDensities(const std::vector<SInventory>& trees, SCanopy& canopy)
{
    canopy.logDbh.resize(trees.size());
    canopy.density.resize(trees.size());
    for (size_t i = 0; i < trees.size(); ++i)
    {
        canopy.logDbh[i] = trees[i].dDbh > 0.0 ? std::log(trees[i].dDbh) : 0.0;
        canopy.density[i] = StemDensity(trees[i].dDbh, canopy.logDbh[i]);
    }
}

void MeasureCanopy(const std::vector<SInventory>& trees, const std::vector<STreeSite>& sites, SCanopy& canopy)
{
    double dDensity = 0.0, dWeightedMax = 0.0, dStems = 0.0, dStemWeightedMax = 0.0;
    canopy.dBasalArea = 0.0;
    canopy.order.clear();
    for (size_t i = 0; i < trees.size(); ++i)
    {
        const SInventory& tree = trees[i];
        if (!Alive(tree))
            continue;
        const double dBasal = tree.dTpha * StemBasalArea(tree.dDbh);
        canopy.dBasalArea += dBasal;
        dDensity += tree.dTpha * canopy.density[i];
        dWeightedMax += dBasal * sites[i].pSpecies->dDensityMax;
        dStems += tree.dTpha;
        dStemWeightedMax += tree.dTpha * sites[i].pSpecies->dDensityMax;
        canopy.order.push_back(i);
    }
    canopy.dDensityMax = canopy.dBasalArea > 0.0 ? dWeightedMax / canopy.dBasalArea : dStems > 0.0 ? dStemWeightedMax / dStems : 1470.0;
    canopy.dRelativeDensity = dDensity / canopy.dDensityMax;
    std::sort(canopy.order.begin(), canopy.order.end(), [&](size_t a, size_t b) {
        if (trees[a].dDbh != trees[b].dDbh)
            return trees[a].dDbh > trees[b].dDbh;
        if (trees[a].dHeight != trees[b].dHeight)
            return trees[a].dHeight > trees[b].dHeight;
        return a < b;
    });
    canopy.larger.assign(trees.size(), 0.0);
    // Basal area in strictly larger trees: records of one diameter share one rank.
    double dLarger = 0.0, dTied = 0.0, dTopStems = 0.0, dTopSum = 0.0;
    double dTiedDbh = -1.0;
    for (size_t i : canopy.order)
    {
        const SInventory& tree = trees[i];
        if (tree.dDbh != dTiedDbh)
        {
            dLarger += dTied;
            dTied = 0.0;
            dTiedDbh = tree.dDbh;
        }
        canopy.larger[i] = dLarger;
        dTied += tree.dTpha * StemBasalArea(tree.dDbh);
        if (dTopStems < kTopHeightStems)
        {
            const double dTake = std::min(tree.dTpha, kTopHeightStems - dTopStems);
            dTopSum += dTake * tree.dHeight;
            dTopStems += dTake;
        }
    }
    canopy.dTopHeight = dTopStems > 0.0 ? dTopSum / dTopStems : 0.0;
}

double RelativeHeight(const SInventory& tree, const SCanopy& canopy)
{
    return canopy.dTopHeight > 0.0 ? std::min(1.0, std::max(0.0, tree.dHeight) / canopy.dTopHeight) : 1.0;
}

// The crown ratio a tree settles at: full in the open, shorter with density and with a low place
// in the canopy, less so for shade-tolerant species.
double TargetCrownRatio(const SSpeciesGrowth& species, double dRelativeDensity, double dRelativeHeight)
{
    const double dRate = 2.6 - species.dTolerance;
    return kCrownMin + (species.dCrownOpen - kCrownMin) * std::exp(-dRate * dRelativeDensity * (1.6 - dRelativeHeight));
}

// Share of the curve's height growth a tree achieves.
double HeightGrowthShare(const SSpeciesGrowth& species, double dCrownRatio, double dRelativeHeight, double dRelativeDensity)
{
    // Crowns of 0.36 and more (three times the scale) give the full rate.
    const double dCrown = dCrownRatio >= 0.36 ? 1.0 : std::min(1.0, (1.0 - std::exp(-dCrownRatio / 0.12)) / (1.0 - std::exp(-3.0)));
    const double dFloor = 0.15 + 0.45 * species.dTolerance;
    const double dShade = std::min(1.0, dFloor + (1.0 - dFloor) * dRelativeHeight / 0.8);
    const double dClosure = std::min(1.0, dRelativeDensity / 0.5);
    return dCrown * (1.0 - dClosure * (1.0 - dShade));
}

// Diameter after one year, cm outside bark (dLogDbh = ln of the diameter).
double GrowDiameter(const SInventory& tree, double dLogDbh, const STreeSite& site, double dLarger, double dRelativeDensity, double dCrownRatio)
{
    const double d = tree.dDbh;
    const double dLog = site.pSpecies->dGrowthIntercept + dLogDbh + kSize * d * d + kCrown * std::log(dCrownRatio) + site.dSiteTerm +
                        kLarger * dLarger / std::log(d + 1.0) + kDensity * dRelativeDensity;
    return std::sqrt(d * d + std::exp(dLog));
}

// Density mortality: removes stems until the stand's density index is down to what the
// self-thinning approach allows, weighted towards small, suppressed, shade-intolerant trees.
// weights is scratch space kept across calls.
void ThinByDensity(std::vector<SInventory>& trees, const std::vector<STreeSite>& sites, const SCanopy& canopy, std::vector<double>& weights)
{
    const std::vector<double>& densities = canopy.density;
    double dDensity = 0.0;
    for (size_t i : canopy.order)
        dDensity += trees[i].dTpha * densities[i];
    const double dExcess = dDensity / canopy.dDensityMax - kThinningOnset;
    if (!(dExcess > 0.0))
        return;
    const double dAllowed = canopy.dDensityMax * (kThinningOnset + kThinningSpan * (1.0 - std::exp(-dExcess / kThinningSpan)));
    double dRemove = dDensity - dAllowed;
    weights.assign(trees.size(), 0.0);
    for (size_t i : canopy.order)
    {
        const double dRank = canopy.dBasalArea > 0.0 ? canopy.larger[i] / canopy.dBasalArea : 0.0;
        weights[i] = (1.6 - 1.2 * sites[i].pSpecies->dTolerance) * (0.02 + dRank * dRank);
    }
    // Shares proportional to the weights; records that would lose more than the yearly cap are
    // capped and the rest shared again among the others.
    for (int nRound = 0; nRound < 4 && dRemove > 1e-9; ++nRound)
    {
        double dWeighted = 0.0;
        for (size_t i : canopy.order)
            dWeighted += trees[i].dTpha * weights[i] * densities[i];
        if (!(dWeighted > 0.0))
            break;
        const double dScale = dRemove / dWeighted;
        for (size_t i : canopy.order)
        {
            SInventory& tree = trees[i];
            if (!(weights[i] > 0.0))
                continue;
            const double dShare = std::min(kMaxYearlyMortality, dScale * weights[i]);
            dRemove -= tree.dTpha * dShare * densities[i];
            tree.dTpha *= 1.0 - dShare;
            if (dShare >= kMaxYearlyMortality)
                weights[i] = 0.0;
        }
    }
}

// After a heavy thinning that left seed trees, an understory of the most shade-tolerant species
// present establishes.
void AddIngrowth(std::vector<SInventory>& trees, const std::vector<STreeSite>& sites, const SGrowthStand& stand)
{
    if (!(stand.dRemovedShare >= kHeavyThinning) || trees.empty())
        return;
    double dBasalArea = 0.0;
    const SInventory* pSeed = nullptr;
    double dSeedBasal = 0.0;
    for (size_t i = 0; i < trees.size(); ++i)
    {
        if (!Alive(trees[i]))
            continue;
        const double dBasal = trees[i].dTpha * StemBasalArea(trees[i].dDbh);
        dBasalArea += dBasal;
        const double dTolerance = sites[i].pSpecies->dTolerance;
        const double dBest = pSeed ? SpeciesGrowth(pSeed->szSpecies).dTolerance : -1.0;
        if (dTolerance > dBest || (dTolerance == dBest && dBasal > dSeedBasal))
        {
            pSeed = &trees[i];
            dSeedBasal = dBasal;
        }
    }
    if (!pSeed || dBasalArea < kSeedTreeBasalArea)
        return;
    const double dStems = std::min(800.0, 200.0 + 1000.0 * (std::min(stand.dRemovedShare, 1.0) - kHeavyThinning));
    SInventory seedling = {};
    std::memcpy(seedling.szStand, pSeed->szStand, sizeof seedling.szStand);
    std::memcpy(seedling.szSpecies, pSeed->szSpecies, sizeof seedling.szSpecies);
    seedling.nYear = stand.nYear;
    seedling.dTpha = dStems / kIngrowthRecords;
    seedling.dCrownRatio = 0.9;
    for (int k = 0; k < kIngrowthRecords; ++k)
    {
        std::snprintf(seedling.szTree, sizeof seedling.szTree, "I%d-%d", stand.nYear, k + 1);
        seedling.dHeight = 0.2 + 0.05 * k;
        trees.push_back(seedling);
    }
}

std::vector<STreeSite> TreeSites(const std::vector<SInventory>& trees, double dStandSiteIndex)
{
    std::vector<STreeSite> sites(trees.size());
    for (size_t i = 0; i < trees.size(); ++i)
    {
        const SSpeciesGrowth& species = SpeciesGrowth(trees[i].szSpecies);
        const double dSiteIndex = SpeciesSiteIndex(species, dStandSiteIndex);
        sites[i] = {&species, dSiteIndex, std::log(dSiteIndex / 35.0)};
    }
    return sites;
}

void SetUnmeasuredCrowns(std::vector<SInventory>& trees, const std::vector<STreeSite>& sites, const SCanopy& canopy)
{
    for (size_t i = 0; i < trees.size(); ++i)
        if (!CrownMeasured(trees[i].dCrownRatio))
            trees[i].dCrownRatio = TargetCrownRatio(*sites[i].pSpecies, canopy.dRelativeDensity, RelativeHeight(trees[i], canopy));
}

// Replaces diameters and heights that are negative or not numbers by 0 so that no step grows them.
void Sanitise(std::vector<SInventory>& trees)
{
    for (SInventory& tree : trees)
    {
        if (!(tree.dDbh >= 0.0) || !std::isfinite(tree.dDbh))
            tree.dDbh = 0.0;
        if (!(tree.dHeight >= 0.0) || !std::isfinite(tree.dHeight))
            tree.dHeight = 0.0;
        if (!Alive(tree))
            tree.dTpha = 0.0;
    }
}
}

void CGrowthModel::Grow(std::vector<SInventory>& trees, const SGrowthStand& stand, int nYears)
{
    if (nYears <= 0)
        return;
    Sanitise(trees);
    std::vector<STreeSite> sites = TreeSites(trees, stand.dSiteIndex);
    AddIngrowth(trees, sites, stand);
    if (trees.size() != sites.size())
        sites = TreeSites(trees, stand.dSiteIndex);
    SCanopy canopy;
    std::vector<double> weights;
    MeasureDensities(trees, canopy);
    MeasureCanopy(trees, sites, canopy);
    SetUnmeasuredCrowns(trees, sites, canopy);
    for (int nYear = 0; nYear < nYears; ++nYear)
    {
        if (nYear > 0)
            MeasureCanopy(trees, sites, canopy);
        for (size_t i : canopy.order)
        {
            SInventory& tree = trees[i];
            const STreeSite& site = sites[i];
            const SSpeciesGrowth& species = *site.pSpecies;
            const double dRelativeHeight = RelativeHeight(tree, canopy);
            const double dCrown = tree.dCrownRatio;

            const double dAge = EffectiveTotalAge(species, site.dSiteIndex, tree.dHeight);
            const double dNext = std::isfinite(dAge) ? TotalAgeHeight(species, site.dSiteIndex, dAge + 1.0) : tree.dHeight;
            const double dPotential = dNext > tree.dHeight ? dNext - tree.dHeight : 0.0;
            const double dHeightGrowth = dPotential * HeightGrowthShare(species, dCrown, dRelativeHeight, canopy.dRelativeDensity);
            const double dOldHeight = tree.dHeight;
            tree.dHeight += dHeightGrowth;

            if (tree.dDbh > 0.0)
                tree.dDbh = GrowDiameter(tree, canopy.logDbh[i], site, canopy.larger[i], canopy.dRelativeDensity, dCrown);
            else if (tree.dHeight > kBreastHeight)
                tree.dDbh = std::max(0.1, tree.dHeight - kBreastHeight);
            if (tree.dDbh > 0.0)
            {
                canopy.logDbh[i] = std::log(tree.dDbh);
                canopy.density[i] = StemDensity(tree.dDbh, canopy.logDbh[i]);
            }

            // The crown base never sinks: a crown lengthens at most by the height growth.
            const double dTarget = TargetCrownRatio(species, canopy.dRelativeDensity, dRelativeHeight);
            if (tree.dHeight > 0.0)
                tree.dCrownRatio = dTarget < dCrown ? dTarget : std::min(dTarget, (dCrown * dOldHeight + dHeightGrowth) / tree.dHeight);

            const double dWeak = std::max(0.0, kWeakCrown - tree.dCrownRatio) / kWeakCrown;
            tree.dTpha *= 1.0 - (kBackground + kWeakCrownMortality * dWeak);
        }
        ThinByDensity(trees, sites, canopy, weights);
        for (SInventory& tree : trees)
            if (tree.dTpha < kMinStems)
                tree.dTpha = 0.0;
    }
}

double CGrowthModel::EstimateHeight(const char* pszSpecies, double dDbh, double dSiteIndex)
{
    if (!(dDbh > 0.0) || !std::isfinite(dDbh))
        return 0.0;
    const SSpeciesGrowth& species = SpeciesGrowth(pszSpecies);
    const double dAsymptote = species.dHeightScale * SpeciesSiteIndex(species, dSiteIndex);
    return kBreastHeight + dAsymptote * std::exp(species.dHeightCurvature / (dDbh + 2.54));
}

size_t CGrowthModel::FillMissingHeights(std::vector<SInventory>& trees, double dSiteIndex)
{
    auto missing = [](const SInventory& tree) {
        return !(tree.dHeight > 0.0 && std::isfinite(tree.dHeight)) && tree.dDbh > 0.0 && std::isfinite(tree.dDbh);
    };
    // Most inventories measure every height: then no curve need be evaluated at all.
    if (std::none_of(trees.begin(), trees.end(), missing))
        return 0;
    // The stand's own level: the median ratio of measured to curve height above breast height.
    std::vector<double> ratios;
    for (const SInventory& tree : trees)
        if (tree.dDbh > 0.0 && tree.dHeight > kBreastHeight && std::isfinite(tree.dHeight))
            ratios.push_back((tree.dHeight - kBreastHeight) / (EstimateHeight(tree.szSpecies, tree.dDbh, dSiteIndex) - kBreastHeight));
    double dScale = 1.0;
    if (ratios.size() >= 3)
    {
        std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
        dScale = std::clamp(ratios[ratios.size() / 2], 0.5, 2.0);
    }
    size_t nFilled = 0;
    for (SInventory& tree : trees)
    {
        if (!missing(tree))
            continue;
        tree.dHeight = kBreastHeight + dScale * (EstimateHeight(tree.szSpecies, tree.dDbh, dSiteIndex) - kBreastHeight);
        ++nFilled;
    }
    return nFilled;
}

void CGrowthModel::EstimateCrownRatios(std::vector<SInventory>& trees)
{
    // The canopy is measured on a cleaned copy; only the crown ratios of the records change.
    std::vector<SInventory> clean = trees;
    Sanitise(clean);
    // Crown ratios do not depend on the site: any site index in range gives the same canopy.
    std::vector<STreeSite> sites = TreeSites(clean, 35.0);
    SCanopy canopy;
    MeasureDensities(clean, canopy);
    MeasureCanopy(clean, sites, canopy);
    SetUnmeasuredCrowns(clean, sites, canopy);
    for (size_t i = 0; i < trees.size(); ++i)
        trees[i].dCrownRatio = clean[i].dCrownRatio;
}

double CGrowthModel::NurseryHeight(const char* pszSpecies, double dSeedlingAge)
{
    const double dPerYear = SpeciesGrowth(pszSpecies).bBroadleaf ? 0.20 : 0.10;
    return std::clamp(0.1 + dPerYear * std::max(0.0, dSeedlingAge), 0.1, 1.2);
}
