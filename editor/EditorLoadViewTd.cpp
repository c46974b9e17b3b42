#include "EditorLoadViewTd.h"

#include <cstring>
#include <string>
#include <vector>

#include "ControlRequests.h"
#include "EditorTaskSupport.h"
#include "EditorViewText.h"
#include "HostObject.h"
#include "ViewPathItem.h"
#include "WoxText.h"

namespace
{

// What a view shows of a record: the head (year, stand, kind) and the treatment always, the
// trigger part (end year, conditions) only for a triggered record. A copy, since the window may
// remove the element while it is shown; a normal record so costs a few hundred bytes, not 8888.
void CopyShownPart(const SScenarioTreatment& from, SScenarioTreatment& to)
{
    std::memcpy(static_cast<void*>(&to), &from, WOX_TRIGGER_PART_BEGIN);
    if (to.bTriggered)
        std::memcpy(reinterpret_cast<char*>(&to) + WOX_TRIGGER_PART_BEGIN, reinterpret_cast<const char*>(&from) + WOX_TRIGGER_PART_BEGIN,
                    WOX_TRIGGER_PART_END - WOX_TRIGGER_PART_BEGIN);
    to.treatment = from.treatment;
}

} // namespace

bool WoxPostViewItem(int nViewType, int nViewBy, HWOXWND hTree, HWOXWND hGrid, int nYear, const char* pszStand, const char* pszLabel)
{
    const SViewPath path = WoxViewPath(nViewType, nViewBy, nYear, pszStand);
    if (nViewType == WOX_VIEW_TREE)
        return WoxPostTreePathItem(hTree, WM_TVM_INSERTPATHITEMEX, WoxNewTreePathItem(path.first.c_str(), path.second.c_str(), pszLabel)) != 0;
    return WoxPostGridPathItem(hGrid, WM_LVM_INSERTPATHITEMEX, WoxNewGridPathItem(path.first.c_str(), path.second.c_str(), pszLabel)) != 0;
}

bool CWoxViewPacer::Pace(CWoxThreadBase& task)
{
    if (m_bGaveUp || ++m_nPosts % kCheckEvery != 0)
        return true;
    size_t nPending = WoxPendingPostedMessages();
    WoxStopEvent pStop = task.StopEvent();
    int nStalledMs = 0;
    while (nPending > kHigh && pStop)
    {
        if (pStop->Wait(1) == 0)
            return false;
        const size_t nNow = WoxPendingPostedMessages();
        if (nNow <= kLow)
            break;
        nStalledMs = nNow < nPending ? 0 : nStalledMs + 1;
        if (nStalledMs >= kPatienceMs)
        {
            m_bGaveUp = true;
            break;
        }
        nPending = nNow;
    }
    return true;
}

CEditorLoadViewTd::CEditorLoadViewTd(HWOXHEAP hHeapIn) : CWoxThreadBase(hHeapIn), hTaskHeap(hHeapIn) {}

CEditorLoadViewTd::~CEditorLoadViewTd()
{
    // The body uses this object's members: it must have ended before they go.
    StopAndWait();
    if (IsInitialized())
        StopThread(1);
}

int CEditorLoadViewTd::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn,
                                  IDynamicPtrTemplate<IPortData> pPortDataIn, HWOXWND hGridIn, HWOXWND hTreeIn, int nViewTypeIn,
                                  int nViewByIn, int bHideUntreatedIn)
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
    if (!pPortData || !WoxLoadHostLibrary(pTaskLibMgr, pTaskRegistry, "Data Controller Library", szDataController, hDataController))
        return 0;
    project = SProjectInfo{};
    return pPortData->GetProjectInfo(&project) ? 1 : 0;
}

void CEditorLoadViewTd::PostClearOfActiveView()
{
    if (nViewType == WOX_VIEW_TREE)
        PostMessage(hTree, WM_TVM_DELETEALLITEMSEX, 0, 0);
    else if (nViewType == WOX_VIEW_GRID)
    {
        PostMessage(hGrid, WM_LVM_DELETEALLITEMSEX, 0, 0);
        PostMessage(hGrid, WM_LVM_DELETEALLCOLUMNSEX, 0, 0);
    }
}

void CEditorLoadViewTd::SetHideUntreated(int bHide)
{
    CWoxRunMutexLock lock(RunMutex());
    bHideUntreated = bHide;
    PostClearOfActiveView();
}

