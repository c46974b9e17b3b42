#include "EditorBase.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "HostObject.h"
#include "TreatmentTypeDlg.h"
#include "TriggeredDlg.h"
#include "WoxHeap.h"
#include "WoxText.h"

namespace
{
constexpr int kComponentEntrySize = sizeof(SComponentListEntry);
constexpr int kTreatmentComponents = WOX_DESIGNATOR_TREATMENT;

int ClampCount(int32_t nCount, int nMax) { return std::clamp<int>(nCount, 0, nMax); }

bool SameBounds(const SScenarioTriggerSpec& a, const SScenarioTriggerSpec& b)
{
    return a.dDbhMax == b.dDbhMax && a.dDbhMin == b.dDbhMin && a.dHeightMax == b.dHeightMax && a.dHeightMin == b.dHeightMin;
}
}

CEditorBase::CEditorBase(HWOXHEAP hHeap) : m_hHeap(hHeap) {}

CEditorBase::~CEditorBase()
{
    m_scenario.pTreatments.Clear();
    m_pPortData.Clear();
}

int CEditorBase::Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, ICompMgr* pCompMgr, IWoxThreadPool* pThreadPool,
                            ISpeciesMap* pSpeciesMap, IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData)
{
    m_pLibMgr = pLibMgr;
    m_pRegistry = pRegistry;
    m_pCompMgr = pCompMgr;
    m_pThreadPool = pThreadPool;
    m_pSpeciesMap = pSpeciesMap;
    m_pErrorReporter = pErrorReporter;
    m_pPortData = pPortData;
    return WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "Data Controller Library", m_szDataController, m_hDataController) ? 1 : 0;
}

int CEditorBase::CreateArray(int nElementSize, IDynamicPtrTemplate<IArrayExt2>& pArray)
{
    return WoxCreateArrayExt2(m_hDataController, m_hHeap, m_pLibMgr, m_pRegistry, m_pErrorReporter, nElementSize, pArray) ? 1 : 0;
}

int CEditorBase::CreateComponentArray(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArray(kComponentEntrySize, pArray); }

int CEditorBase::CreateYearArray(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArray(sizeof(int32_t), pArray); }

int CEditorBase::CreateTreatmentArray(IDynamicPtrTemplate<IArrayExt2>& pArray)
{
    if (!m_hDataController && !WoxLoadHostLibrary(m_pLibMgr, m_pRegistry, "Data Controller Library", m_szDataController, m_hDataController))
        return 0;
    return CreateArray(sizeof(SScenarioTreatment), pArray);
}

int CEditorBase::CreateStandArray(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArray(sizeof(STreatmentDataStand), pArray); }

int CEditorBase::CreateTreatmentDataArray(IDynamicPtrTemplate<IArrayExt2>& pArray)
{
    return CreateArray(sizeof(STreatmentDataTreatment), pArray);
}

int CEditorBase::BuildTreatmentTypes(IDynamicPtrTemplate<IArrayExt2>& pList)
{
    IDynamicPtrTemplate<IArrayExt2> pComponents;
    if (!pList || !m_pPortData || !CreateComponentArray(pComponents) || !m_pPortData->GetComponentList(kTreatmentComponents, pComponents, 1))
        return 0;

    auto listed = [&](const GUID& guid) {
        for (int i = 0, n = pList->GetSize(); i < n; ++i)
            if (auto* pEntry = static_cast<const STreatmentTypeEntry*>(pList->GetAt(i, 0)); pEntry && pEntry->guidComponent == guid)
                return true;
        return false;
    };
    // Appends the component's entry unless listed; false when the component is missing or cannot
    // describe itself, which ends the pass.
    auto append = [&](const GUID& guid) {
        if (listed(guid))
            return true;
        IDynamicPtrTemplate<IDynamic> pObject = m_pCompMgr ? m_pCompMgr->GetComponent(guid) : nullptr;
        auto* pComponent = static_cast<IComponent*>(pObject.Get());
        STreatmentTypeEntry entry = {};
        entry.guidComponent = guid;
        if (!pComponent || !pComponent->GetDisplayInfo(&entry.display))
            return false;
        pList->Add(&entry);
        return true;
    };

    for (int i = 0, n = pComponents->GetSize(); i < n; ++i)
        if (auto* pEntry = static_cast<const SComponentListEntry*>(pComponents->GetAt(i, 0)); pEntry && !append(pEntry->guidComponent))
            break;
    // Treatment types the scenario already uses count even when the project does not list them.
    if (IArrayExt2* pTreatments = m_scenario.pTreatments.Get())
        for (int i = 0, n = pTreatments->GetSize(); i < n; ++i)
            if (auto* pRecord = static_cast<const SScenarioTreatment*>(pTreatments->GetAt(i, 0));
                pRecord && !append(pRecord->treatment.guidComponent))
                break;
    return 1;
}

