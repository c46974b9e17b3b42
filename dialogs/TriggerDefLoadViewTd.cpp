#include "TriggerDefLoadViewTd.h"

#include <cstring>
#include <string>
#include <vector>

#include "ControlRequests.h"
#include "Files.h"
#include "FuncEnum.h"
#include "HostObject.h"
#include "WoxText.h"

CTriggerDefLoadViewTd::CTriggerDefLoadViewTd(HWOXHEAP hHeap) : CWoxThreadBase(hHeap)
{
    std::memset(&m_spec, 0, sizeof m_spec);
}

CTriggerDefLoadViewTd::~CTriggerDefLoadViewTd()
{
    // The body uses this object's members: it must have ended before they go.
    StopAndWait();
    if (IsInitialized())
        StopThread(1);
}

int CTriggerDefLoadViewTd::Initialize(IWoxLibMgr* pLibMgrIn, IWoxRegistry* pRegistryIn, IWoxErrorReporter* pErrorReporterIn,
                                      const SScenarioTriggerSpec* pSpec, HWOXWND hVariableBox, IDynamicPtrTemplate<IArrayExt2> pVariables)
{
    if (!InitThread(pLibMgrIn, pRegistryIn, pErrorReporterIn))
        return 0;
    if (!pSpec || !pVariables)
        return 0;
    m_hVariableBox = hVariableBox;
    m_pVariables = pVariables;
    std::memcpy(&m_spec, pSpec, sizeof m_spec);
    return pRegistry->ReadString("General", "Function Directory", m_szFunctionDirectory, sizeof m_szFunctionDirectory) > 0 ? 1 : 0;
}

bool CTriggerDefLoadViewTd::IsStoredVariable(const SScenarioTriggerSpec& descriptor) const
{
    return WoxCompareText(descriptor.szLibrary, m_spec.szLibrary, sizeof m_spec.szLibrary) == 0 &&
           descriptor.nDescriptorA == m_spec.nDescriptorA &&
           WoxCompareText(descriptor.szVariable, m_spec.szVariable, sizeof m_spec.szVariable) == 0;
}

int CTriggerDefLoadViewTd::RunThread()
{
    CWoxRunScope run(*this);
    if (!run.Begin())
        return 1;

    const std::vector<std::string> files = WoxFindFiles(m_szFunctionDirectory, "*.dll");
    if (files.empty())
        return 0;
    IDynamicPtrTemplate<IFuncEnum> pEnum;
    for (const std::string& file : files)
    {
        if (IsStopRequested())
            return 1;
        char szPath[WOX_MAX_PATH];
        // A path the 260-character field cannot hold whole could not be loaded again by a check.
        if (std::snprintf(szPath, sizeof szPath, "%s/%s", m_szFunctionDirectory, file.c_str()) >= static_cast<int>(sizeof szPath))
            continue;
        HWOXMODULE hLibrary = nullptr;
        if (!WoxOpenHostLibrary(pLibMgr, szPath, hLibrary))
            continue;
        if (!WoxCreateHostObject<PFN_CreateFuncEnum>(hLibrary, "CreateFuncEnum", pEnum, hHeap) ||
            !pEnum->Initialize(pLibMgr, pRegistry, pErrorReporter))
            continue;
        pEnum->ListFunctions(WOX_FUNCTIONS_STAND, m_pVariables, 0, 1, 0);
    }
    pEnum.Clear();

    const int nVariables = m_pVariables->GetSize(-1, StopEvent());
    for (int i = 0; i < nVariables; ++i)
    {
        if (IsStopRequested())
            return 1;
        const auto* pDescriptor = static_cast<const SScenarioTriggerSpec*>(m_pVariables->GetAt(i, 0, -1, StopEvent()));
        if (!pDescriptor)
            break;
        // Only the descriptor's 328 bytes are read: the array's elements are that long.
        SScenarioTriggerSpec descriptor;
        std::memset(&descriptor, 0, sizeof descriptor);
        std::memcpy(&descriptor, pDescriptor, sizeof(SFunctionDescriptor));
        char szName[sizeof descriptor.szVariable + 1];
        WoxFieldToString(szName, sizeof szName, descriptor.szVariable, sizeof descriptor.szVariable);
        COMBOBOXEXITEM* pItem = WoxNewComboItem(-1, szName);
        pItem->mask = CBEIF_TEXT;
        WoxPostComboItem(m_hVariableBox, WM_CBEX_INSERTITEMEX, pItem);
        if (i == 0 || IsStoredVariable(descriptor))
            WoxPostIndex(m_hVariableBox, WM_CBEX_SETCURSELEX, WoxNewIndex(-1));
    }
    return 0;
}
