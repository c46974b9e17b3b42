#include "TestPortData.h"

#include <algorithm>

#include "WoxText.h"

namespace
{
std::string FieldText(const char* pField, size_t nWidth) { return std::string(pField, WoxTextLength(pField, nWidth)); }
}

void CTestCallLog::Add(const std::string& operation, int32_t nYear, const std::string& stand)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_calls.push_back({operation, nYear, stand});
}

std::vector<STestCall> CTestCallLog::Calls()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_calls;
}

std::vector<std::string> CTestCallLog::Operations()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<std::string> operations;
    for (const STestCall& call : m_calls)
        operations.push_back(call.operation);
    return operations;
}

int CTestCallLog::Count(const std::string& operation)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int>(std::count_if(m_calls.begin(), m_calls.end(), [&](const STestCall& c) { return c.operation == operation; }));
}

int CTestPortObject::StandTreated(int32_t nYear, const char* pszStand)
{
    m_log.Add("StandTreated", nYear, pszStand ? pszStand : "");
    return 1;
}

void CTestPortData::SetTrees(const std::string& stand, std::vector<SInventory> trees)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_trees[stand] = std::move(trees);
}

void CTestPortData::RefuseInventory(const std::string& stand)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_refused.insert(stand);
}

std::vector<SStandMessage> CTestPortData::SentMessages()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_sent;
}

IWoxPortObject* CTestPortData::GetPortObject(int nObject)
{
    m_log.Add("GetPortObject", nObject);
    return (nObject == 2 && !m_bHidePortObject) ? &m_portObject : nullptr;
}

int CTestPortData::SendStandMessage(SStandMessage message)
{
    m_log.Add("SendStandMessage", message.nYear, FieldText(message.szStand, sizeof(message.szStand)));
    std::lock_guard<std::mutex> guard(m_lock);
    m_sent.push_back(message);
    return 1;
}

int CTestPortData::GetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand)
{
    const std::string stand = pszStand ? pszStand : "";
    m_log.Add("GetStandInventory", nYear, stand);
    std::lock_guard<std::mutex> guard(m_lock);
    if (!pTrees || m_refused.count(stand))
        return 0;
    pTrees->RemoveAll(0);
    auto it = m_trees.find(stand);
    if (it != m_trees.end())
    {
        for (const SInventory& tree : it->second)
            if (!pTrees->Add(&tree))
                return 0;
    }
    return 1;
}

int CTestPortData::GetProjectInfo(SProjectInfo* pInfo)
{
    if (!pInfo)
        return 0;
    std::lock_guard<std::mutex> guard(m_lock);
    WoxCopyText(pInfo->szProject, "Engine test project");
    WoxCopyText(pInfo->szScenarioFolder, m_scenarioFolder.c_str());
    pInfo->nFirstYear = 2000;
    pInfo->nPeriodLength = 5;
    return 1;
}

int CTestPortData::CheckStandMessage(SStandMessage* pMessage)
{
    m_log.Add("CheckStandMessage", pMessage ? pMessage->nYear : 0, pMessage ? FieldText(pMessage->szStand, sizeof(pMessage->szStand)) : "");
    std::lock_guard<std::mutex> guard(m_lock);
    return ++m_nChecks == m_nRefuseCheckAt ? 0 : 1;
}

int CTestView::ShowStandMessage(SStandMessage* pMessage)
{
    m_log.Add("ShowStandMessage", pMessage ? pMessage->nYear : 0, pMessage ? FieldText(pMessage->szStand, sizeof(pMessage->szStand)) : "");
    return 1;
}

int CTestTreatmentComponent::RunComponent(SComponentData* pData, SStandMessage* pMessage)
{
    STestHandOver handOver;
    if (pData && pData->pData)
    {
        const STreatmentData* pTreatmentData = static_cast<const STreatmentData*>(pData->pData);
        handOver.nPassThrough = pData->nPassThrough;
        handOver.pPortData = pData->pPortData;
        if (pTreatmentData->pYears)
        {
            handOver.nYears = pTreatmentData->pYears->GetSize();
            if (const int32_t* pYear = static_cast<const int32_t*>(pTreatmentData->pYears->GetAt(0, 0)))
                handOver.nYear = *pYear;
        }
        if (pTreatmentData->pStands)
        {
            handOver.nStands = pTreatmentData->pStands->GetSize();
            if (const auto* pStand = static_cast<const STreatmentDataStand*>(pTreatmentData->pStands->GetAt(0, 0)))
                handOver.stand = FieldText(pStand->szStand, sizeof(pStand->szStand));
        }
        if (pTreatmentData->pTreatments)
        {
            handOver.nTreatments = pTreatmentData->pTreatments->GetSize();
            // The element is an STreatmentDataTreatment: the name follows the 16-byte GUID.
            if (const char* pTreatment = static_cast<const char*>(pTreatmentData->pTreatments->GetAt(0, 0)))
                handOver.treatment = FieldText(pTreatment + 16, 256);
        }
    }
    if (pMessage)
    {
        handOver.message = *pMessage;
        if (!m_writeText.empty())
        {
            pMessage->nValue = m_nWriteValue;
            WoxCopyText(pMessage->szText, m_writeText.c_str());
        }
    }
    m_log.Add("RunComponent", handOver.nYear, handOver.stand);
    m_handOvers.push_back(handOver);
    return m_bRefuse ? 0 : 1;
}

IDynamic* CTestCompMgr::GetComponent(GUID guid)
{
    ++m_nLookups;
    for (IComponent* pComponent : m_components)
        if (pComponent->GetGUID() == guid)
            return pComponent;
    return nullptr;
}

IDynamic* CTestCompMgr::GetComponentAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_components.size()))
        return nullptr;
    return m_components[static_cast<size_t>(nIndex)];
}

HWOXMODULE CRecordingLibMgr::OpenLibrary(const char* pszPath)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_paths.emplace_back(pszPath ? pszPath : "");
    }
    return m_pInner ? m_pInner->OpenLibrary(pszPath) : nullptr;
}

int CRecordingLibMgr::Loads(const std::string& path)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int>(std::count(m_paths.begin(), m_paths.end(), path));
}

SInventory MakeTestTree(const char* pszSpecies, double dDbh, double dHeight, double dCrownRatio, double dTpha)
{
    SInventory tree = {};
    WoxCopyText(tree.szSpecies, pszSpecies);
    tree.dDbh = dDbh;
    tree.dHeight = dHeight;
    tree.dCrownRatio = dCrownRatio;
    tree.dTpha = dTpha;
    return tree;
}
