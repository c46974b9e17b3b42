#include "ProjectPortData.h"

#include "ComponentInterface.h"
#include "WoxText.h"

namespace
{
constexpr int kTreatedStandsObject = 2;
constexpr int32_t kMessageTreated = 9;
}

CProjectPortData::CProjectPortData(CForest& forest, ICompMgr* pCompMgr, std::string scenarioFolder, int nPeriods)
    : m_forest(forest), m_pCompMgr(pCompMgr), m_scenarioFolder(std::move(scenarioFolder)), m_nPeriods(nPeriods)
{
}

IWoxPortObject* CProjectPortData::GetPortObject(int nObject) { return nObject == kTreatedStandsObject ? &m_treated : nullptr; }

int CProjectPortData::CTreatedStands::StandTreated(int32_t nYear, const char* pszStand)
{
    char szStand[31] = {};
    WoxFieldToString(szStand, sizeof szStand, pszStand ? pszStand : "", 30);
    m_treated.emplace_back(nYear, szStand);
    return 1;
}

int CProjectPortData::SendStandMessage(SStandMessage message)
{
    int nStand = m_forest.FindStand(message.szStand);
    if (message.nType != kMessageTreated || nStand < 0)
        return 0;
    char szText[sizeof message.szText + 1];
    WoxFieldToString(szText, sizeof szText, message.szText, sizeof message.szText);
    std::string text = szText;
    SAppliedTreatment applied;
    applied.nYear = message.nYear;
    applied.stand = m_forest.Stand(static_cast<size_t>(nStand)).id;
    size_t nTab = text.find('\t');
    applied.component = nTab == std::string::npos ? std::string() : text.substr(0, nTab);
    applied.treatment = nTab == std::string::npos ? text : text.substr(nTab + 1);
    auto& pending = m_forest.m_pendingMessage[static_cast<size_t>(nStand)];
    applied.dRemovedStems = pending.first;
    applied.dRemovedVolume = pending.second;
    pending = {0.0, 0.0};
    m_forest.Applied().push_back(std::move(applied));
    return 1;
}

int CProjectPortData::GetComponentList(int nType, IDynamicPtrTemplate<IArrayExt2> pList, int)
{
    if (!pList || !m_pCompMgr)
        return 0;
    for (int i = 0; i < m_pCompMgr->GetComponentCount(); ++i)
    {
        auto* pComponent = static_cast<IComponent*>(m_pCompMgr->GetComponentAt(i));
        if (!pComponent || pComponent->GetType() != nType)
            continue;
        SComponentListEntry entry = {};
        entry.nType = nType;
        entry.guidComponent = pComponent->GetGUID();
        if (!pList->Add(&entry))
            return 0;
    }
    return 1;
}

int CProjectPortData::GetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand)
{
    int nStand = m_forest.FindStand(pszStand);
    if (!pTrees || nStand < 0 || nYear != m_forest.Year())
        return 0;
    pTrees->RemoveAll(0);
    for (const SInventory& tree : m_forest.Stand(static_cast<size_t>(nStand)).trees)
        if (!pTrees->Add(&tree))
            return 0;
    return 1;
}

int CProjectPortData::GetProjectInfo(SProjectInfo* pInfo)
{
    if (!pInfo)
        return 0;
    const SProject& project = m_forest.Project();
    WoxCopyText(pInfo->szProject, project.name.c_str());
    WoxCopyText(pInfo->szScenarioFolder, m_scenarioFolder.c_str());
    pInfo->nFirstYear = project.nFirstYear;
    pInfo->nPeriodLength = project.nPeriodLength;
    pInfo->nPeriods = m_nPeriods;
    pInfo->nStands = static_cast<int32_t>(project.stands.size());
    return 1;
}

int CProjectPortData::GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int)
{
    if (!pStands)
        return 0;
    for (size_t i = 0; i < m_forest.StandCount(); ++i)
        if (!pStands->Add(m_forest.Stand(i).id.c_str()))
            return 0;
    return 1;
}

int CProjectPortData::CheckStandMessage(SStandMessage* pMessage)
{
    if (!pMessage)
        return 0;
    if (m_forest.FindStand(pMessage->szStand) < 0)
    {
        char szStand[sizeof pMessage->szStand + 1];
        WoxFieldToString(szStand, sizeof szStand, pMessage->szStand, sizeof pMessage->szStand);
        m_unknownStand = szStand;
        return 0;
    }
    return pMessage->nYear == m_forest.Year() ? 1 : 0;
}

int CProjectPortData::SetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand)
{
    int nStand = m_forest.FindStand(pszStand);
    if (!pTrees || nStand < 0 || nYear != m_forest.Year())
        return 0;
    std::vector<SInventory> trees;
    int nSize = pTrees->GetSize();
    trees.reserve(static_cast<size_t>(nSize > 0 ? nSize : 0));
    for (int i = 0; i < nSize; ++i)
        if (const SInventory* pTree = pTrees->GetAt(i))
            trees.push_back(*pTree);
    m_forest.SetTrees(static_cast<size_t>(nStand), std::move(trees));
    return 1;
}

int CProjectPortData::RecordRemoval(int32_t nYear, const char* pszStand, double dStemsPerHa, double dVolumePerHa)
{
    int nStand = m_forest.FindStand(pszStand);
    if (nStand < 0 || nYear != m_forest.Year() || !(dStemsPerHa >= 0.0) || !(dVolumePerHa >= 0.0))
        return 0;
    m_forest.BookRemoval(static_cast<size_t>(nStand), dStemsPerHa, dVolumePerHa);
    return 1;
}

int CRunView::ShowStandMessage(SStandMessage* pMessage)
{
    if (!pMessage)
        return 0;
    m_messages.push_back(*pMessage);
    return 1;
}
