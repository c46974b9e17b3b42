#include "TreatmentComponent.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>

#include "ForestLimits.h"
#include "HostObject.h"
#include "StandVariables.h"
#include "TreatmentDlg.h"
#include "WoxHeap.h"
#include "WoxText.h"

namespace
{
// At most this many years are offered, whatever end year a selection brings.
constexpr size_t kMaxYearsOffered = 1000;

std::string FieldText(const char* pField, size_t nWidth)
{
    return std::string(pField, WoxTextLength(pField, nWidth));
}

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
    m_pfnCreateStandList = WoxModuleFunction<PFN_CreateStatusExt>(hModule, "CreateStatusExt");
    return m_pfnCreateInventory && m_pfnCreateStandList ? 1 : 0;
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

std::vector<int32_t> CTreatmentComponent::ProjectYears(IPortData* pPortData, const int32_t* pnEndYear) const
{
    SProjectInfo info;
    std::memset(&info, 0, sizeof info);
    if (!pPortData || !pnEndYear || !pPortData->GetProjectInfo(&info) || info.nPeriodLength < kMinPeriodLength ||
        info.nPeriodLength > kMaxPeriodLength || info.nFirstYear < kFirstCalendarYear || info.nFirstYear > kLastCalendarYear)
        return {};
    std::vector<int32_t> years;
    const int32_t nEndYear = std::min<int32_t>(*pnEndYear, kLastCalendarYear);
    for (int32_t nYear = info.nFirstYear; nYear <= nEndYear && years.size() < kMaxYearsOffered; nYear += info.nPeriodLength)
        years.push_back(nYear);
    return years;
}

std::vector<std::string> CTreatmentComponent::ProjectStands(IPortData* pPortData) const
{
    IDynamicPtrTemplate<IStatusExt> pList;
    if (pPortData && m_pfnCreateStandList)
        pList = m_pfnCreateStandList(m_pHeap);
    std::vector<std::string> stands;
    if (!pList || !pList->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter) || !pPortData->GetStandList(pList, 0))
        return stands;
    for (int i = 0, n = pList->GetSize(); i < n; ++i)
        if (const char* pszStand = pList->GetAt(i))
            stands.push_back(FieldText(pszStand, sizeof(STreatmentDataStand::szStand)));
    return stands;
}

bool CTreatmentComponent::MakeTreatment(const std::string& name, const std::string& description, const std::vector<unsigned char>& parameters,
                                        STreatmentDataTreatment& treatment)
{
    treatment = {};
    treatment.guidComponent = GetGUID();
    WoxCopyText(treatment.szName, name.c_str());
    WoxCopyText(treatment.szDescription, description.c_str());
    const uint32_t hBlock = m_pHeap ? m_pHeap->Alloc(static_cast<uint32_t>(parameters.size())) : 0;
    void* pBlock = hBlock ? m_pHeap->Data(hBlock) : nullptr;
    if (!pBlock)
        return false;
    std::memcpy(pBlock, parameters.data(), parameters.size());
    treatment.pData = hBlock;
    treatment.nDataSize = static_cast<uint32_t>(parameters.size());
    return true;
}

