#pragma once
// The Open Scenario dialog's background task: lists the scenario files of the project's scenario
// folder into the dialog's list. For each file that opens it appends the full path to the shared
// path array and then posts the row (name, description) to the list window, so every row the
// user can see has its path. Files that do not open take no row. Runs on a pool thread; never
// touches the list itself.

#include "Containers.h"
#include "PortData.h"
#include "ThreadBase.h"
#include "Wnd.h"

class COpenScenarioLoadViewTd final : public CWoxThreadBase
{
public:
    explicit COpenScenarioLoadViewTd(HWOXHEAP hHeap);
    // Stops a run in progress and waits for it, then lets go of the port data and the array.
    ~COpenScenarioLoadViewTd() override;

    // InitThread, then keeps the rest. 0 when InitThread fails or an argument is missing.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                   IDynamicPtrTemplate<IPortData> pPortData, HWOXWND hList, IDynamicPtrTemplate<IArrayExt2> pPaths);

    int RunThread() override;

private:
    HWOXWND m_hList = 0;
    IDynamicPtrTemplate<IArrayExt2> m_pPaths;
    IDynamicPtrTemplate<IPortData> m_pPortData;
};
