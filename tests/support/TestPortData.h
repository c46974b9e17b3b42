#pragma once
// Test doubles of the simulation side of the host: a port data object over in-memory stands, its
// treated-stands sub-object, a view, treatment components that record every hand-over, a
// component manager to register them with, and a library manager that records every load. All
// of them write into one shared call log, so a test can check the order of calls across objects.
// They may be called from pool threads (the open-scenario dialog's task), so they lock.

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "ComponentInterface.h"
#include "Containers.h"
#include "HostServices.h"
#include "PortData.h"

// One call seen by a test double: what was called, with which year and stand.
struct STestCall
{
    std::string operation;
    int32_t nYear = 0;
    std::string stand;
};

class CTestCallLog
{
public:
    void Add(const std::string& operation, int32_t nYear = 0, const std::string& stand = {});
    std::vector<STestCall> Calls();
    // The operations in call order, e.g. {"CheckStandMessage", "RunComponent", ...}.
    std::vector<std::string> Operations();
    int Count(const std::string& operation);

private:
    std::mutex m_lock;
    std::vector<STestCall> m_calls;
};

// Counts references without owning memory: tests keep these objects on their own stack and check
// that every reference the component took was given back.
class CTestCounted
{
public:
    int RefCount() const { return m_nRef.load(); }

protected:
    void AddRef() { ++m_nRef; }
    void DropRef() { --m_nRef; }

private:
    std::atomic<int> m_nRef{0};
};

class CTestPortObject final : public IWoxPortObject
{
public:
    explicit CTestPortObject(CTestCallLog& log) : m_log(log) {}
    int StandTreated(int32_t nYear, const char* pszStand) override;

private:
    CTestCallLog& m_log;
};

class CTestPortData final : public IPortData, public CTestCounted
{
public:
    explicit CTestPortData(CTestCallLog& log) : m_log(log), m_portObject(log) {}

    void AddReference() override { AddRef(); }
    void Release() override { DropRef(); }

    // The trees GetStandInventory hands out for a stand (the same for every year).
    void SetTrees(const std::string& stand, std::vector<SInventory> trees);
    // GetStandInventory answers 0 for this stand.
    void RefuseInventory(const std::string& stand);
    // The nth CheckStandMessage call (1-based) answers 0; 0 = accept every message.
    void RefuseCheckAt(int nCall) { m_nRefuseCheckAt = nCall; }
    // GetPortObject answers none.
    void HideTreatedStandsObject() { m_bHidePortObject = true; }
    void SetScenarioFolder(const std::string& folder) { m_scenarioFolder = folder; }

    // Messages passed to SendStandMessage, in order.
    std::vector<SStandMessage> SentMessages();

    IWoxPortObject* GetPortObject(int nObject) override;
    int SendStandMessage(SStandMessage message) override;
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand) override;
    int GetProjectInfo(SProjectInfo* pInfo) override;
    int GetStandList(IDynamicPtrTemplate<IStatusExt>, int) override { return 0; }
    int CheckStandMessage(SStandMessage* pMessage) override;
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 1; }

private:
    CTestCallLog& m_log;
    CTestPortObject m_portObject;
    std::mutex m_lock;
    std::map<std::string, std::vector<SInventory>> m_trees;
    std::set<std::string> m_refused;
    std::vector<SStandMessage> m_sent;
    std::string m_scenarioFolder;
    int m_nRefuseCheckAt = 0;
    int m_nChecks = 0;
    bool m_bHidePortObject = false;
};

class CTestView final : public IWoxView, public CTestCounted
{
public:
    explicit CTestView(CTestCallLog& log) : m_log(log) {}
    void AddReference() override { AddRef(); }
    void Release() override { DropRef(); }
    int ShowStandMessage(SStandMessage* pMessage) override;

private:
    CTestCallLog& m_log;
};

// What a treatment component was handed in one call.
struct STestHandOver
{
    int nYears = 0;
    int nStands = 0;
    int nTreatments = 0;
    int32_t nYear = 0;
    std::string stand;
    std::string treatment;      // the treatment's szName
    int32_t nPassThrough = 0;
    IPortData* pPortData = nullptr;
    SStandMessage message = {};   // as the component received it
};

class CTestTreatmentComponent final : public ITreatmentComponent, public CTestCounted
{
public:
    CTestTreatmentComponent(const GUID& guid, CTestCallLog& log) : m_guid(guid), m_log(log) {}

    // Every RunComponent answers 0 (the treatment is not applied).
    void RefuseAll(bool bRefuse) { m_bRefuse = bRefuse; }
    // Every RunComponent writes this value and text into the stand message it is given.
    void WriteIntoMessage(int32_t nValue, const char* pszText)
    {
        m_nWriteValue = nValue;
        m_writeText = pszText;
    }
    const std::vector<STestHandOver>& HandOvers() const { return m_handOvers; }

    void AddReference() override { AddRef(); }
    void Release() override { DropRef(); }
    int Create(IWoxLibMgr*, IWoxThreadPool*, IWoxRegistry*, IWoxErrorReporter*, ISpeciesMap*, ICompMgr*) override { return 1; }
    void* GetInterface(ENWoxCompInterface) override { return nullptr; }
    int GetDefaultValues(SComponentValue*) override { return 1; }
    int GetDisplayInfo(SComponentDisplay*) override { return 0; }
    GUID GetGUID() override { return m_guid; }
    ENDesignator GetType() override { return WOX_DESIGNATOR_TREATMENT; }
    int InstallComponent() override { return 1; }
    int UninstallComponent() override { return 1; }
    int NeedsInitialConfig() override { return 0; }
    int SetupComponent(SComponentData*, IDynamicPtrTemplate<IArrayExt2>) override { return 1; }
    int ShowComponentConfig(SComponentData*, int*) override { return 1; }
    int ShowComponentTool(SComponentData*) override { return 0; }
    int HasTool() override { return 0; }
    int RunComponent(SComponentData* pData, SStandMessage* pMessage) override;
    int ShowComponentEditor(SComponentData*) override { return 0; }
    int ModifyTreatment(SComponentData*, int) override { return 0; }
    int DefineTreatments(SComponentData*, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int DefineTriggeredTreatment(SComponentData*, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }

private:
    GUID m_guid;
    CTestCallLog& m_log;
    bool m_bRefuse = false;
    int32_t m_nWriteValue = 0;
    std::string m_writeText;
    std::vector<STestHandOver> m_handOvers;
};

// A component manager holding the components a test registers (no references taken: the test
// owns them).
class CTestCompMgr final : public ICompMgr
{
public:
    void Register(IComponent* pComponent) { m_components.push_back(pComponent); }
    int Lookups() const { return m_nLookups; }

    IDynamic* GetComponent(GUID guid) override;
    int GetComponentCount() override { return static_cast<int>(m_components.size()); }
    IDynamic* GetComponentAt(int nIndex) override;

private:
    std::vector<IComponent*> m_components;
    int m_nLookups = 0;
};

// Forwards to the host's library manager and records every path asked for.
class CRecordingLibMgr final : public IWoxLibMgr
{
public:
    explicit CRecordingLibMgr(IWoxLibMgr* pInner) : m_pInner(pInner) {}
    HWOXMODULE OpenLibrary(const char* pszPath) override;
    int Loads(const std::string& path);

private:
    IWoxLibMgr* m_pInner;
    std::mutex m_lock;
    std::vector<std::string> m_paths;
};

// A tree record with the fields the engine reads.
SInventory MakeTestTree(const char* pszSpecies, double dDbh, double dHeight, double dCrownRatio = 0.5, double dTpha = 10.0);