int CTreatmentComponent::DefineTreatments(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pStands, int)
{
    auto* pSelection = pData ? static_cast<STreatmentData*>(pData->pData) : nullptr;
    if (!pSelection || !pSelection->pYears || !pSelection->pStands || !pSelection->pTreatments)
        return 0;
    std::set<std::string> checked;
    std::vector<std::string> handedIn;
    if (pStands)
        for (int i = 0, n = pStands->GetSize(); i < n; ++i)
            if (auto* pStand = static_cast<const STreatmentDataStand*>(pStands->GetAt(i, 0)))
            {
                handedIn.push_back(FieldText(pStand->szStand, sizeof pStand->szStand));
                checked.insert(handedIn.back());
            }
    // Without the project's stand list the stands handed in are all there is to offer.
    std::vector<std::string> stands = ProjectStands(pData->pPortData);
    if (stands.empty())
        stands = handedIn;

    CTreatmentDlg dialog(*this, ETreatmentDlgMode::NewNormal, m_pSpeciesMap);
    dialog.SetChoices(ProjectYears(pData->pPortData, pSelection->pnEndYear), std::move(stands), checked);
    STreatmentDataTreatment treatment;
    if (dialog.DoModal() != IDOK || !MakeTreatment(dialog.Name(), dialog.Description(), dialog.Parameters(), treatment))
        return 0;
    bool bAdded = true;
    for (int32_t nYear : dialog.ChosenYears())
        bAdded = bAdded && pSelection->pYears->Add(&nYear);
    for (const std::string& stand : dialog.ChosenStands())
    {
        STreatmentDataStand element = {};
        WoxCopyText(element.szStand, stand.c_str());
        bAdded = bAdded && pSelection->pStands->Add(&element);
    }
    if (!bAdded || !pSelection->pTreatments->Add(&treatment))
    {
        // Nothing half-done: the selection stays empty and the new block goes.
        pSelection->pYears->RemoveAll(0);
        pSelection->pStands->RemoveAll(0);
        pSelection->pTreatments->RemoveAll(0);
        m_pHeap->Free(treatment.pData);
        return 0;
    }
    return 1;
}

int CTreatmentComponent::DefineTriggeredTreatment(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2>, int)
{
    auto* pSelection = pData ? static_cast<STreatmentData*>(pData->pData) : nullptr;
    if (!pSelection || !pSelection->pTreatments)
        return 0;
    CTreatmentDlg dialog(*this, ETreatmentDlgMode::TriggeredPart, m_pSpeciesMap);
    STreatmentDataTreatment treatment;
    if (dialog.DoModal() != IDOK || !MakeTreatment(dialog.Name(), dialog.Description(), dialog.Parameters(), treatment))
        return 0;
    if (!pSelection->pTreatments->Add(&treatment))
    {
        m_pHeap->Free(treatment.pData);
        return 0;
    }
    return 1;
}

int CTreatmentComponent::ModifyTreatment(SComponentData* pData, int)
{
    auto* pSelection = pData ? static_cast<STreatmentData*>(pData->pData) : nullptr;
    auto* pHanded = pSelection && pSelection->pTreatments ? static_cast<const STreatmentDataTreatment*>(pSelection->pTreatments->GetAt(0, 0)) : nullptr;
    if (!pHanded)
        return 0;
    const STreatmentDataTreatment original = *pHanded;
    const void* pBlock = m_pHeap && original.pData ? m_pHeap->Data(original.pData) : nullptr;
    const uint32_t nBlockSize = pBlock ? std::min(original.nDataSize, m_pHeap->Size(original.pData)) : 0;

    CTreatmentDlg dialog(*this, ETreatmentDlgMode::Modify, m_pSpeciesMap);
    dialog.SetTreatment(FieldText(original.szName, sizeof original.szName), FieldText(original.szDescription, sizeof original.szDescription),
                        ParametersOf(pBlock, nBlockSize));
    if (dialog.DoModal() != IDOK)
        return 0;

    STreatmentDataTreatment changed = original;
    WoxCopyText(changed.szName, dialog.Name().c_str());
    WoxCopyText(changed.szDescription, dialog.Description().c_str());
    // Unchanged parameters keep the block handed in; changed ones go into a new block.
    const std::vector<unsigned char>& parameters = dialog.Parameters();
    const bool bSameBlock = pBlock && nBlockSize == parameters.size() && std::memcmp(pBlock, parameters.data(), parameters.size()) == 0;
    if (!bSameBlock)
    {
        STreatmentDataTreatment withBlock;
        if (!MakeTreatment(dialog.Name(), dialog.Description(), parameters, withBlock))
            return 0;
        changed.pData = withBlock.pData;
        changed.nDataSize = withBlock.nDataSize;
    }
    if (!pSelection->pTreatments->SetAt(0, 0, &changed))
    {
        if (!bSameBlock)
            m_pHeap->Free(changed.pData);
        return 0;
    }
    return 1;
}
