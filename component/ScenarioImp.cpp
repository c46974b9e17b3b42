#include "ScenarioImp.h"

#include <new>

#include "HostObject.h"
#include "WoxText.h"

// {6F3C2A71-94D2-4B0E-9A57-3E1D5B8C2F40}
const GUID CScenarioImp::s_guid = {0x6F3C2A71, 0x94D2, 0x4B0E, {0x9A, 0x57, 0x3E, 0x1D, 0x5B, 0x8C, 0x2F, 0x40}};

namespace
{
const char kDisplayName[] = "Standard Scenario";
const char kAuthor[] = "Wox Suite scenario team";
}

CScenarioImp::CScenarioImp(void* hHeap) : m_hHeap(hHeap) {}

void CScenarioImp::AddReference() { ++m_nRef; }

void CScenarioImp::Release()
{
    if (--m_nRef < 1)
        delete this;
}

int CScenarioImp::Create(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
                         ISpeciesMap* pSpeciesMap, ICompMgr* pCompMgr)
{
    m_pLibMgr = pLibMgr;
    m_pThreadPool = pThreadPool;
    m_pRegistry = pRegistry;
    m_pErrorReporter = pErrorReporter;
    m_pSpeciesMap = pSpeciesMap;
    m_pCompMgr = pCompMgr;
    return LoadRegistryValues() ? 1 : 0;
}

int CScenarioImp::LoadRegistryValues()
{
    if (!m_pRegistry)
        return 0;
    return m_pRegistry->ReadString("Libraries", "Data Controller Library", m_szDataController, WOX_MAX_PATH) != 0 ? 1 : 0;
}

void* CScenarioImp::GetInterface(ENWoxCompInterface nInterface)
{
    if (nInterface != WOX_INTERFACE_COMPONENT)
        return nullptr;
    AddReference();
    return this;
}

int CScenarioImp::GetDefaultValues(SComponentValue*) { return 1; }

int CScenarioImp::GetDisplayInfo(SComponentDisplay* pInfo)
{
    if (!pInfo)
        return 0;
    pInfo->dVersion = 3.0;
    WoxCopyText(pInfo->szAuthor, kAuthor);
    WoxCopyText(pInfo->szName, kDisplayName);
    return 1;
}

GUID CScenarioImp::GetGUID() { return s_guid; }

ENDesignator CScenarioImp::GetType() { return WOX_DESIGNATOR_SCENARIO; }

int CScenarioImp::InstallComponent() { return 1; }

int CScenarioImp::UninstallComponent() { return 1; }

int CScenarioImp::NeedsInitialConfig() { return 0; }

int CScenarioImp::ShowComponentConfig(SComponentData*, int*) { return 1; }

int CScenarioImp::ShowComponentTool(SComponentData* pData) { return ShowComponentEditor(pData); }

int CScenarioImp::HasTool() { return 1; }

// The path was read by Create; the library is loaded by the first creation and kept.
int CScenarioImp::CreateArrayExt2(IDynamicPtrTemplate<IArrayExt2>& pArray, int nElementSize)
{
    const bool bMade = WoxOpenHostLibrary(m_pLibMgr, m_szDataController, m_hDataController) &&
                       WoxCreateArrayExt2(m_hDataController, static_cast<HWOXHEAP>(m_hHeap), m_pLibMgr, m_pRegistry,
                                          m_pErrorReporter, nElementSize, pArray);
    return bMade ? 1 : 0;
}

int CScenarioImp::CreateArrayLong(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArrayExt2(pArray, 4); }

int CScenarioImp::CreateArrayTreatments(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArrayExt2(pArray, 8888); }

int CScenarioImp::CreateArrayTreatmentDataStand(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArrayExt2(pArray, 36); }

int CScenarioImp::CreateArrayTreatmentDataTreatment(IDynamicPtrTemplate<IArrayExt2>& pArray) { return CreateArrayExt2(pArray, 536); }

// The tree-list creator relies on a library loaded by an earlier creator of the same run. A trigger
// check makes two lists, so the export is looked up once per module, not per list.
int CScenarioImp::CreateArrayExt(IDynamicPtrTemplate<IInventoryExt>& pArray)
{
    if (m_hDataController != m_hInventoryModule || !m_pfnCreateInventoryExt)
    {
        m_pfnCreateInventoryExt = m_hDataController ? WoxModuleFunction<PFN_CreateInventoryExt>(m_hDataController, "CreateInventoryExt") : nullptr;
        m_hInventoryModule = m_hDataController;
    }
    if (!m_pfnCreateInventoryExt)
        return 0;
    pArray = m_pfnCreateInventoryExt(static_cast<HWOXHEAP>(m_hHeap));
    return pArray && pArray->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter) != 0 ? 1 : 0;
}
