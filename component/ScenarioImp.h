#pragma once
// The scenario component object: the host creates one through CreateComponent, hands it the six
// host services in Create, and drives it through the scenario component interface. Every
// operation runs on the host thread that calls it.

#include "ComponentInterface.h"
#include "Containers.h"
#include "FuncEnum.h"
#include "TriggerObserver.h"

struct SScenarioTreatment;
struct SScenarioTriggerSpec;

class CScenarioImp : public IScenarioComponent
{
public:
    explicit CScenarioImp(void* hHeap);

    void AddReference() override;
    void Release() override;
    int Create(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, IWoxRegistry* pRegistry, IWoxErrorReporter* pErrorReporter,
               ISpeciesMap* pSpeciesMap, ICompMgr* pCompMgr) override;
    void* GetInterface(ENWoxCompInterface nInterface) override;
    int GetDefaultValues(SComponentValue* pValues) override;
    int GetDisplayInfo(SComponentDisplay* pInfo) override;
    GUID GetGUID() override;
    ENDesignator GetType() override;
    int InstallComponent() override;
    int UninstallComponent() override;
    int NeedsInitialConfig() override;
    int SetupComponent(SComponentData* pData, IDynamicPtrTemplate<IArrayExt2> pList) override;
    int ShowComponentConfig(SComponentData* pData, int* pnResult) override;
    int ShowComponentTool(SComponentData* pData) override;
    int HasTool() override;
    int RunComponent(SComponentData* pData, IWoxView* pView) override;
    int ShowComponentEditor(SComponentData* pData) override;

    // The component's class GUID, constant for the component.
    static const GUID s_guid;

    // The observer the trigger checks of later runs report to; none (the default) to stop. The
    // caller keeps it alive while it is set. Called between runs, on the thread that runs them.
    void SetTriggerObserver(ITriggerObserver* pObserver) { m_pTriggerObserver = pObserver; }

protected:
    // Virtual so that test subclasses are destroyed whole; its slots follow the interface's.
    virtual ~CScenarioImp() = default;

    // Reads the Data Controller Library path from the host registry.
    int LoadRegistryValues();

    // Container creators: 1 when the smart pointer holds a new, initialised container.
    int CreateArrayLong(IDynamicPtrTemplate<IArrayExt2>& pArray);
    int CreateArrayTreatments(IDynamicPtrTemplate<IArrayExt2>& pArray);
    int CreateArrayTreatmentDataStand(IDynamicPtrTemplate<IArrayExt2>& pArray);
    int CreateArrayTreatmentDataTreatment(IDynamicPtrTemplate<IArrayExt2>& pArray);
    int CreateArrayExt(IDynamicPtrTemplate<IInventoryExt>& pArray);

    // Trigger evaluation (engine): 1 when every condition in use holds for the stand in nYear.
    int CheckTrigger(IDynamicPtrTemplate<IPortData> pPortData, SScenarioTreatment* pRecord, int32_t nYear);
    // Copies the trees of pSource that pass the condition's filter into pTarget; always 1.
    int SubsetInventory(SScenarioTriggerSpec* pSpec, IDynamicPtrTemplate<IInventoryExt> pSource, IDynamicPtrTemplate<IInventoryExt> pTarget);
    // The species part of the filter for one tree: with bInclude non-zero the tree is kept when
    // its code is in the list, with bInclude 0 when it is not; an empty list keeps every tree.
    int SubsetInventorySpp(const char* pszCode, const char (*pList)[10], int32_t nCount, int32_t bInclude);

private:
    int CreateArrayExt2(IDynamicPtrTemplate<IArrayExt2>& pArray, int nElementSize);

    void* m_hHeap;
    HWOXMODULE m_hDataController = nullptr;
    ICompMgr* m_pCompMgr = nullptr;
    IWoxErrorReporter* m_pErrorReporter = nullptr;
    IWoxLibMgr* m_pLibMgr = nullptr;
    IWoxRegistry* m_pRegistry = nullptr;
    IWoxThreadPool* m_pThreadPool = nullptr;
    ISpeciesMap* m_pSpeciesMap = nullptr;
    int32_t m_nRef = 0;
    char m_szDataController[WOX_MAX_PATH] = {};
    // The function library a trigger check used last and its enumerator factory.
    HWOXMODULE m_hFunctionLibrary = nullptr;
    PFN_CreateFuncEnum m_pfnCreateFuncEnum = nullptr;
    // The tree-list factory of the module it was looked up in (modules are never unloaded).
    HWOXMODULE m_hInventoryModule = nullptr;
    PFN_CreateInventoryExt m_pfnCreateInventoryExt = nullptr;
    ITriggerObserver* m_pTriggerObserver = nullptr;
};
