#include "StandVariables.h"

#include <algorithm>
#include <cmath>

#include "StemVolume.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kTopHeightStems = 100.0;   // the largest 100 stems per hectare
constexpr double kReferenceDbh = 25.4;      // cm
constexpr double kReinekeSlope = 1.605;

bool Usable(const SInventory& tree)
{
    return tree.dTpha > 0.0 && tree.dDbh >= 0.0 && tree.dHeight >= 0.0 && std::isfinite(tree.dTpha) &&
           std::isfinite(tree.dDbh) && std::isfinite(tree.dHeight);
}

double TopHeight(const SInventory* pTrees, size_t nTrees)
{
    std::vector<const SInventory*> order;
    for (size_t i = 0; i < nTrees; ++i)
        if (Usable(pTrees[i]))
            order.push_back(&pTrees[i]);
    std::stable_sort(order.begin(), order.end(), [](const SInventory* a, const SInventory* b) { return a->dDbh > b->dDbh; });
    double dStems = 0.0, dSum = 0.0;
    for (const SInventory* pTree : order)
    {
        double dTake = std::min(pTree->dTpha, kTopHeightStems - dStems);
        dSum += dTake * pTree->dHeight;
        dStems += dTake;
        if (dStems >= kTopHeightStems)
            break;
    }
    return dStems > 0.0 ? dSum / dStems : 0.0;
}
}

const std::vector<SStandVariableInfo>& StandVariables()
{
    static const std::vector<SStandVariableInfo> s_variables = {
        {STAND_BASAL_AREA, "Basal Area (m2/ha)", false}, {STAND_STEMS, "Stems (per ha)", true},
        {STAND_QMD, "Quadratic Mean Diameter (cm)", false}, {STAND_MEAN_HEIGHT, "Mean Height (m)", false},
        {STAND_TOP_HEIGHT, "Top Height (m)", false},        {STAND_VOLUME, "Volume (m3/ha)", false},
        {STAND_DENSITY_INDEX, "Stand Density Index", true}, {STAND_MERCHANTABLE_VOLUME, "Merchantable Volume (m3/ha)", false},
    };
    return s_variables;
}

double TreeBasalArea(double dDbh) { return kPi / 4.0 * (dDbh / 100.0) * (dDbh / 100.0); }

double TreeVolume(const SInventory& tree) { return TotalStemVolume(SpeciesGrowth(tree.szSpecies), tree.dDbh, tree.dHeight, BARK_OUTSIDE); }

double TreeMerchantableVolume(const SInventory& tree) { return MerchantableVolume(SpeciesGrowth(tree.szSpecies), tree.dDbh, tree.dHeight); }

double ComputeStandVariable(ENStandVariable nVariable, const SInventory* pTrees, size_t nTrees)
{
    if (nVariable == STAND_TOP_HEIGHT)
        return TopHeight(pTrees, nTrees);
    double dStems = 0.0, dBasalArea = 0.0, dHeightSum = 0.0, dVolume = 0.0, dMerchantable = 0.0, dDensity = 0.0;
    for (size_t i = 0; i < nTrees; ++i)
    {
        const SInventory& tree = pTrees[i];
        if (!Usable(tree))
            continue;
        dStems += tree.dTpha;
        dBasalArea += tree.dTpha * TreeBasalArea(tree.dDbh);
        dHeightSum += tree.dTpha * tree.dHeight;
        if (nVariable == STAND_VOLUME)
            dVolume += tree.dTpha * TreeVolume(tree);
        else if (nVariable == STAND_MERCHANTABLE_VOLUME)
            dMerchantable += tree.dTpha * TreeMerchantableVolume(tree);
        if (nVariable == STAND_DENSITY_INDEX)
            dDensity += tree.dTpha * std::pow(tree.dDbh / kReferenceDbh, kReinekeSlope);
    }
    switch (nVariable)
    {
    case STAND_BASAL_AREA:
        return dBasalArea;
    case STAND_STEMS:
        return dStems;
    case STAND_QMD:
        return dStems > 0.0 ? 100.0 * std::sqrt(dBasalArea / dStems * 4.0 / kPi) : 0.0;
    case STAND_MEAN_HEIGHT:
        return dStems > 0.0 ? dHeightSum / dStems : 0.0;
    case STAND_VOLUME:
        return dVolume;
    case STAND_DENSITY_INDEX:
        return dDensity;
    case STAND_MERCHANTABLE_VOLUME:
        return dMerchantable;
    default:
        return 0.0;
    }
}
