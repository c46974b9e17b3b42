#include "EditorDlg.h"
#include "ScenarioImp.h"

// The Scenario Editor runs modally on the calling host thread; how it was closed does not matter
// to the host.
int CScenarioImp::ShowComponentEditor(SComponentData* pData)
{
    CEditorDlg editor(static_cast<HWOXHEAP>(m_hHeap), nullptr);
    if (!editor.Initialize(m_pLibMgr, m_pThreadPool, m_pCompMgr, m_pRegistry, m_pErrorReporter, m_pSpeciesMap,
                           pData ? pData->pPortData : nullptr))
        return 0;
    editor.DoModal();
    return 1;
}
