#include "Forest.h"

#include <algorithm>

#include "GrowthModel.h"
#include "StandVariables.h"
#include "WoxText.h"

CForest::CForest(SProject project) : m_project(std::move(project)), m_nYear(m_project.nFirstYear)
{
    for (size_t i = 0; i < m_project.stands.size(); ++i)
        m_index.emplace(m_project.stands[i].id, i);
    m_removedShare.assign(m_project.stands.size(), 0.0);
    m_removals.assign(m_project.stands.size(), {0.0, 0.0});
    m_pendingMessage.assign(m_project.stands.size(), {0.0, 0.0});
    m_treeChanges.assign(m_project.stands.size(), 0);
    for (auto& stand : m_project.stands)
    {
        // Inventories rarely carry crown ratios and may lack heights: the model supplies both.
        CGrowthModel::FillMissingHeights(stand.trees, stand.dSiteIndex);
        CGrowthModel::EstimateCrownRatios(stand.trees);
        // An older inventory is brought up to the first year untreated, so every stand starts
        // the run in the same year.
        if (stand.nInventoryYear > 0 && stand.nInventoryYear < m_nYear)
        {
            SGrowthStand growth;
            growth.dSiteIndex = stand.dSiteIndex;
            growth.nYear = stand.nInventoryYear;
            CGrowthModel::Grow(stand.trees, growth, m_nYear - stand.nInventoryYear);
            stand.trees.erase(std::remove_if(stand.trees.begin(), stand.trees.end(), [](const SInventory& t) { return !(t.dTpha > 0.0); }),
                              stand.trees.end());
            if (stand.dStandAge >= 0.0)
                stand.dStandAge += m_nYear - stand.nInventoryYear;
            stand.nInventoryYear = m_nYear;
            ++m_nGrownToFirstYear;
        }
        for (auto& tree : stand.trees)
            tree.nYear = m_nYear;
    }
}

int CForest::FindStand(const char* pszStand) const
{
    if (!pszStand)
        return -1;
    char szStand[31] = {};
    WoxFieldToString(szStand, sizeof szStand, pszStand, 30);
    auto found = m_index.find(szStand);
    return found == m_index.end() ? -1 : static_cast<int>(found->second);
}

void CForest::SetTrees(size_t nIndex, std::vector<SInventory> trees)
{
    trees.erase(std::remove_if(trees.begin(), trees.end(), [](const SInventory& t) { return !(t.dTpha > 0.0); }), trees.end());
    for (auto& tree : trees)
    {
        WoxCopyText(tree.szStand, m_project.stands[nIndex].id.c_str());
        tree.nYear = m_nYear;
    }
    const double dBefore = ComputeStandVariable(STAND_BASAL_AREA, m_project.stands[nIndex].trees);
    const double dAfter = ComputeStandVariable(STAND_BASAL_AREA, trees);
    if (dBefore > 0.0 && dAfter < dBefore)
        m_removedShare[nIndex] = 1.0 - (1.0 - m_removedShare[nIndex]) * dAfter / dBefore;
    m_project.stands[nIndex].trees = std::move(trees);
    ++m_treeChanges[nIndex];
}

void CForest::Grow(int nYears)
{
    for (size_t i = 0; i < m_project.stands.size(); ++i)
    {
        SProjectStand& stand = m_project.stands[i];
        SGrowthStand growth;
        growth.dSiteIndex = stand.dSiteIndex;
        growth.dRemovedShare = m_removedShare[i];
        growth.nYear = m_nYear;
        CGrowthModel::Grow(stand.trees, growth, nYears);
        m_removedShare[i] = 0.0;
        stand.trees.erase(std::remove_if(stand.trees.begin(), stand.trees.end(), [](const SInventory& t) { return !(t.dTpha > 0.0); }),
                          stand.trees.end());
        for (auto& tree : stand.trees)
            tree.nYear = m_nYear + nYears;
    }
    m_nYear += nYears;
}

void CForest::BookRemoval(size_t nIndex, double dStems, double dVolume)
{
    m_removals[nIndex].first += dStems;
    m_removals[nIndex].second += dVolume;
    m_pendingMessage[nIndex].first += dStems;
    m_pendingMessage[nIndex].second += dVolume;
}

void CForest::TakeRemovals(size_t nIndex, double& dStems, double& dVolume)
{
    dStems = m_removals[nIndex].first;
    dVolume = m_removals[nIndex].second;
    m_removals[nIndex] = {0.0, 0.0};
}
