#include "TriggeredSaveTd.h"

#include <algorithm>
#include <cstring>

#include "Files.h"
#include "HostObject.h"
#include "ScenarioRecords.h"
#include "WoxText.h"

namespace
{
// A year below this is unset in a record.
constexpr int kUnsetYear = 100;

// Closes the progress window when the body leaves, by any path, so the dialog's thread waiting in
// its DoModal always gets back.
class CCloseProgress
{
public:
    explicit CCloseProgress(IProgressDlg* pProgress) : m_pProgress(pProgress) {}
    ~CCloseProgress()
    {
        if (m_pProgress)
            m_pProgress->Close();
    }
    CCloseProgress(const CCloseProgress&) = delete;
    CCloseProgress& operator=(const CCloseProgress&) = delete;

private:
    IProgressDlg* m_pProgress;
};
} // namespace

CTriggeredSaveTd::CTriggeredSaveTd(HWOXHEAP hHeapIn) : CWoxThreadBase(hHeapIn), szDataController{} {}

CTriggeredSaveTd::~CTriggeredSaveTd()
{
    StopAndWait();
    if (IsInitialized())
        StopThread(1);
}

int CTriggeredSaveTd::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn,
                                 IDynamicPtrTemplate<IProgressDlg> pProgressIn, IDynamicPtrTemplate<IArrayExt2> pStandsIn,
                                 const SScenarioTreatment* pTemplateIn, IDynamicPtrTemplate<IArrayExt2> pTreatmentsIn)
{
    if (!InitThread(pLibMgrIn, pRegistryIn, pErrorReporterIn) || !pProgressIn || !pStandsIn || !pTemplateIn || !pTreatmentsIn)
        return 0;
    pProgress = pProgressIn;
    pStands = pStandsIn;
    pTemplate = pTemplateIn;
    pTreatments = pTreatmentsIn;
    return WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", szDataController, hDataController) ? 1 : 0;
}

int CTriggeredSaveTd::RunThread()
{
    Build();
    // The run has ended (its scope is gone) and the pool does not touch the task after this call.
    delete this;
    return 0;
}

void CTriggeredSaveTd::Build()
{
    CCloseProgress close(pProgress.Get());
    CWoxRunScope run(*this);
    if (!run.Begin())
        return;
    while (!pProgress->IsReady())
    {
        if (IsStopRequested())
            return;
        WoxSleep(kReadyPollMs);
    }

    const int nStands = m_bKeepIdentity ? 1 : pStands->GetSize();
    const long long nSteps = static_cast<long long>(nStands) * pTreatments->GetSize();
    pProgress->SetRange(0, static_cast<int>(std::min<long long>(nSteps, 0x7FFFFFFF)));

    IDynamicPtrTemplate<IArrayExt2> pListed;
    if (!WoxCreateArrayExt2(hDataController, hHeap, pLibMgr, pRegistry, pErrorReporter, sizeof(SScenarioTreatment), pListed))
        return;
    pListed->Copy(pTreatments.Get(), 1);
    pTreatments->RemoveAll(0);

    SScenarioTreatment record;
    std::memset(&record, 0, sizeof record);
    record.nYear = pTemplate->nYear;
    record.bTriggered = 1;
    std::memcpy(reinterpret_cast<char*>(&record) + WOX_TRIGGER_PART_BEGIN, reinterpret_cast<const char*>(pTemplate) + WOX_TRIGGER_PART_BEGIN,
                WOX_TRIGGER_PART_END - WOX_TRIGGER_PART_BEGIN);

    char szText[sizeof record.szStand + 1];
    for (int s = 0; s < nStands; ++s)
    {
        if (!m_bKeepIdentity)
        {
            auto* pszStand = static_cast<const char*>(pStands->GetAt(s, 0));
            if (!pszStand)
                continue;
            WoxCopyText(record.szStand, pszStand);
            WoxFieldToString(szText, sizeof szText, record.szStand, sizeof record.szStand);
            pProgress->SetText(szText);
        }
        for (int t = 0, nListed = pListed->GetSize(); t < nListed; ++t)
        {
            if (IsStopRequested())
                return;
            auto* pListedRecord = static_cast<const SScenarioTreatment*>(pListed->GetAt(t, 0));
            if (!pListedRecord)
                continue;
            if (m_bKeepIdentity)
            {
                std::memcpy(record.szStand, pListedRecord->szStand, sizeof record.szStand);
                record.nYear = pListedRecord->nYear >= kUnsetYear ? pListedRecord->nYear : pTemplate->nYear;
                WoxFieldToString(szText, sizeof szText, record.szStand, sizeof record.szStand);
                pProgress->SetText(szText);
            }
            record.treatment = pListedRecord->treatment;
            pTreatments->Add(&record);
            pProgress->StepIt();
        }
    }
}
