#pragma once
// A scenario component created on the test host, with the engine's protected operations opened
// up, test doubles for the simulation side, and helpers that build treatment records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScenarioImp.h"
#include "ScenarioRecords.h"
#include "TestFunctionLibrary.h"
#include "TestHost.h"
#include "TestPortData.h"

class CEngineProbe : public CScenarioImp
{
public:
    explicit CEngineProbe(void* hHeap) : CScenarioImp(hHeap) {}
    using CScenarioImp::CheckTrigger;
    using CScenarioImp::CreateArrayExt;
    using CScenarioImp::CreateArrayTreatments;
    using CScenarioImp::SubsetInventory;
    using CScenarioImp::SubsetInventorySpp;
};

// A record as the tests see it after a run.
struct SRecordView
{
    int32_t nYear;
    std::string stand;
    std::string treatment;
    bool operator==(const SRecordView&) const = default;
};
void PrintTo(const SRecordView& record, std::ostream* os);

extern const GUID kThinningGuid;
extern const GUID kClearcutGuid;
extern const GUID kUnknownGuid;

class CEngineTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A zero-filled normal record with default trigger part.
    static SScenarioTreatment NormalRecord(int32_t nYear, const char* pszStand, const char* pszTreatment, const GUID& guid = kThinningGuid);
    // A triggered record with no conditions (conditions are appended with AddCondition).
    static SScenarioTreatment TriggeredRecord(int32_t nYear, const char* pszStand, const char* pszTreatment, bool bMultiple,
                                              const GUID& guid = kThinningGuid);
    // Appends a condition on the test function library: function nFunction compared with dValue.
    static SScenarioTriggerSpec& AddCondition(SScenarioTreatment& record, int nFunction, int32_t nOperator, double dValue);
    static std::string FunctionLibraryPath();

    void Append(const SScenarioTreatment& record);
    std::vector<SRecordView> Remaining();
    // The records each treatment component was handed, in hand-over order, as (stand, treatment).
    static std::vector<std::string> HandedOver(const CTestTreatmentComponent& component);
    int Run(int32_t nYear);

    // A new tree array of the Data Controller Library filled with the trees.
    IDynamicPtrTemplate<IInventoryExt> MakeTrees(const std::vector<SInventory>& trees);
    static std::vector<std::string> TreeIds(IInventoryExt* pTrees);

    // The enumerators of the function library alive and made so far.
    static int LiveEnumerators();
    static int CreatedEnumerators();

    CTestHost m_host;
    CTestCallLog m_log;
    CTestPortData m_port{m_log};
    CTestView m_view{m_log};
    CTestCompMgr m_compMgr;
    CTestTreatmentComponent m_thinning{kThinningGuid, m_log};
    CTestTreatmentComponent m_clearcut{kClearcutGuid, m_log};
    CRecordingLibMgr* m_pLibMgr = nullptr;
    CEngineProbe* m_pEngine = nullptr;
    SScenarioData m_scenario;
    SComponentData m_data = {};
};
