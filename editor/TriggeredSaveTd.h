#pragma once
// The triggered treatment dialog's save task: builds the result records, one per selected stand
// and listed treatment (stand by stand, within a stand in list order), each with the working
// record's start year and trigger part, while the host's progress dialog shows how far it got.
// Runs once on a pool thread while the dialog's thread waits in the progress dialog's DoModal,
// so the working record does not change meanwhile; the arrays lock themselves. The task closes
// the progress dialog and deletes itself when its run ends, whichever way it ends: nobody else
// holds a pointer to it once it is submitted.

#include "Containers.h"
#include "HostDialogs.h"
#include "ScenarioData.h"
#include "ThreadBase.h"

class CTriggeredSaveTd final : public CWoxThreadBase
{
public:
    explicit CTriggeredSaveTd(HWOXHEAP hHeap);
    ~CTriggeredSaveTd() override;

    // InitThread, the arguments, and the Data Controller Library. 0 on any failure. Dialog thread.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IProgressDlg> pProgress,
                   IDynamicPtrTemplate<IArrayExt2> pStands, const SScenarioTreatment* pTemplate, IDynamicPtrTemplate<IArrayExt2> pTreatments);
    // Edit mode: every listed record keeps its own stand and start year (and gets the working
    // record's trigger part), so each replaces the record it was made from. Dialog thread.
    void SetKeepRecordIdentity(bool bKeep) { m_bKeepIdentity = bKeep; }

    int RunThread() override;

    // How long the task waits between looks at whether the progress window is up.
    static constexpr unsigned int kReadyPollMs = 100;

private:
    // The body without the self-deletion.
    void Build();

    HWOXMODULE hDataController = nullptr;
    IDynamicPtrTemplate<IArrayExt2> pStands;
    IDynamicPtrTemplate<IArrayExt2> pTreatments;
    IDynamicPtrTemplate<IProgressDlg> pProgress;
    const SScenarioTreatment* pTemplate = nullptr;
    char szDataController[WOX_MAX_PATH];
    bool m_bKeepIdentity = false;
};
