// The per-period run: hands every due record to its treatment component and notifies the host.

#include "ScenarioImp.h"
#include "ScenarioRecords.h"
#include "WoxText.h"

namespace
{
// An end year below this counts as unset.
constexpr int32_t kFirstValidEndYear = 100;
constexpr int32_t kMessageTreated = 9;
constexpr int kTreatedStandsObject = 2;

// Holds the counted reference that the port data field of a built SComponentData carries.
class CPortDataReference
{
public:
    explicit CPortDataReference(IPortData* pPortData) : m_pPortData(pPortData)
    {
        if (m_pPortData)
            m_pPortData->AddReference();
    }
    CPortDataReference(const CPortDataReference&) = delete;
    CPortDataReference& operator=(const CPortDataReference&) = delete;
    ~CPortDataReference()
    {
        if (m_pPortData)
            m_pPortData->Release();
    }

private:
    IPortData* m_pPortData;
};

// A triggered record is not tried after its end year once that year is set (100 or later); it
// stays in the list. The editor shows the record only from nYear to nEndYear, so the run keeps
// to the same range.
bool PastEndYear(const SScenarioTreatment& record, int32_t nRunYear)
{
    return record.nEndYear >= kFirstValidEndYear && nRunYear > record.nEndYear;
}
}

int CScenarioImp::RunComponent(SComponentData* pData, IWoxView* pView)
{
    // The run needs the scenario, the port data with its treated-stands object, the treatment
    // list and the view; without any of them it applies nothing.
    if (!pData || !pData->pData || !pData->pPortData || !pView)
        return 0;
    SScenarioData* pScenario = static_cast<SScenarioData*>(pData->pData);
    IPortData* pPortData = pData->pPortData;
    IWoxPortObject* pPortObject = pPortData->GetPortObject(kTreatedStandsObject);
    if (!pPortObject)
        return 0;
    IDynamicPtrTemplate<IArrayExt2> pList = pScenario->pTreatments;
    if (!pList)
        return 0;

    STreatmentData treatmentData;
    if (!CreateArrayLong(treatmentData.pYears) || !CreateArrayTreatmentDataStand(treatmentData.pStands) ||
        !CreateArrayTreatmentDataTreatment(treatmentData.pTreatments))
        return 0;

    SComponentData componentData = {};
    componentData.pData = &treatmentData;
    componentData.pPortData = pPortData;
    CPortDataReference portDataReference(pPortData);
    componentData.nPassThrough = pData->nPassThrough;

    const int32_t nRunYear = pScenario->nRunYear;
    // Built once per run: only the stand identifier is rewritten per record.
    SStandMessage message;
    message.nType = kMessageTreated;
    message.nYear = nRunYear;
    message.nValue = 0;
    STreatmentDataStand stand = {};
    IDynamicPtrTemplate<IDynamic> pComponent;

    int n = pList->GetSize();
    for (int i = 0; i < n;)
    {
        SScenarioTreatment* pRecord = static_cast<SScenarioTreatment*>(pList->GetAt(i, 0));
        if (!pRecord || pRecord->nYear > nRunYear)
        {
            ++i;
            continue;
        }
        const bool bTriggered = pRecord->bTriggered != 0;
        if (bTriggered && (PastEndYear(*pRecord, nRunYear) || !CheckTrigger(pPortData, pRecord, nRunYear)))
        {
            ++i;
            continue;
        }
        const bool bKeep = bTriggered && (pRecord->nFlags & WOX_TREATMENT_ALLOW_MULTIPLE) != 0;

        WoxCopyText(stand.szStand, sizeof(stand.szStand), pRecord->szStand);
        treatmentData.pYears->Add(&nRunYear);
        treatmentData.pStands->Add(&stand);
        treatmentData.pTreatments->Add(&pRecord->treatment);

        WoxCopyText(message.szStand, sizeof(pRecord->szStand), pRecord->szStand);
        if (!pPortData->CheckStandMessage(&message))
            return 0;

        pComponent = m_pCompMgr ? m_pCompMgr->GetComponent(pRecord->treatment.guidComponent) : nullptr;
        ITreatmentComponent* pTreatment = static_cast<ITreatmentComponent*>(pComponent.Get());
        bool bRemoved = false;
        const bool bApplied = pTreatment && pTreatment->RunComponent(&componentData, &message);
        if (bTriggered && m_pTriggerObserver)
            m_pTriggerObserver->TriggeredTreatmentRun(*pRecord, nRunYear, bApplied ? 1 : 0);
        if (bApplied)
        {
            pPortData->SendStandMessage(message);
            pView->ShowStandMessage(&message);
            char szStand[sizeof(message.szStand) + 1];
            WoxFieldToString(szStand, sizeof(szStand), message.szStand, sizeof(message.szStand));
            pPortObject->StandTreated(message.nYear, szStand);
            // The next record moves to index i, so the walk stays in place.
            if (!bKeep && pList->RemoveAt(i, 1))
            {
                bRemoved = true;
                --n;
            }
        }
        if (!bRemoved)
            ++i;

        treatmentData.pYears->RemoveAll(0);
        treatmentData.pStands->RemoveAll(0);
        treatmentData.pTreatments->RemoveAll(0);
    }
    return 1;
}
