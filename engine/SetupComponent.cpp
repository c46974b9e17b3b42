// Simulation set-up: the user chooses a scenario file, whose records become the treatment list.

#include "OpenScenarioDlg.h"
#include "ScenarioFile.h"
#include "ScenarioImp.h"
#include "ScenarioRecords.h"
#include "WoxText.h"

int CScenarioImp::SetupComponent(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2>)
{
    if (!pData || !pData->pData)
        return 0;
    SScenarioData* pScenario = static_cast<SScenarioData*>(pData->pData);
    HWOXHEAP hHeap = static_cast<HWOXHEAP>(m_hHeap);

    COpenScenarioDlg dialog(hHeap, nullptr);
    CScenarioFile file(hHeap);
    if (!dialog.Initialize(m_pLibMgr, m_pThreadPool, m_pRegistry, m_pErrorReporter, IDynamicPtrTemplate<IPortData>(pData->pPortData)))
        return 0;
    if (!file.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter))
        return 0;
    // The block gets a new, empty list; an earlier one is released.
    if (!CreateArrayTreatments(pScenario->pTreatments))
        return 0;
    if (dialog.DoModal() != IDOK)
        return 0;

    WoxCopyText(pScenario->szPath, dialog.GetChosenPath());
    if (!file.Open(pScenario->szPath))
        return 0;
    const bool bRead = file.ReadRecords(pScenario);
    file.Close();
    return bRead ? 1 : 0;
}