void CEditorLoadViewTd::SetViewBy(int nViewByIn)
{
    CWoxRunMutexLock lock(RunMutex());
    nViewBy = nViewByIn;
}

void CEditorLoadViewTd::SetViewType(int nViewTypeIn)
{
    CWoxRunMutexLock lock(RunMutex());
    nViewType = nViewTypeIn;
    PostClearOfActiveView();
}

void CEditorLoadViewTd::SetPartialReload(int nYear, const char* pszStand)
{
    CWoxRunMutexLock lock(RunMutex());
    nReloadYear = nYear;
    WoxCopyText(szReloadStand, pszStand);
}

void CEditorLoadViewTd::SetScenario(const SScenarioData& data)
{
    CWoxRunMutexLock lock(RunMutex());
    scenario = data;
    PostClearOfActiveView();
}

int CEditorLoadViewTd::RunThread()
{
    CWoxRunScope run(*this);
    if (!run.Begin())
        return 1;

    char szStand[sizeof(szReloadStand) + 1];
    WoxFieldToString(szStand, sizeof(szStand), szReloadStand, sizeof(szReloadStand));
    WoxCopyText(szReloadStand, "");
    const int nYear = nReloadYear;
    nReloadYear = -1;

    // The items of the reloaded pair go first; on a full run this is followed by the whole clear.
    const SViewPath path = WoxViewPath(nViewType, nViewBy, nYear, szStand);
    if (nViewType == WOX_VIEW_TREE)
        WoxPostTreePathItem(hTree, WM_TVM_CLEARPATHEX, WoxNewTreePathItem(path.first.c_str(), path.second.c_str(), nullptr));
    else if (nViewType == WOX_VIEW_GRID)
        WoxPostGridPathItem(hGrid, WM_LVM_CLEARPATHEX, WoxNewGridPathItem(path.first.c_str(), path.second.c_str(), nullptr));

    // A partial reload keeps the rest of the view: no switch, no clear.
    if (nYear == -1)
    {
        if (nViewType == WOX_VIEW_TREE)
        {
            PostMessage(hGrid, WM_LVM_SHOWWINDOWEX, 0, 0);
            PostMessage(hTree, WM_TVM_SHOWWINDOWEX, 1, 0);
            PostClearOfActiveView();
        }
        else if (nViewType == WOX_VIEW_GRID)
        {
            PostMessage(hTree, WM_TVM_SHOWWINDOWEX, 0, 0);
            PostMessage(hGrid, WM_LVM_SHOWWINDOWEX, 1, 0);
            PostClearOfActiveView();
            SListColumnRequest* pColumn = WoxNewListColumn(0, "", 100);
            pColumn->column.mask = LVCF_WIDTH | LVCF_TEXT;
            WoxPostListColumn(hGrid, pColumn);
        }
        else
            return 1;
    }
    else if (nViewType != WOX_VIEW_TREE && nViewType != WOX_VIEW_GRID)
        return 1;

    Fill(nYear, szStand);
    return scenario.pTreatments ? 1 : 0;
}

void CEditorLoadViewTd::Fill(int nYear, const char* pszStand)
{
    if (!bHideUntreated && nYear == -1 && !PostSkeleton())
        return;
    IArrayExt2* pTreatments = scenario.pTreatments.Get();
    if (!pTreatments)
        return;
    const int nCount = pTreatments->GetSize();
    SScenarioTreatment record;   // only the part CopyShownPart fills is read
    CWoxViewPacer pacer;
    for (int i = 0; i < nCount; ++i)
    {
        if (IsStopRequested() || !pacer.Pace(*this))
            return;
        const auto* pRecord = static_cast<const SScenarioTreatment*>(pTreatments->GetAt(i, 0));
        if (!pRecord)
            continue;
        CopyShownPart(*pRecord, record);
        if (record.nYear > scenario.info.nEndYear)
            continue;
        // A partial reload shows every record of the stand that the cell's year shows, also a
        // triggered one that began in an earlier period, and only in that year.
        if (nYear != -1 && (record.nYear > nYear || WoxCompareText(record.szStand, pszStand, sizeof(record.szStand)) != 0))
            continue;
        if (!PostRecord(record, nYear))
            return;
    }
}

