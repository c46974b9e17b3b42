#include "EditorAddTreatmentTd.h"

#include <cstring>

#include <string>

#include "EditorTaskSupport.h"
#include "EditorViewText.h"
#include "HostObject.h"
#include "ScenarioFile.h"
#include "ScenarioRecords.h"
#include "WoxText.h"

CEditorAddTreatmentTd::CEditorAddTreatmentTd(HWOXHEAP hHeapIn) : CWoxThreadBase(hHeapIn), hTaskHeap(hHeapIn) {}

CEditorAddTreatmentTd::~CEditorAddTreatmentTd()
{
    // The body uses this object's members: it must have ended before they go.
    StopAndWait();
    if (IsInitialized())
        StopThread(1);
}

int CEditorAddTreatmentTd::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn,
                                      IDynamicPtrTemplate<IPortData> pPortDataIn, HWOXWND hGridIn, HWOXWND hTreeIn, int nViewTypeIn,
                                      int nViewByIn, int bHideUntreatedIn, IDynamicPtrTemplate<IArrayExt2> pTreatmentsIn)
{
    if (!InitThread(pLibMgrIn, pRegistryIn, pErrorReporterIn))
        return 0;
    pTaskLibMgr = pLibMgrIn;
    pTaskRegistry = pRegistryIn;
    pTaskErrorReporter = pErrorReporterIn;
    pPortData = pPortDataIn;
    hGrid = hGridIn;
    hTree = hTreeIn;
    nViewType = nViewTypeIn;
    nViewBy = nViewByIn;
    bHideUntreated = bHideUntreatedIn;
    pTreatments = pTreatmentsIn;
    if (!pPortData || !WoxLoadHostLibrary(pTaskLibMgr, pTaskRegistry, "Data Controller Library", szDataController, hDataController))
        return 0;
    if (!WoxCreateHostObject<PFN_CreateQueue2>(hDataController, "CreateQueue2", pQueue, hTaskHeap) ||
        !pQueue->Initialize(pTaskLibMgr, pTaskRegistry, pTaskErrorReporter, sizeof(SScenarioTreatment)))
        return 0;
    project = SProjectInfo{};
    return pPortData->GetProjectInfo(&project) ? 1 : 0;
}

void CEditorAddTreatmentTd::SetHideUntreated(int bHide)
{
    CWoxRunMutexLock lock(RunMutex());
    bHideUntreated = bHide;
}

void CEditorAddTreatmentTd::SetViewBy(int nViewByIn)
{
    CWoxRunMutexLock lock(RunMutex());
    nViewBy = nViewByIn;
}

void CEditorAddTreatmentTd::SetViewType(int nViewTypeIn)
{
    CWoxRunMutexLock lock(RunMutex());
    nViewType = nViewTypeIn;
}

int CEditorAddTreatmentTd::AddNormalTreatments(const STreatmentData& selection)
{
    if (!pQueue || !selection.pYears || !selection.pStands || !selection.pTreatments)
        return 0;
    const int nYears = selection.pYears->GetSize();
    const int nStands = selection.pStands->GetSize();
    const int nTreatments = selection.pTreatments->GetSize();
    for (int y = 0; y < nYears; ++y)
    {
        const auto* pYear = static_cast<const int32_t*>(selection.pYears->GetAt(y, 0));
        for (int s = 0; pYear && s < nStands; ++s)
        {
            const auto* pStand = static_cast<const STreatmentDataStand*>(selection.pStands->GetAt(s, 0));
            for (int t = 0; pStand && t < nTreatments; ++t)
            {
                const auto* pTreatment = static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(t, 0));
                if (!pTreatment)
                    continue;
                SScenarioTreatment record{};
                ResetTriggerPart(record);
                record.nYear = *pYear;
                WoxCopyText(record.szStand, sizeof(record.szStand), pStand->szStand);
                record.treatment = *pTreatment;
                // Every record owns its parameter block: modifying or deleting one record frees
                // its block, so records made from one treatment must not share it.
                record.treatment.pData = CopyTreatmentBlock(hTaskHeap, pTreatment->pData);
                if ((pTreatment->pData && !record.treatment.pData) || !pQueue->Push(&record))
                {
                    hTaskHeap->Free(record.treatment.pData);
                    return 0;
                }
            }
        }
    }
    return 1;
}

int CEditorAddTreatmentTd::AddTreatments(IDynamicPtrTemplate<IArrayExt2> pRecords)
{
    if (!pQueue || !pRecords)
        return 0;
    const int nCount = pRecords->GetSize();
    for (int i = 0; i < nCount; ++i)
    {
        const void* pRecord = pRecords->GetAt(i, 0);
        if (pRecord && !pQueue->Push(pRecord))
            return 0;
    }
    pRecords.Clear();
    return 1;
}

int CEditorAddTreatmentTd::QueuedCount()
{
    return pQueue ? pQueue->GetSize() : 0;
}

int CEditorAddTreatmentTd::RunThread()
{
    CWoxRunScope run(*this);
    if (!run.Begin())
        return 1;
    if (!pQueue)
        return 0;
    for (;;)
    {
        const auto* pHead = static_cast<const SScenarioTreatment*>(pQueue->WaitHead(-1, StopEvent()));
        if (!pHead)
            return 0;
        const SScenarioTreatment record = *pHead;
        ShowRecord(record);
        if (pTreatments)
            pTreatments->Add(&record);
        pQueue->RemoveHead();
    }
}

bool CEditorAddTreatmentTd::ShowRecord(const SScenarioTreatment& record)
{
    const std::string stand = WoxRecordStand(record);
    const std::string name = WoxRecordName(record);
    const std::string description = WoxRecordDescription(record);
    std::string label;
    if (!record.bTriggered)
        label = nViewType == WOX_VIEW_GRID ? WoxDisplayText("%s", name.c_str())
                                           : WoxDisplayText("%s (%s)", name.c_str(), description.c_str());
    else
        label = nViewType == WOX_VIEW_GRID
                    ? WoxDisplayText("%s (Triggered)", name.c_str())
                    : WoxDisplayText("%s (Triggered): %s (%s)", WoxConditionText(record).c_str(), name.c_str(), description.c_str());
    bool bShown = true;
    WoxForEachShownYear(record, project.nPeriodLength, [&](int nYear) {
        bShown = WoxPostViewItem(nViewType, nViewBy, hTree, hGrid, nYear, stand.c_str(), label.c_str());
        return bShown;
    });
    return bShown;
}
