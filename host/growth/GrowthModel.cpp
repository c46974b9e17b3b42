#include "GrowthModel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "StandVariables.h"

namespace
{
constexpr double kReferenceSite = 30.0;
constexpr double kBackgroundMortality = 0.003;   // per year
constexpr double kCrowdingOnset = 0.55;          // share of maximum density where crowding starts
constexpr double kCrowdingRate = 0.25;           // per year, per unit of relative density above onset
constexpr double kMinStems = 0.01;               // records below this stem count are kept at 0

const std::vector<SSpeciesGrowth> s_table = {
    {"PSME", 0.55, 75.0, 60.0, 0.030, 1.20, 1450.0}, {"TSHE", 0.45, 85.0, 52.0, 0.035, 1.15, 1700.0},
    {"THPL", 0.40, 90.0, 50.0, 0.028, 1.10, 1800.0}, {"ABAM", 0.40, 80.0, 48.0, 0.032, 1.15, 1600.0},
    {"ABGR", 0.50, 70.0, 52.0, 0.032, 1.15, 1500.0}, {"PICO", 0.35, 45.0, 30.0, 0.045, 1.10, 1700.0},
    {"PIPO", 0.40, 45.0, 40.0, 0.030, 1.10, 1100.0}, {"PISI", 0.55, 85.0, 60.0, 0.028, 1.20, 1600.0},
    {"ALRU2", 0.60, 40.0, 32.0, 0.060, 1.00, 1100.0}, {"ACMA3", 0.40, 40.0, 28.0, 0.050, 1.00, 1000.0},
    {"*conifer", 0.45, 65.0, 45.0, 0.033, 1.15, 1450.0}, {"*broadleaf", 0.45, 40.0, 30.0, 0.050, 1.00, 1050.0},
};

bool IsBroadleaf(const char* pszCode)
{
    if (!pszCode || !*pszCode)
        return false;
    if (std::strchr("ABFLQ", pszCode[0]) && !(pszCode[0] == 'A' && pszCode[1] == 'B') && !(pszCode[0] == 'L' && pszCode[1] == 'A'))
        return true;
    return pszCode[0] == 'P' && (pszCode[1] == 'O' || pszCode[1] == 'R');
}
}

const std::vector<SSpeciesGrowth>& CGrowthModel::Table() { return s_table; }

const SSpeciesGrowth& CGrowthModel::Parameters(const char* pszCode)
{
    char szCode[11] = {};
    if (pszCode)
        std::strncpy(szCode, pszCode, 10);
    for (const SSpeciesGrowth& species : s_table)
        if (std::strcmp(species.pszCode, szCode) == 0)
            return species;
    return s_table[IsBroadleaf(szCode) ? s_table.size() - 1 : s_table.size() - 2];
}

double CGrowthModel::CurveHeight(const SSpeciesGrowth& species, double dDbh, double dSiteIndex)
{
    double dSite = std::clamp(dSiteIndex, 5.0, 60.0) / kReferenceSite;
    return 1.3 + species.dHeightMax * dSite * std::pow(1.0 - std::exp(-species.dHeightRate * std::max(dDbh, 0.0)), species.dHeightShape);
}

void CGrowthModel::Grow(std::vector<SInventory>& trees, double dSiteIndex, int nYears)
{
    const double dSite = std::clamp(dSiteIndex, 5.0, 60.0) / kReferenceSite;
    std::vector<const SSpeciesGrowth*> species(trees.size());
    for (size_t i = 0; i < trees.size(); ++i)
        species[i] = &Parameters(trees[i].szSpecies);
    std::vector<size_t> bySize(trees.size());
    for (int nYear = 0; nYear < nYears; ++nYear)
    {
        // Stand density, its weighted maximum and the basal area in larger trees (BAL).
        double dBasalArea = 0.0, dDensity = 0.0, dDensityMax = 0.0;
        for (size_t i = 0; i < trees.size(); ++i)
        {
            const SInventory& tree = trees[i];
            double dTreeBasal = tree.dTpha * TreeBasalArea(tree.dDbh);
            dBasalArea += dTreeBasal;
            dDensity += tree.dTpha * std::pow(tree.dDbh / 25.4, 1.605);
            dDensityMax += dTreeBasal * species[i]->dDensityMax;
            bySize[i] = i;
        }
        dDensityMax = dBasalArea > 0.0 ? dDensityMax / dBasalArea : 1450.0;
        std::stable_sort(bySize.begin(), bySize.end(), [&](size_t a, size_t b) { return trees[a].dDbh > trees[b].dDbh; });
        const double dRelativeDensity = dDensity / dDensityMax;
        const double dCrowding = std::max(0.0, dRelativeDensity - kCrowdingOnset) * kCrowdingRate;

        double dLarger = 0.0;
        for (size_t k = 0; k < bySize.size(); ++k)
        {
            SInventory& tree = trees[bySize[k]];
            const SSpeciesGrowth& sp = *species[bySize[k]];
            double dTreeBasal = tree.dTpha * TreeBasalArea(tree.dDbh);
            // Diameter: slowed by stand basal area and by the basal area of larger trees.
            double dCompetition = std::max(0.05, 1.0 - (dBasalArea + dLarger) / (2.0 * sp.dBasalMax));
            double dSize = std::min(1.0, 0.4 + tree.dDbh / 30.0);
            double dOldCurve = CurveHeight(sp, tree.dDbh, dSiteIndex);
            tree.dDbh += sp.dGrowth * dSite * dCompetition * dSize;
            // Height keeps the tree's own offset from the curve.
            tree.dHeight = std::max(tree.dHeight, tree.dHeight + CurveHeight(sp, tree.dDbh, dSiteIndex) - dOldCurve);
            // Mortality: background plus crowding, heavier on the suppressed (small) trees.
            double dRank = bySize.size() > 1 ? static_cast<double>(k) / static_cast<double>(bySize.size() - 1) : 0.0;
            double dMortality = kBackgroundMortality + dCrowding * (0.2 + 1.6 * dRank);
            tree.dTpha *= 1.0 - std::min(dMortality, 0.5);
            if (tree.dTpha < kMinStems)
                tree.dTpha = 0.0;
            dLarger += dTreeBasal;
        }
    }
}