bool CEditorLoadViewTd::PostRecord(const SScenarioTreatment& record, int nOnlyYear)
{
    const std::string stand = WoxRecordStand(record);
    const std::string name = WoxRecordName(record);
    const std::string description = WoxRecordDescription(record);
    std::string label;
    if (!record.bTriggered)
        label = nViewType == WOX_VIEW_GRID ? name.substr(0, WOX_DISPLAY_TEXT)
                                           : WoxDisplayText("%s [%s]", name.c_str(), description.c_str());
    else
        label = nViewType == WOX_VIEW_GRID
                    ? WoxDisplayText("%s (Triggered)", name.c_str())
                    : WoxDisplayText("%s [%s]: (%s)", name.c_str(), WoxConditionText(record).c_str(), description.c_str());
    bool bShown = true;
    WoxForEachShownYear(record, project.nPeriodLength, [&](int nYear) {
        if (nOnlyYear == -1 || nYear == nOnlyYear)
            bShown = WoxPostViewItem(nViewType, nViewBy, hTree, hGrid, nYear, stand.c_str(), label.c_str());
        return bShown;
    });
    return bShown;
}

bool CEditorLoadViewTd::PostSkeleton()
{
    IDynamicPtrTemplate<IStatusExt> pStands;
    if (!WoxCreateHostObject<PFN_CreateStatusExt>(hDataController, "CreateStatusExt", pStands, hTaskHeap) ||
        !pStands->Initialize(pTaskLibMgr, pTaskRegistry, pTaskErrorReporter) || !pPortData->GetStandList(pStands, 0))
        return false;
    SProjectInfo info{};
    if (!pPortData->GetProjectInfo(&info))
        return false;
    const int nFirstYear = info.nFirstYear;
    const int nStep = info.nPeriodLength > 0 ? info.nPeriodLength : 1;
    std::vector<int> years;
    for (long long nYear = nFirstYear; nYear <= scenario.info.nEndYear && years.size() < WOX_VIEW_MAX_PERIODS; nYear += nStep)
        years.push_back(static_cast<int>(nYear));
    std::vector<std::string> stands;
    const int nStands = pStands->GetSize();
    for (int i = 0; i < nStands; ++i)
    {
        const char* pszStand = pStands->GetAt(i);
        stands.emplace_back(pszStand ? std::string(pszStand, WoxTextLength(pszStand, 30)) : std::string());
    }

    // Grid: the view-by key in the columns, the other in the rows; tree: the view-by key at the
    // top, the other directly under each top node.
    const bool bByStand = nViewBy == WOX_VIEW_BY_STAND;
    std::vector<std::string> yearTexts;
    for (int nYear : years)
        yearTexts.push_back(std::to_string(nYear));
    const std::vector<std::string>& top = bByStand ? stands : yearTexts;
    const std::vector<std::string>& under = bByStand ? yearTexts : stands;

    if (nViewType == WOX_VIEW_GRID)
    {
        for (size_t i = 0; i < top.size(); ++i)
        {
            if (IsStopRequested() || !WoxPostListColumn(hGrid, WoxNewListColumn(static_cast<int>(i) + 1, top[i].c_str(), 100, LVCFMT_CENTER)))
                return false;
        }
        for (size_t i = 0; i < under.size(); ++i)
        {
            if (IsStopRequested() || !WoxPostListItem(hGrid, WM_LVM_INSERTITEMEX, WoxNewListItem(static_cast<int>(i), 0, under[i].c_str())))
                return false;
        }
        return true;
    }
    for (const std::string& node : top)
    {
        TVINSERTSTRUCT* pInsert = WoxNewTreeInsert(node.c_str());
        pInsert->item.mask |= TVIF_CHILDREN;
        pInsert->item.cChildren = 1;
        if (IsStopRequested() || !WoxPostTreeInsert(hTree, pInsert))
            return false;
        for (const std::string& child : under)
        {
            SViewPathItem* pItem = WoxNewTreePathItem(node.c_str(), "", child.c_str());
            pItem->treeItem.mask |= TVIF_CHILDREN;
            pItem->treeItem.cChildren = 0;
            if (IsStopRequested() || !WoxPostTreePathItem(hTree, WM_TVM_INSERTPATHITEMEX, pItem))
                return false;
        }
    }
    return true;
}
