#include "Treatments.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "ForestLimits.h"
#include "GrowthModel.h"
#include "StandVariables.h"
#include "WoxText.h"

const GUID g_guidThinBelow = {0x6A1D2F01, 0x5C3B, 0x4E7A, {0x9B, 0x10, 0x3C, 0x2F, 0x00, 0x00, 0x00, 0x01}};
const GUID g_guidThinAbove = {0x6A1D2F01, 0x5C3B, 0x4E7A, {0x9B, 0x10, 0x3C, 0x2F, 0x00, 0x00, 0x00, 0x02}};
const GUID g_guidClearcut = {0x6A1D2F01, 0x5C3B, 0x4E7A, {0x9B, 0x10, 0x3C, 0x2F, 0x00, 0x00, 0x00, 0x03}};
const GUID g_guidPlanting = {0x6A1D2F01, 0x5C3B, 0x4E7A, {0x9B, 0x10, 0x3C, 0x2F, 0x00, 0x00, 0x00, 0x04}};

namespace
{

// Takes basal area from the trees in the given order until dRemove m2/ha are gone; the last
// record touched loses only part of its stems.
void RemoveBasalArea(std::vector<SInventory>& trees, std::vector<size_t> order, double dRemove)
{
    for (size_t nIndex : order)
    {
        if (dRemove <= 0.0)
            break;
        SInventory& tree = trees[nIndex];
        double dPerStem = TreeBasalArea(tree.dDbh);
        if (!(tree.dTpha > 0.0) || !(dPerStem > 0.0))
            continue;
        double dTake = std::min(tree.dTpha, dRemove / dPerStem);
        tree.dTpha -= dTake;
        dRemove -= dTake * dPerStem;
        if (tree.dTpha < 1e-9)
            tree.dTpha = 0.0;
    }
    trees.erase(std::remove_if(trees.begin(), trees.end(), [](const SInventory& t) { return !(t.dTpha > 0.0); }), trees.end());
}

// A parameter within its limits; else false with "NAME VALUE UNIT is outside MIN to MAX UNIT".
bool CheckValue(const char* pszName, double dValue, double dMin, double dMax, const char* pszUnit, std::string& why)
{
    if (WithinLimits(dValue, dMin, dMax))
        return true;
    char szText[160];
    std::snprintf(szText, sizeof szText, "%s %g%s%s is outside %g to %g%s%s", pszName, dValue, *pszUnit ? " " : "", pszUnit, dMin, dMax,
                  *pszUnit ? " " : "", pszUnit);
    why = szText;
    return false;
}

std::vector<size_t> OrderByDiameter(const std::vector<SInventory>& trees, bool bLargestFirst)
{
    std::vector<size_t> order(trees.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return bLargestFirst ? trees[a].dDbh > trees[b].dDbh : trees[a].dDbh < trees[b].dDbh;
    });
    return order;
}
}

void CThinBelow::DefaultParameters(void* pParameters) const { static_cast<SThinBelowParameters*>(pParameters)->dResidualBasalArea = 20.0; }

bool CThinBelow::Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t) const
{
    double dResidual = static_cast<const SThinBelowParameters*>(pParameters)->dResidualBasalArea;
    if (!(dResidual >= 0.0))
        return false;
    double dExcess = ComputeStandVariable(STAND_BASAL_AREA, trees) - dResidual;
    RemoveBasalArea(trees, OrderByDiameter(trees, false), dExcess);
    return true;
}

bool CThinBelow::CheckParameters(void* pParameters, ISpeciesMap*, std::string& why) const
{
    return CheckValue("residual basal area", static_cast<const SThinBelowParameters*>(pParameters)->dResidualBasalArea, 0.0,
                      kMaxBasalAreaM2Ha, "m2/ha", why);
}

void CThinAbove::DefaultParameters(void* pParameters) const { static_cast<SThinAboveParameters*>(pParameters)->dRemovedShare = 0.3; }

bool CThinAbove::Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t) const
{
    double dShare = static_cast<const SThinAboveParameters*>(pParameters)->dRemovedShare;
    if (!(dShare >= 0.0 && dShare <= 1.0))
        return false;
    RemoveBasalArea(trees, OrderByDiameter(trees, true), dShare * ComputeStandVariable(STAND_BASAL_AREA, trees));
    return true;
}

bool CThinAbove::CheckParameters(void* pParameters, ISpeciesMap*, std::string& why) const
{
    return CheckValue("removed share", static_cast<const SThinAboveParameters*>(pParameters)->dRemovedShare, 0.0, 1.0, "", why);
}

void CClearcut::DefaultParameters(void* pParameters) const { static_cast<SClearcutParameters*>(pParameters)->dMinDbh = 0.0; }

bool CClearcut::Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t) const
{
    double dMinDbh = static_cast<const SClearcutParameters*>(pParameters)->dMinDbh;
    if (!(dMinDbh >= 0.0))
        return false;
    trees.erase(std::remove_if(trees.begin(), trees.end(), [&](const SInventory& t) { return t.dDbh >= dMinDbh; }), trees.end());
    return true;
}

