#include "TreatmentComponent.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "HostObject.h"
#include "StandVariables.h"
#include "WoxText.h"

namespace
{
// Stems and volume per hectare of a tree list.
void Totals(const std::vector<SInventory>& trees, double& dStems, double& dVolume)
{
    dStems = ComputeStandVariable(STAND_STEMS, trees);
    dVolume = ComputeStandVariable(STAND_VOLUME, trees);
}
}

CTreatmentComponent::CTreatmentComponent(void* hHeap) : m_pHeap(static_cast<IWoxHeap*>(hHeap)) {}

void CTreatmentComponent::AddReference() { ++m_nRef; }

void CTreatmentComponent::Release()
{
    if (--m_nRef < 1)
        delete this;
}

int CTreatmentComponent::Create(IWoxLibMgr* pLibMgr, IWoxThreadPool*, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                                ISpeciesMap* pSpeciesMap, ICompMgr*)
{
    m_pSpeciesMap = pSpeciesMap;
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    char szPath[WOX_MAX_PATH] = {};
    HWOXMODULE hModule = nullptr;
    if (!WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", szPath, hModule))
        return 0;
    m_pfnCreateInventory = WoxModuleFunction<PFN_CreateInventoryExt>(hModule, "CreateInventoryExt");
    return m_pfnCreateInventory ? 1 : 0;
}

void* CTreatmentComponent::GetInterface(ENWoxCompInterface nInterface)
{
    if (nInterface != WOX_INTERFACE_COMPONENT)
        return nullptr;
    AddReference();
    return static_cast<IComponent*>(this);
}

int CTreatmentComponent::GetDefaultValues(SComponentValue* pValues)
{
    if (pValues)
        std::memset(pValues, 0, sizeof *pValues);
    return 1;
}

int CTreatmentComponent::GetDisplayInfo(SComponentDisplay* pInfo)
{
    if (!pInfo)
        return 0;
    WoxCopyText(pInfo->szName, Name());
    pInfo->dVersion = 1.0;
    WoxCopyText(pInfo->szAuthor, "Wox Suite host");
    return 1;
}

std::vector<unsigned char> CTreatmentComponent::ParametersOf(const void* pBlock, uint32_t nBlockSize) const
{
    std::vector<unsigned char> parameters(ParameterSize());
    DefaultParameters(parameters.data());
    if (pBlock && nBlockSize >= MinimumParameterSize())
        std::memcpy(parameters.data(), pBlock, std::min(nBlockSize, ParameterSize()));
    return parameters;
}

bool CTreatmentComponent::MakeInventory(IDynamicPtrTemplate<IInventoryExt>& pTrees) const
{
    if (!m_pfnCreateInventory)
        return false;
    pTrees = m_pfnCreateInventory(m_pHeap);
    return pTrees && pTrees->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter);
}

int CTreatmentComponent::RunComponent(SComponentData* pData, SStandMessage* pMessage)
{
    if (!pData || !pData->pData || !pData->pPortData)
        return 0;
    auto* pSelection = static_cast<STreatmentData*>(pData->pData);
    if (!pSelection->pYears || !pSelection->pStands || !pSelection->pTreatments)
        return 0;
    auto* pYear = static_cast<const int32_t*>(pSelection->pYears->GetAt(0, 0));
    auto* pStand = static_cast<const STreatmentDataStand*>(pSelection->pStands->GetAt(0, 0));
    auto* pTreatment = static_cast<const STreatmentDataTreatment*>(pSelection->pTreatments->GetAt(0, 0));
    if (!pYear || !pStand || !pTreatment)
        return 0;
    const int32_t nYear = *pYear;
    char szStand[31] = {};
    WoxFieldToString(szStand, sizeof szStand, pStand->szStand, sizeof pStand->szStand);

    // The parameter block: the record's block when it is large enough, else the defaults.
    const void* pBlock = m_pHeap && pTreatment->pData ? m_pHeap->Data(pTreatment->pData) : nullptr;
    const uint32_t nBlockSize = pBlock ? std::min(pTreatment->nDataSize, m_pHeap->Size(pTreatment->pData)) : 0;
    std::vector<unsigned char> parameters = ParametersOf(pBlock, nBlockSize);
    std::string why;
    if (!CheckParameters(parameters.data(), m_pSpeciesMap, why))
    {
        if (m_pErrorReporter)
            m_pErrorReporter->ReportError(Name(), ("stand " + std::string(szStand) + ", " + std::to_string(nYear) + ": " + why).c_str());
        return 0;
    }

    IPortData* pPortData = pData->pPortData;
    IDynamicPtrTemplate<IInventoryExt> pTrees;
    if (!MakeInventory(pTrees) || !pPortData->GetStandInventory(pTrees, nYear, szStand))
        return 0;
    std::vector<SInventory> trees;
    for (int i = 0, n = pTrees->GetSize(); i < n; ++i)
        if (const SInventory* pTree = pTrees->GetAt(i))
            trees.push_back(*pTree);
    double dStemsBefore, dVolumeBefore;
    Totals(trees, dStemsBefore, dVolumeBefore);
    if (!Apply(trees, parameters.data(), nYear))
        return 0;
    double dStemsAfter, dVolumeAfter;
    Totals(trees, dStemsAfter, dVolumeAfter);

    pTrees->RemoveAll(0);
    for (const SInventory& tree : trees)
        if (!pTrees->Add(&tree))
            return 0;
    if (!pPortData->SetStandInventory(pTrees, nYear, szStand))
        return 0;
    pPortData->RecordRemoval(nYear, szStand, std::max(0.0, dStemsBefore - dStemsAfter), std::max(0.0, dVolumeBefore - dVolumeAfter));
    if (pMessage)
    {
        char szName[sizeof pTreatment->szName + 1];
        WoxFieldToString(szName, sizeof szName, pTreatment->szName, sizeof pTreatment->szName);
        std::string text = std::string(Name()) + "\t" + szName;
        WoxCopyText(pMessage->szText, text.c_str());
    }
    return 1;
}