IDynamicPtrTemplate<IDynamic> CEditorBase::ChooseTreatmentComponent()
{
    CTreatmentTypeDlg dialog(m_hHeap);
    IDynamicPtrTemplate<IArrayExt2> pTypes;
    if (!dialog.Initialize(m_pLibMgr, m_pCompMgr, m_pRegistry, m_pErrorReporter, m_pPortData) || !CreateTreatmentDataArray(pTypes) ||
        !BuildTreatmentTypes(pTypes))
        return {};
    GUID guid = {};
    const int nTypes = pTypes->GetSize();
    if (nTypes >= 2)
    {
        // The dialog lists the project's components by itself; the list above only counts them.
        if (dialog.DoModal() == IDOK)
            dialog.GetTreatmentType(&guid);
    }
    else if (nTypes == 1)
    {
        if (auto* pEntry = static_cast<const STreatmentTypeEntry*>(pTypes->GetAt(0, 0)))
            guid = pEntry->guidComponent;
    }
    if (guid == GUID{} || !m_pCompMgr)
        return {};
    IDynamicPtrTemplate<IDynamic> pComponent;
    pComponent = m_pCompMgr->GetComponent(guid);
    return pComponent;
}

int CEditorBase::SelectNormalTreatments(STreatmentData* pSelection, IDynamicPtrTemplate<IArrayExt2> pStands)
{
    if (!pSelection)
        return 0;
    pSelection->bYears = pSelection->bStands = pSelection->bTreatments = 1;
    delete pSelection->pnEndYear;
    pSelection->pnEndYear = nullptr;
    if (!CreateYearArray(pSelection->pYears) || !CreateStandArray(pSelection->pStands) || !CreateTreatmentDataArray(pSelection->pTreatments))
        return 0;
    pSelection->pnEndYear = new (std::nothrow) int32_t(m_scenario.info.nEndYear);
    if (!pSelection->pnEndYear)
        return 0;

    IDynamicPtrTemplate<IDynamic> pObject = ChooseTreatmentComponent();
    auto* pComponent = static_cast<ITreatmentComponent*>(pObject.Get());
    if (!pComponent)
        return 0;
    SComponentData data = {};
    data.pData = pSelection;
    data.pPortData = m_pPortData.Get();
    return pComponent->DefineTreatments(&data, pStands, 0) ? 1 : 0;
}

int CEditorBase::SelectTriggeredTreatments(STreatmentData* pSelection)
{
    if (!pSelection)
        return 0;
    pSelection->bYears = pSelection->bStands = 0;
    pSelection->bTreatments = 1;
    delete pSelection->pnEndYear;
    pSelection->pnEndYear = nullptr;
    pSelection->pYears.Clear();
    pSelection->pStands.Clear();
    if (!CreateTreatmentDataArray(pSelection->pTreatments))
        return 0;

    IDynamicPtrTemplate<IDynamic> pObject = ChooseTreatmentComponent();
    auto* pComponent = static_cast<ITreatmentComponent*>(pObject.Get());
    if (!pComponent)
        return 0;
    SComponentData data = {};
    data.pData = pSelection;
    data.pPortData = m_pPortData.Get();
    return pComponent->DefineTriggeredTreatment(&data, IDynamicPtrTemplate<IArrayExt2>(), 0) ? 1 : 0;
}

int CEditorBase::ModifyTreatments(IArrayExt2* pRecords)
{
    if (!pRecords)
        return 0;
    for (int i = 0, n = pRecords->GetSize(); i < n; ++i)
    {
        auto* pElement = static_cast<const SScenarioTreatment*>(pRecords->GetAt(i, 0));
        if (!pElement)
            continue;
        // A copy: pRecords may be the scenario's own array, whose elements a modification rewrites.
        const SScenarioTreatment record = *pElement;
        if (!record.bTriggered)
            ModifyNormalTreatment(record);
        else if (!ModifyTriggeredTreatment(record))
            return 0;
    }
    return 1;
}