bool CClearcut::CheckParameters(void* pParameters, ISpeciesMap*, std::string& why) const
{
    return CheckValue("smallest diameter", static_cast<const SClearcutParameters*>(pParameters)->dMinDbh, 0.0, kMaxDbhCm, "cm", why);
}

void CPlanting::DefaultParameters(void* pParameters) const
{
    auto* pPlanting = static_cast<SPlantingParameters*>(pParameters);
    std::memset(pPlanting, 0, sizeof *pPlanting);
    WoxCopyText(pPlanting->szSpecies, "PSME");
    pPlanting->dStemsPerHa = 1000.0;
    pPlanting->dSeedlingAge = 2.0;
    pPlanting->dSurvival = 0.9;
}

bool CPlanting::CheckParameters(void* pParameters, ISpeciesMap* pSpeciesMap, std::string& why) const
{
    auto* pPlanting = static_cast<SPlantingParameters*>(pParameters);
    if (!CheckValue("stems", pPlanting->dStemsPerHa, 1.0, kMaxPlantedStemsPerHa, "per ha", why) ||
        !CheckValue("diameter", pPlanting->dDbh, 0.0, kMaxDbhCm, "cm", why) || !CheckValue("height", pPlanting->dHeight, 0.0, kMaxHeightM, "m", why) ||
        !CheckValue("seedling age", pPlanting->dSeedlingAge, 0.0, 20.0, "years", why) ||
        !CheckValue("survival", pPlanting->dSurvival, 0.0, 1.0, "", why))
        return false;
    char szCode[sizeof pPlanting->szSpecies + 1];
    WoxFieldToString(szCode, sizeof szCode, pPlanting->szSpecies, sizeof pPlanting->szSpecies);
    if (!*szCode)
    {
        why = "no species given";
        return false;
    }
    if (pSpeciesMap)
    {
        SSpeciesRecord record = {};
        WoxCopyText(record.szCode, szCode);
        if (!pSpeciesMap->LookupSpecies("Plants", &record))
        {
            why = "unknown species '" + std::string(szCode) + "'";
            return false;
        }
        std::memcpy(pPlanting->szSpecies, record.szCode, sizeof pPlanting->szSpecies);
    }
    return true;
}

bool CPlanting::Apply(std::vector<SInventory>& trees, const void* pParameters, int32_t nYear) const
{
    const auto* pPlanting = static_cast<const SPlantingParameters*>(pParameters);
    if (!(pPlanting->dStemsPerHa > 0.0 && pPlanting->dStemsPerHa <= 20000.0) || !(pPlanting->dDbh >= 0.0) || !(pPlanting->dHeight >= 0.0) ||
        !(pPlanting->dSeedlingAge >= 0.0 && pPlanting->dSeedlingAge <= 20.0) || !(pPlanting->dSurvival > 0.0 && pPlanting->dSurvival <= 1.0) ||
        WoxTextLength(pPlanting->szSpecies) == 0)
        return false;
    char szSpecies[sizeof pPlanting->szSpecies + 1] = {};
    std::memcpy(szSpecies, pPlanting->szSpecies, sizeof pPlanting->szSpecies);
    const double dHeight = pPlanting->dHeight > 0.0 ? pPlanting->dHeight : CGrowthModel::NurseryHeight(szSpecies, pPlanting->dSeedlingAge);
    // Ten records per cohort so that later thinnings can take part of it.
    constexpr int kRecords = 10;
    for (int i = 0; i < kRecords; ++i)
    {
        SInventory tree = {};
        char szTree[24];
        std::snprintf(szTree, sizeof szTree, "P%d-%d", static_cast<int>(nYear), i + 1);
        WoxCopyText(tree.szTree, szTree);
        std::memcpy(tree.szSpecies, pPlanting->szSpecies, sizeof tree.szSpecies);
        tree.nYear = nYear;
        tree.dHeight = dHeight * (0.9 + 0.02 * i);
        tree.dDbh = tree.dHeight > 1.3 ? pPlanting->dDbh * (0.8 + 0.04 * i) : 0.0;
        tree.dTpha = pPlanting->dStemsPerHa * pPlanting->dSurvival / kRecords;
        tree.dCrownRatio = 0.9;
        trees.push_back(tree);
    }
    return true;
}

bool CheckTreatmentBlock(const GUID& guid, const void* pBlock, uint32_t nBlockSize, ISpeciesMap* pSpeciesMap, std::string& why)
{
    auto check = [&](const CTreatmentComponent& component) {
        std::vector<unsigned char> parameters = component.ParametersOf(pBlock, nBlockSize);
        return component.CheckParameters(parameters.data(), pSpeciesMap, why);
    };
    if (std::memcmp(&guid, &g_guidThinBelow, sizeof guid) == 0)
        return check(CThinBelow(nullptr));
    if (std::memcmp(&guid, &g_guidThinAbove, sizeof guid) == 0)
        return check(CThinAbove(nullptr));
    if (std::memcmp(&guid, &g_guidClearcut, sizeof guid) == 0)
        return check(CClearcut(nullptr));
    if (std::memcmp(&guid, &g_guidPlanting, sizeof guid) == 0)
        return check(CPlanting(nullptr));
    return true;
}
