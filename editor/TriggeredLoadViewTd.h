#pragma once
// The triggered treatment dialog's stand list task: lists the project's stands into the dialog's
// stand list, the stand given at initialisation shown selected. Runs on a pool thread and only
// posts insert requests to the list window; never touches the dialog.

#include "PortData.h"
#include "ThreadBase.h"
#include "Wnd.h"

class CTriggeredLoadViewTd final : public CWoxThreadBase
{
public:
    explicit CTriggeredLoadViewTd(HWOXHEAP hHeap);
    // Stops a run in progress and waits for it before the members it uses go.
    ~CTriggeredLoadViewTd() override;

    // InitThread, the arguments (the stand copied to at most 30 characters; none = no stand
    // selected), and the Data Controller Library. 0 on any failure. Dialog thread.
    int Initialize(IWoxLibMgr* pLibMgr, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter, IDynamicPtrTemplate<IPortData> pPortData,
                   HWOXWND hStandList, const char* pszSelectStand);

    int RunThread() override;

private:
    char szSelectStand[30];
    HWOXMODULE hDataController = nullptr;
    HWOXWND hStandList = 0;
    IDynamicPtrTemplate<IPortData> pPortData;
    char szDataController[WOX_MAX_PATH];
};