void CEditorBase::ModifyNormalTreatment(const SScenarioTreatment& record)
{
    IDynamicPtrTemplate<IDynamic> pObject;
    if (m_pCompMgr)
        pObject = m_pCompMgr->GetComponent(record.treatment.guidComponent);
    auto* pComponent = static_cast<ITreatmentComponent*>(pObject.Get());
    STreatmentData selection;
    if (!pComponent || !CreateTreatmentDataArray(selection.pTreatments) || !selection.pTreatments->Add(&record.treatment))
        return;
    selection.bTreatments = 1;
    SComponentData data = {};
    data.pData = &selection;
    data.pPortData = m_pPortData.Get();
    if (!pComponent->ModifyTreatment(&data, 0))
        return;
    auto* pChanged = static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(0, 0));
    if (!pChanged)
        return;
    STreatmentDataTreatment changed = *pChanged;
    changed.guidComponent = record.treatment.guidComponent;

    // The whole changed treatment (name, description, parameter block) replaces the record's
    // treatment part in the scenario; year, stand and trigger part stay. A component never writes
    // into the block it was handed: changed parameters come in a new block, so the block replaced
    // here is freed, and a new block that finds no record to go into is freed instead.
    int nIndex = -1;
    IArrayExt2* pTreatments = m_scenario.pTreatments.Get();
    auto* pStored = pTreatments && FindTreatment(pTreatments, record, &nIndex) ? static_cast<const SScenarioTreatment*>(pTreatments->GetAt(nIndex, 0))
                                                                               : nullptr;
    if (!pStored)
    {
        if (changed.pData != record.treatment.pData && m_hHeap)
            m_hHeap->Free(changed.pData);
        return;
    }
    const SScenarioTreatment old = *pStored;
    SScenarioTreatment stored = old;
    stored.treatment = changed;
    if (!pTreatments->SetAt(nIndex, 0, &stored))
    {
        if (changed.pData != old.treatment.pData && m_hHeap)
            m_hHeap->Free(changed.pData);
        return;
    }
    OnRecordReplaced(nIndex, old, stored);
    OnScenarioModified();
}

void CEditorBase::OnRecordReplaced(int, const SScenarioTreatment& old, const SScenarioTreatment& now)
{
    if (old.treatment.pData != now.treatment.pData && m_hHeap)
        m_hHeap->Free(old.treatment.pData);
}

void CEditorBase::OnRecordRemoved(int, const SScenarioTreatment& old)
{
    if (old.treatment.pData && m_hHeap)
        m_hHeap->Free(old.treatment.pData);
}

int CEditorBase::ModifyTriggeredTreatment(const SScenarioTreatment& record)
{
    IArrayExt2* pTreatments = m_scenario.pTreatments.Get();
    IDynamicPtrTemplate<IArrayExt2> pGroup;
    if (!pTreatments || !CreateTreatmentArray(pGroup))
        return 0;
    std::vector<int> storedAt;   // the scenario index of each group record
    for (int i = 0, n = pTreatments->GetSize(); i < n; ++i)
        if (auto* pOther = static_cast<const SScenarioTreatment*>(pTreatments->GetAt(i, 0)); pOther && SameTriggers(record, *pOther) && pGroup->Add(pOther))
            storedAt.push_back(i);

    IDynamicPtrTemplate<IArrayExt2> pResults;
    std::vector<int> sources;
    const int nResult = EditTriggeredGroup(pGroup, pResults, sources);
    if (nResult < 0)
        return 0;
    if (nResult == 0 || !pResults)
        return 1;

    // Each result overwrites, in place, the stored record it was made from: its years may have
    // been unset in the file and are set now, so the stored record is found by where it was, not
    // by its identity. Group records no result came from were deleted in the dialog.
    const int nGroup = static_cast<int>(storedAt.size());
    std::vector<char> kept(storedAt.size(), 0);
    bool bChanged = false;
    for (int j = 0, n = pResults->GetSize(); j < n; ++j)
    {
        auto* pResult = static_cast<const SScenarioTreatment*>(pResults->GetAt(j, 0));
        if (!pResult)
            continue;
        int nSource = -1;
        if (j < static_cast<int>(sources.size()))
            nSource = sources[j];
        else if (sources.empty())
            FindTreatment(pGroup.Get(), *pResult, &nSource);
        auto* pSource = nSource >= 0 && nSource < nGroup && !kept[nSource] ? static_cast<const SScenarioTreatment*>(pGroup->GetAt(nSource, 0)) : nullptr;
        const int nIndex = pSource ? storedAt[nSource] : -1;
        auto* pStored = nIndex >= 0 ? static_cast<const SScenarioTreatment*>(pTreatments->GetAt(nIndex, 0)) : nullptr;
        if (!pStored || std::memcmp(pStored, pSource, sizeof *pStored) != 0)
        {
            // Nowhere to go: a block the dialog made for it is dropped, a stored record's stays.
            if ((!pSource || pResult->treatment.pData != pSource->treatment.pData) && m_hHeap)
                m_hHeap->Free(pResult->treatment.pData);
            continue;
        }
        kept[nSource] = 1;
        const SScenarioTreatment old = *pStored;
        if (std::memcmp(&old, pResult, sizeof old) == 0 || !pTreatments->SetAt(nIndex, 0, pResult))
            continue;
        OnRecordReplaced(nIndex, old, *pResult);
        bChanged = true;
    }
    for (int s = nGroup - 1; s >= 0; --s)
    {
        auto* pStored = kept[s] ? nullptr : static_cast<const SScenarioTreatment*>(pTreatments->GetAt(storedAt[s], 0));
        if (!pStored)
            continue;
        const SScenarioTreatment old = *pStored;
        if (std::memcmp(&old, pGroup->GetAt(s, 0), sizeof old) != 0 || !pTreatments->RemoveAt(storedAt[s], 1))
            continue;
        OnRecordRemoved(storedAt[s], old);
        bChanged = true;
    }
    if (bChanged)
        OnScenarioModified();
    return 1;
}

