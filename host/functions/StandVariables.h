#pragma once
// Stand variables computed from a list of tree records (metric units): basal area m2/ha, stems
// per hectare, quadratic mean diameter cm, mean and top height m, stem volume m3/ha (whole stem
// outside bark, and merchantable inside bark, from the growth model's species stem profiles) and
// the stand density index (stems/ha at a 25.4 cm reference diameter). Each tree record stands
// for dTpha stems per hectare.

#include <cstdint>
#include <vector>

#include "Containers.h"

enum ENStandVariable : int32_t
{
    STAND_BASAL_AREA = 1,
    STAND_STEMS = 2,
    STAND_QMD = 3,
    STAND_MEAN_HEIGHT = 4,
    STAND_TOP_HEIGHT = 5,
    STAND_VOLUME = 6,
    STAND_DENSITY_INDEX = 7,
    STAND_MERCHANTABLE_VOLUME = 8,
};

struct SStandVariableInfo
{
    ENStandVariable nVariable;
    const char* pszName;
    bool bInteger;   // answered as an integer value
};

// The variables in listing order.
const std::vector<SStandVariableInfo>& StandVariables();

// Basal area of one stem, m2 (diameter in cm).
double TreeBasalArea(double dDbh);
// Whole-stem volume of one stem outside bark, m3, from its species' stem profile.
double TreeVolume(const SInventory& tree);
// Merchantable volume of one stem inside bark, m3 (limits in host/growth/StemVolume.h).
double TreeMerchantableVolume(const SInventory& tree);

// The variable's value over the trees; 0 for an empty list. Records with a diameter, height or
// stem count that is negative or not a number count as no stems.
double ComputeStandVariable(ENStandVariable nVariable, const SInventory* pTrees, size_t nTrees);
inline double ComputeStandVariable(ENStandVariable nVariable, const std::vector<SInventory>& trees)
{
    return ComputeStandVariable(nVariable, trees.data(), trees.size());
}
