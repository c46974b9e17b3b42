#include "OpenScenarioLoadViewTd.h"

#include <cstring>
#include <string>
#include <vector>

#include "ControlRequests.h"
#include "Files.h"
#include "ScenarioFile.h"
#include "WoxText.h"

COpenScenarioLoadViewTd::COpenScenarioLoadViewTd(HWOXHEAP hHeap) : CWoxThreadBase(hHeap) {}

COpenScenarioLoadViewTd::~COpenScenarioLoadViewTd()
{
    // The body uses this object's members: it must have ended before they go.
    StopAndWait();
    if (IsInitialized())
        StopThread(1);
}

int COpenScenarioLoadViewTd::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn,
                                        IDynamicPtrTemplate<IPortData> pPortData, HWOXWND hList, IDynamicPtrTemplate<IArrayExt2> pPaths)
{
    if (!InitThread(pLibMgrIn, pRegistryIn, pErrorReporterIn))
        return 0;
    if (!pPortData || !pPaths)
        return 0;
    m_pPortData = pPortData;
    m_hList = hList;
    m_pPaths = pPaths;
    return 1;
}

int COpenScenarioLoadViewTd::RunThread()
{
    CScenarioFile file(hHeap);
    CWoxRunScope run(*this);
    if (!run.Begin())
        return 1;
    if (!file.Initialize(pLibMgr, pRegistry, pErrorReporter))
        return 0;

    SProjectInfo project;
    std::memset(&project, 0, sizeof(project));
    if (!m_pPortData->GetProjectInfo(&project))
        return 0;
    char szFolder[WOX_MAX_PATH + 1];
    WoxFieldToString(szFolder, sizeof(szFolder), project.szScenarioFolder, sizeof(project.szScenarioFolder));

    std::vector<std::string> names = WoxFindFiles(szFolder, "*.scenario");
    std::vector<std::string> found;
    for (const std::string& name : names)
    {
        if (IsStopRequested())
            break;
        found.push_back(std::string(szFolder) + "/" + name);
    }

    int nRow = 0;
    for (const std::string& path : found)
    {
        // A path the 260-byte array entry cannot hold whole could not be opened again from it.
        if (path.size() >= WOX_MAX_PATH || !file.Open(path.c_str()))
            continue;
        const SScenarioInfo& info = file.Header().info;
        char szName[sizeof(info.szName) + 1];
        char szDescription[sizeof(info.szDescription) + 1];
        WoxFieldToString(szName, sizeof(szName), info.szName, sizeof(info.szName));
        WoxFieldToString(szDescription, sizeof(szDescription), info.szDescription, sizeof(info.szDescription));

        char szPath[WOX_MAX_PATH];
        WoxCopyText(szPath, path.c_str());
        if (m_pPaths->Add(szPath))
        {
            WoxPostListItem(m_hList, WM_LVM_INSERTITEMEX, WoxNewListItem(nRow, 0, szName));
            WoxPostListItem(m_hList, WM_LVM_SETITEMEX, WoxNewListItem(nRow, 1, szDescription));
            ++nRow;
        }
        file.Close();
    }
    return 1;
}
