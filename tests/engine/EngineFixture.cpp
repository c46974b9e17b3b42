#include "EngineFixture.h"

#include <ostream>

#include "Module.h"
#include "WoxText.h"

const GUID kThinningGuid = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kClearcutGuid = {0x44444444, 0x5555, 0x6666, {8, 7, 6, 5, 4, 3, 2, 1}};
const GUID kUnknownGuid = {0x77777777, 0x8888, 0x9999, {0, 0, 0, 0, 0, 0, 0, 9}};

void PrintTo(const SRecordView& record, std::ostream* os) { *os << "{" << record.nYear << ", " << record.stand << ", " << record.treatment << "}"; }

void CEngineTest::SetUp()
{
    ASSERT_TRUE(m_host.Loaded());
    m_pLibMgr = new CRecordingLibMgr(m_host.LibMgr());
    m_compMgr.Register(&m_thinning);
    m_compMgr.Register(&m_clearcut);
    m_pEngine = new CEngineProbe(m_host.Heap());
    m_pEngine->AddReference();
    ASSERT_EQ(1, m_pEngine->Create(m_pLibMgr, m_host.ThreadPool(), m_host.Registry(), m_host.ErrorReporter(), m_host.SpeciesMap(), &m_compMgr));
    ASSERT_EQ(1, m_pEngine->CreateArrayTreatments(m_scenario.pTreatments));
    m_data.pData = &m_scenario;
    m_data.pPortData = &m_port;
    m_data.nPassThrough = 77;
}

void CEngineTest::TearDown()
{
    m_scenario.pTreatments.Clear();
    if (m_pEngine)
        m_pEngine->Release();
    delete m_pLibMgr;
    // Every reference the engine took on the host's objects was given back.
    EXPECT_EQ(0, m_port.RefCount());
    EXPECT_EQ(0, m_view.RefCount());
    EXPECT_EQ(0, m_thinning.RefCount());
    EXPECT_EQ(0, m_clearcut.RefCount());
    EXPECT_EQ(0, LiveEnumerators());
}

SScenarioTreatment CEngineTest::NormalRecord(int32_t nYear, const char* pszStand, const char* pszTreatment, const GUID& guid)
{
    SScenarioTreatment record = {};
    ResetTriggerPart(record);
    record.nYear = nYear;
    WoxCopyText(record.szStand, pszStand);
    record.treatment.guidComponent = guid;
    WoxCopyText(record.treatment.szName, pszTreatment);
    return record;
}

SScenarioTreatment CEngineTest::TriggeredRecord(int32_t nYear, const char* pszStand, const char* pszTreatment, bool bMultiple, const GUID& guid)
{
    SScenarioTreatment record = NormalRecord(nYear, pszStand, pszTreatment, guid);
    record.bTriggered = 1;
    record.nFlags = bMultiple ? WOX_TREATMENT_ALLOW_MULTIPLE : 0;
    return record;
}

SScenarioTriggerSpec& CEngineTest::AddCondition(SScenarioTreatment& record, int nFunction, int32_t nOperator, double dValue)
{
    SScenarioTriggerSpec& spec = record.triggers[record.nTriggers++];
    std::string library = FunctionLibraryPath();
    library.resize(sizeof(spec.szLibrary));   // a full-width source: the copy reads the field width
    WoxCopyText(spec.szLibrary, library.c_str());
    spec.nFunction = nFunction;
    spec.nOperator = nOperator;
    spec.dValue = dValue;
    return spec;
}

std::string CEngineTest::FunctionLibraryPath() { return WOX_TEST_FUNCTION_LIBRARY; }

void CEngineTest::Append(const SScenarioTreatment& record) { ASSERT_EQ(1, m_scenario.pTreatments->Add(&record)); }

std::vector<SRecordView> CEngineTest::Remaining()
{
    std::vector<SRecordView> records;
    for (int i = 0; i < m_scenario.pTreatments->GetSize(); ++i)
    {
        const auto* pRecord = static_cast<const SScenarioTreatment*>(m_scenario.pTreatments->GetAt(i, 0));
        records.push_back({pRecord->nYear, std::string(pRecord->szStand, WoxTextLength(pRecord->szStand)),
                           std::string(pRecord->treatment.szName, WoxTextLength(pRecord->treatment.szName))});
    }
    return records;
}

std::vector<std::string> CEngineTest::HandedOver(const CTestTreatmentComponent& component)
{
    std::vector<std::string> handedOver;
    for (const STestHandOver& handOver : component.HandOvers())
        handedOver.push_back(handOver.stand + "/" + handOver.treatment);
    return handedOver;
}

int CEngineTest::Run(int32_t nYear)
{
    m_scenario.nRunYear = nYear;
    return m_pEngine->RunComponent(&m_data, &m_view);
}

IDynamicPtrTemplate<IInventoryExt> CEngineTest::MakeTrees(const std::vector<SInventory>& trees)
{
    IDynamicPtrTemplate<IInventoryExt> pTrees;
    EXPECT_EQ(1, m_pEngine->CreateArrayExt(pTrees));
    if (pTrees)
    {
        for (const SInventory& tree : trees)
            EXPECT_EQ(1, pTrees->Add(&tree));
    }
    return pTrees;
}

std::vector<std::string> CEngineTest::TreeIds(IInventoryExt* pTrees)
{
    std::vector<std::string> ids;
    for (int i = 0; i < pTrees->GetSize(); ++i)
        ids.emplace_back(pTrees->GetAt(i)->szTree, WoxTextLength(pTrees->GetAt(i)->szTree));
    return ids;
}

namespace
{
int FunctionLibraryCounter(const char* pszExport)
{
    HWOXMODULE hModule = WoxModuleLoad(WOX_TEST_FUNCTION_LIBRARY);
    auto pfn = WoxModuleFunction<PFN_TestFuncEnumCount>(hModule, pszExport);
    return pfn ? pfn() : -1;
}
}

int CEngineTest::LiveEnumerators() { return FunctionLibraryCounter(TEST_FUNCTIONS_LIVE); }

int CEngineTest::CreatedEnumerators() { return FunctionLibraryCounter(TEST_FUNCTIONS_CREATED); }