int CEditorBase::EditTriggeredGroup(IDynamicPtrTemplate<IArrayExt2> pGroup, IDynamicPtrTemplate<IArrayExt2>& pResults, std::vector<int>& sources)
{
    return pGroup ? RunTriggeredDialog(pGroup.Get(), 1, pResults, &sources) : -1;
}

int CEditorBase::DefineTriggeredTreatments(IDynamicPtrTemplate<IArrayExt2>& pRecords)
{
    return RunTriggeredDialog(nullptr, 0, pRecords, nullptr);
}

int CEditorBase::RunTriggeredDialog(IArrayExt2* pSource, int bEditMode, IDynamicPtrTemplate<IArrayExt2>& pResults, std::vector<int>* pSources)
{
    // A window deriving publicly from this base parents the new one; otherwise the modal window
    // that is up (the editor window) does.
    CTriggeredDlg dialog(m_hHeap, dynamic_cast<CWnd*>(this));
    if (!dialog.Initialize(m_pLibMgr, m_pRegistry, m_pCompMgr, m_pThreadPool, m_pSpeciesMap, m_pErrorReporter, m_pPortData, &m_scenario, pSource,
                           bEditMode))
        return -1;
    if (dialog.DoModal() != IDOK)
        return 0;
    pResults = dialog.GetTreatments();
    if (pSources)
        *pSources = dialog.GetSourceRows();
    return 1;
}

bool CEditorBase::SameTriggers(const SScenarioTreatment& a, const SScenarioTreatment& b)
{
    if (a.nTriggers != b.nTriggers)
        return false;
    for (int i = 0, n = ClampCount(a.nTriggers, WOX_SCENARIO_MAX_TRIGGERS); i < n; ++i)
    {
        const SScenarioTriggerSpec& ta = a.triggers[i];
        const SScenarioTriggerSpec& tb = b.triggers[i];
        if (WoxCompareText(ta.szLibrary, tb.szLibrary, WOX_MAX_PATH) != 0 || WoxCompareText(ta.szVariable, tb.szVariable, 50) != 0 ||
            ta.dValue != tb.dValue || ta.nOperator != tb.nOperator || a.nEndYear != b.nEndYear || !SameBounds(ta, tb))
            return false;
        for (int s = 0, nSpecies = ClampCount(ta.nSpecies, WOX_SCENARIO_MAX_SPECIES); s < nSpecies; ++s)
            if (WoxCompareText(ta.szSpecies[s], tb.szSpecies[s], sizeof ta.szSpecies[s]) != 0)
                return false;
    }
    return true;
}

bool CEditorBase::FindTreatment(IArrayExt2* pArray, const SScenarioTreatment& record, int* pnIndex)
{
    if (!pArray)
        return false;
    for (int i = 0, n = pArray->GetSize(); i < n; ++i)
    {
        auto* p = static_cast<const SScenarioTreatment*>(pArray->GetAt(i, 0));
        if (p && p->nYear == record.nYear && p->nEndYear == record.nEndYear &&
            WoxCompareText(p->szStand, record.szStand, sizeof p->szStand) == 0 &&
            WoxCompareText(p->treatment.szName, record.treatment.szName, sizeof p->treatment.szName) == 0 &&
            p->treatment.guidComponent == record.treatment.guidComponent)
        {
            if (pnIndex)
                *pnIndex = i;
            return true;
        }
    }
    return false;
}
