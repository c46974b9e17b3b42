#include "TriggeredLoadViewTd.h"

#include "ControlRequests.h"
#include "HostObject.h"
#include "WoxText.h"

CTriggeredLoadViewTd::CTriggeredLoadViewTd(HWOXHEAP hHeapIn) : CWoxThreadBase(hHeapIn), szSelectStand{}, szDataController{} {}

CTriggeredLoadViewTd::~CTriggeredLoadViewTd()
{
    StopAndWait();
    if (IsInitialized())
        StopThread(1);
}

int CTriggeredLoadViewTd::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn,
                                     IDynamicPtrTemplate<IPortData> pPortDataIn, HWOXWND hStandListIn, const char* pszSelectStand)
{
    if (!InitThread(pLibMgrIn, pRegistryIn, pErrorReporterIn) || !pPortDataIn)
        return 0;
    pPortData = pPortDataIn;
    hStandList = hStandListIn;
    WoxCopyText(szSelectStand, pszSelectStand);
    return WoxLoadHostLibrary(pLibMgr, pRegistry, "Data Controller Library", szDataController, hDataController) ? 1 : 0;
}

int CTriggeredLoadViewTd::RunThread()
{
    CWoxRunScope run(*this);
    if (!run.Begin())
        return 1;
    IDynamicPtrTemplate<IStatusExt> pStands;
    if (!WoxCreateHostObject<PFN_CreateStatusExt>(hDataController, "CreateStatusExt", pStands, hHeap) ||
        !pStands->Initialize(pLibMgr, pRegistry, pErrorReporter) || !pPortData->GetStandList(pStands, 0))
        return 0;
    for (int i = 0, n = pStands->GetSize(); i < n; ++i)
    {
        if (IsStopRequested())
            break;
        const char* pszStand = pStands->GetAt(i);
        if (!pszStand)
            continue;
        LVITEM* pItem = WoxNewListItem(-1, 0, pszStand);
        if (!pItem)
            break;
        pItem->mask = LVIF_TEXT | LVIF_STATE;
        pItem->stateMask = LVIS_SELECTED;
        pItem->state = szSelectStand[0] && WoxCompareText(pszStand, szSelectStand, sizeof szSelectStand) == 0 ? LVIS_SELECTED : 0;
        // A list that is gone takes nothing more.
        if (!WoxPostListItem(hStandList, WM_LVM_INSERTITEMEX, pItem))
            break;
    }
    return 0;
}
