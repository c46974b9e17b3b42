// The triggered treatment dialog over the built host, driven through the automation hook: its
// validation, the records its save task builds, the treatment list's moves and edit mode.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <cstring>

#include "EditorTestSupport.h"
#include "ResourceIds.h"
#include "TestEditor.h"
#include "TestHost.h"
#include "TriggeredDlg.h"
#include "UiTestSupport.h"

namespace
{

constexpr int kStands = IDC_TRIGGERED_STANDS;
constexpr int kTriggers = IDC_TRIGGERED_TRIGGERS;
constexpr int kTreatments = IDC_TRIGGERED_TREATMENTS;

// The dialog with the trigger definition dialog replaced by a script.
class CTestTriggeredDlg final : public CTriggeredDlg
{
public:
    using CTriggeredDlg::CTriggeredDlg;
    std::function<int(SScenarioTriggerSpec&)> m_onTrigger;

protected:
    int EditTrigger(SScenarioTriggerSpec& spec) override { return m_onTrigger ? m_onTrigger(spec) : 0; }
};

// A condition as the trigger definition dialog would answer it.
SScenarioTriggerSpec Condition(const char* pszVariable, int nOperator, double dValue)
{
    SScenarioTriggerSpec spec = {};
    WoxCopyText(spec.szVariable, pszVariable);
    WoxCopyText(spec.szLibrary, "/opt/wox/functions/libWoxStandVariables.so");
    spec.nDescriptorA = 7;
    spec.nFunction = 3;
    spec.dValue = dValue;
    spec.nOperator = nOperator;
    spec.dDbhMax = 999.0;
    spec.dHeightMax = 999.0;
    return spec;
}

STreatmentDataTreatment Treatment(const char* pszName, unsigned char nComponent = 1)
{
    STreatmentDataTreatment treatment = {};
    treatment.guidComponent = TestGuid(nComponent);
    WoxCopyText(treatment.szName, pszName);
    WoxCopyText(treatment.szDescription, (std::string(pszName) + " described").c_str());
    return treatment;
}

class TriggeredDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_compMgr.Register(&m_thin);
        m_portData.m_components = {TestGuid(1)};
        m_portData.m_stands = {"North 1", "North 2", "Creek 3", "Creek 4"};
        m_scenario.info.nEndYear = 2060;
        // Add... of the treatments answers the next names of the queue.
        m_thin.m_onEdit = [this](STreatmentData& selection) {
            for (const std::string& name : m_nextTreatments)
            {
                const STreatmentDataTreatment treatment = Treatment(name.c_str());
                selection.pTreatments->Add(&treatment);
            }
            return 1;
        };
    }

    // A dialog for the test's project, scripted to answer conditions from m_nextConditions.
    int Init(CTestTriggeredDlg& dialog, IArrayExt2* pSource = nullptr, int bEditMode = 0)
    {
        dialog.m_onTrigger = [this](SScenarioTriggerSpec& spec) {
            if (m_nextConditions.empty())
                return 0;
            spec = m_nextConditions.front();
            m_nextConditions.erase(m_nextConditions.begin());
            return 1;
        };
        return dialog.Initialize(m_host.LibMgr(), m_host.Registry(), &m_compMgr, m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(),
                                 &m_portData, &m_scenario, pSource, bEditMode);
    }

    static bool StandsListed(CWoxDialogDriver& driver, int nRows)
    {
        return driver.WaitUntil([&] { return driver.GetRowCount(kStands) == nRows; });
    }

    // Selects stand rows in this order, as ctrl-clicks would.
    static void SelectStands(CWoxDialogDriver& driver, std::initializer_list<int> rows)
    {
        auto* pTable = qobject_cast<QTableWidget*>(driver.Dialog().GetDlgItem(kStands)->GetWidget());
        for (int nRow : rows)
            pTable->selectionModel()->select(pTable->model()->index(nRow, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    static std::vector<std::string> Names(IArrayExt2& records)
    {
        std::vector<std::string> names;
        for (int i = 0; i < records.GetSize(); ++i)
            names.push_back(static_cast<const SScenarioTreatment*>(records.GetAt(i, 0))->treatment.szName);
        return names;
    }

    static std::vector<std::string> Rows(CWoxDialogDriver& driver, int nList, int nColumn = 0)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < driver.GetRowCount(nList); ++i)
            rows.push_back(driver.GetRowText(nList, i, nColumn));
        return rows;
    }

    CTestHost m_host;
    CEditorPortData m_portData;
    CTestCompMgr m_compMgr;
    CScriptedTreatment m_thin{TestGuid(1), "Thin"};
    SScenarioData m_scenario;
    std::vector<std::string> m_nextTreatments;
    std::vector<SScenarioTriggerSpec> m_nextConditions;
};

// OK with parts missing: one box with every missing part, in order, and the dialog stays open;
// with nothing missing the dialog ends with OK.
struct SValidationCase
{
    const char* pszName;
    bool bStand, bTrigger, bTreatment;
    const char* pszBox;   // none = accepted
};

class TriggeredValidationTest : public TriggeredDlgTest, public ::testing::WithParamInterface<SValidationCase>
{
};

TEST_P(TriggeredValidationTest, OneBoxNamesEveryMissingPart)
{
    const SValidationCase& c = GetParam();
    CTestTriggeredDlg dialog(m_host.Heap());
    ASSERT_EQ(Init(dialog), 1);
    bool bStillOpen = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        ASSERT_TRUE(StandsListed(driver, 4));
        if (c.bStand)
            driver.SelectRow(kStands, 1);
        if (c.bTrigger)
        {
            m_nextConditions = {Condition("BA", TRIGGER_GREATER, 35.0)};
            driver.PressButton(IDC_TRIGGERED_TRIGGER_ADD);
        }
        if (c.bTreatment)
        {
            m_nextTreatments = {"Thin to 25"};
            driver.PressButton(IDC_TRIGGERED_TREATMENT_ADD);
        }
        driver.PressButton(IDOK);
        bStillOpen = !driver.Dialog().IsEnded();
    });
    const intptr_t nResult = dialog.DoModal();
    if (c.pszBox)
    {
        EXPECT_EQ(automation.m_boxes, std::vector<std::string>{c.pszBox});
        EXPECT_TRUE(bStillOpen);
        EXPECT_EQ(nResult, IDCANCEL);
    }
    else
    {
        EXPECT_TRUE(automation.m_boxes.empty());
        EXPECT_EQ(nResult, IDOK);
        EXPECT_EQ(dialog.GetTreatments()->GetSize(), 1);
    }
}

#define WOX_ERRORS "The following errors must be corrected:\n\n"
INSTANTIATE_TEST_SUITE_P(
    Cases, TriggeredValidationTest,
    ::testing::Values(
        SValidationCase{"Nothing", false, false, false,
                        WOX_ERRORS "\nYou must select a stand.\nYou must specify a trigger.\nYou must enter a treatment."},
        SValidationCase{"NoStand", false, true, true, WOX_ERRORS "\nYou must select a stand."},
        SValidationCase{"NoTrigger", true, false, true, WOX_ERRORS "\nYou must specify a trigger."},
        SValidationCase{"NoTreatment", true, true, false, WOX_ERRORS "\nYou must enter a treatment."},
        SValidationCase{"NoTriggerNoTreatment", true, false, false, WOX_ERRORS "\nYou must specify a trigger.\nYou must enter a treatment."},
        SValidationCase{"Complete", true, true, true, nullptr}),
    [](const auto& info) { return std::string(info.param.pszName); });

// Two stands selected (the later row first) and three treatments: six records, stand by stand in
// the order of selection, each treatment in list order, all with the working record's trigger
// part; unset years take the project's first year and the scenario's end year.
TEST_F(TriggeredDlgTest, SaveBuildsOneRecordPerStandAndTreatment)
{
    CTestTriggeredDlg dialog(m_host.Heap());
    ASSERT_EQ(Init(dialog), 1);
    EXPECT_EQ(dialog.GetWorkingRecord().nEndYear, -1);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        ASSERT_TRUE(StandsListed(driver, 4));
        SelectStands(driver, {3, 0});
        m_nextConditions = {Condition("BA", TRIGGER_GREATER, 35.0), Condition("Stems", TRIGGER_LESS, 800.0)};
        driver.PressButton(IDC_TRIGGERED_TRIGGER_ADD);
        driver.PressButton(IDC_TRIGGERED_TRIGGER_ADD);
        m_nextTreatments = {"A", "B", "C"};
        driver.PressButton(IDC_TRIGGERED_TREATMENT_ADD);
        driver.PressButton(IDC_TRIGGERED_MULTIPLE);
        driver.PressButton(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(automation.m_boxes.empty());

    const SScenarioTreatment& work = dialog.GetWorkingRecord();
    EXPECT_EQ(work.nYear, 2025);
    EXPECT_EQ(work.nEndYear, 2060);
    EXPECT_EQ(work.nFlags, WOX_TREATMENT_ALLOW_MULTIPLE);
    EXPECT_EQ(work.nTriggers, 2);
    IDynamicPtrTemplate<IArrayExt2> pResults = dialog.GetTreatments();
    ASSERT_EQ(pResults->GetSize(), 6);
    int nIndex = 0;
    for (const char* pszStand : {"Creek 4", "North 1"})
        for (const char* pszName : {"A", "B", "C"})
        {
            // The record as documented: year at 0, stand at 4, the triggered flag at 36, the
            // trigger part from 40 to 8351, the treatment from 8352.
            unsigned char expected[8888] = {};
            const int32_t nYear = 2025, bTriggered = 1;
            std::memcpy(expected, &nYear, 4);
            std::memcpy(expected + 4, pszStand, std::strlen(pszStand));
            std::memcpy(expected + 36, &bTriggered, 4);
            std::memcpy(expected + 40, reinterpret_cast<const unsigned char*>(&work) + 40, 8352 - 40);
            const STreatmentDataTreatment treatment = Treatment(pszName);
            std::memcpy(expected + 8352, &treatment, sizeof treatment);
            EXPECT_EQ(std::memcmp(pResults->GetAt(nIndex, 0), expected, sizeof expected), 0) << pszStand << " " << pszName;
            ++nIndex;
        }
}

// Up, Down and Delete move the records and the rows together; after a move no row is selected.
// Up on the first row and Down on the last change nothing.
TEST_F(TriggeredDlgTest, MovesAndDeletesKeepRecordsAndRowsInStep)
{
    CTestTriggeredDlg dialog(m_host.Heap());
    ASSERT_EQ(Init(dialog), 1);
    std::vector<std::vector<std::string>> seen;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        m_nextTreatments = {"A", "B", "C"};
        driver.PressButton(IDC_TRIGGERED_TREATMENT_ADD);
        auto step = [&](int nRow, int nButton) {
            driver.SelectRow(kTreatments, nRow);
            driver.PressButton(nButton);
            const std::vector<std::string> rows = Rows(driver, kTreatments);
            EXPECT_EQ(rows, Names(*dialog.GetTreatments()));
            EXPECT_EQ(Rows(driver, kTreatments, 1).back(), rows.back() + " described");
            seen.push_back(rows);
        };
        step(0, IDC_TRIGGERED_TREATMENT_DOWN);
        EXPECT_EQ(driver.GetSelectedRow(kTreatments), -1);
        step(2, IDC_TRIGGERED_TREATMENT_UP);
        step(0, IDC_TRIGGERED_TREATMENT_UP);
        step(2, IDC_TRIGGERED_TREATMENT_DOWN);
        step(1, IDC_TRIGGERED_TREATMENT_DELETE);
        EXPECT_TRUE(driver.IsEnabled(IDC_TRIGGERED_TREATMENT_DELETE)) << "only edit mode keeps the last row";
    });
    dialog.DoModal();
    EXPECT_EQ(seen, (std::vector<std::vector<std::string>>{{"B", "A", "C"}, {"B", "C", "A"}, {"B", "C", "A"}, {"B", "C", "A"}, {"B", "A"}}));
}

// Conditions: the row texts; Add... refused at 15 with its reason as the tooltip; deleting the
// middle one of three moves the third down and gives the freed slot the filter defaults.
TEST_F(TriggeredDlgTest, ConditionRowsLimitAndDelete)
{
    CTestTriggeredDlg dialog(m_host.Heap());
    ASSERT_EQ(Init(dialog), 1);
    SScenarioTriggerSpec species = Condition("Stems", TRIGGER_LESS, 800.0);
    species.bInclude = 1;
    species.nSpecies = 2;
    WoxCopyText(species.szSpecies[0], "PSME");
    WoxCopyText(species.szSpecies[1], "TSHE");
    species.dDbhMin = 10.0;
    SScenarioTriggerSpec odd = Condition("QMD", 7, 1.0);
    CScriptedAutomation automation(
        [&](CWoxDialogDriver& driver) {
            m_nextConditions = {Condition("BA", TRIGGER_GREATER, 120.0), species, odd};
            for (int i = 0; i < 3; ++i)
                driver.PressButton(IDC_TRIGGERED_TRIGGER_ADD);
            EXPECT_EQ(Rows(driver, kTriggers, 0), (std::vector<std::string>{"BA > 120.00", "Stems < 800.00", "QMD"}));
            EXPECT_EQ(Rows(driver, kTriggers, 1), (std::vector<std::string>{"-", "+:PSME:TSHE", "-"}));
            EXPECT_EQ(Rows(driver, kTriggers, 2), (std::vector<std::string>{"0.00:999.00", "10.00:999.00", "0.00:999.00"}));

            driver.SelectRow(kTriggers, 1);
            driver.PressButton(IDC_TRIGGERED_TRIGGER_DELETE);
            const SScenarioTreatment& work = dialog.GetWorkingRecord();
            EXPECT_EQ(work.nTriggers, 2);
            EXPECT_EQ(Rows(driver, kTriggers, 0), (std::vector<std::string>{"BA > 120.00", "QMD"}));
            EXPECT_STREQ(work.triggers[1].szVariable, "QMD");
            EXPECT_STREQ(work.triggers[2].szVariable, "QMD") << "the freed slot keeps its descriptor";
            EXPECT_EQ(work.triggers[2].nOperator, TRIGGER_LESS);
            EXPECT_EQ(work.triggers[2].dValue, 0.0);
            EXPECT_EQ(work.triggers[2].dDbhMax, 999.0);

            for (int i = 2; i < 15; ++i)
            {
                EXPECT_TRUE(driver.IsEnabled(IDC_TRIGGERED_TRIGGER_ADD));
                m_nextConditions = {Condition("BA", TRIGGER_GREATER, i)};
                driver.PressButton(IDC_TRIGGERED_TRIGGER_ADD);
            }
            EXPECT_EQ(work.nTriggers, 15);
            EXPECT_FALSE(driver.IsEnabled(IDC_TRIGGERED_TRIGGER_ADD));
            EXPECT_EQ(driver.Dialog().GetDlgItem(IDC_TRIGGERED_TRIGGER_ADD)->GetWidget()->toolTip().toStdString(),
                      CTriggeredDlg::kTriggerLimitTip);
            driver.SelectRow(kTriggers, 0);
            driver.PressButton(IDC_TRIGGERED_TRIGGER_DELETE);
            EXPECT_TRUE(driver.IsEnabled(IDC_TRIGGERED_TRIGGER_ADD));
        },
        IDYES);
    dialog.DoModal();
    EXPECT_EQ(automation.m_boxes.size(), 2u);
}

// The records of a triggered treatment on one stand, as the editor hands them over.
IDynamicPtrTemplate<IArrayExt2> Existing(CTestHost& host, std::initializer_list<const char*> names)
{
    IDynamicPtrTemplate<IArrayExt2> pRecords = host.MakeArray(sizeof(SScenarioTreatment));
    for (const char* pszName : names)
    {
        SScenarioTreatment record = {};
        record.nYear = 2030;
        WoxCopyText(record.szStand, "Creek 3");
        record.bTriggered = 1;
        record.nEndYear = 2055;
        record.nTriggers = 1;
        record.triggers[0] = Condition("BA", TRIGGER_GREATER, 30.0);
        record.treatment = Treatment(pszName);
        pRecords->Add(&record);
    }
    return pRecords;
}

// Edit mode: the record's stand is the only one and is shown selected in the disabled list, the
// conditions are listed, adding and moving treatments and the years are off, and the last row
// cannot be deleted. OK needs no stand selection and keeps the records' stand and years.
TEST_F(TriggeredDlgTest, EditModeKeepsTheRecordsStand)
{
    CTestTriggeredDlg dialog(m_host.Heap());
    ASSERT_EQ(Init(dialog, Existing(m_host, {"A", "B"}).Get(), 1), 1);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        ASSERT_TRUE(StandsListed(driver, 4));
        EXPECT_EQ(driver.GetSelectedRow(kStands), 2);
        for (int nId : std::vector<int>{kStands, IDC_TRIGGERED_TREATMENT_ADD, IDC_TRIGGERED_TREATMENT_UP, IDC_TRIGGERED_TREATMENT_DOWN, IDC_TRIGGERED_YEAR_PARAM})
            EXPECT_FALSE(driver.IsEnabled(nId)) << nId;
        EXPECT_EQ(Rows(driver, kTriggers), std::vector<std::string>{"BA > 30.00"});
        EXPECT_EQ(Rows(driver, kTreatments), (std::vector<std::string>{"A", "B"}));
        driver.SelectRow(kTreatments, 0);
        driver.PressButton(IDC_TRIGGERED_TREATMENT_DELETE);
        EXPECT_FALSE(driver.IsEnabled(IDC_TRIGGERED_TREATMENT_DELETE));
        driver.PressButton(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(automation.m_boxes.empty());
    IDynamicPtrTemplate<IArrayExt2> pStands = dialog.GetStands();
    ASSERT_EQ(pStands->GetSize(), 1);
    EXPECT_STREQ(static_cast<const char*>(pStands->GetAt(0, 0)), "Creek 3");
    IDynamicPtrTemplate<IArrayExt2> pResults = dialog.GetTreatments();
    ASSERT_EQ(pResults->GetSize(), 1);
    const auto& result = *static_cast<const SScenarioTreatment*>(pResults->GetAt(0, 0));
    EXPECT_STREQ(result.szStand, "Creek 3");
    EXPECT_EQ(result.nYear, 2030);
    EXPECT_EQ(result.nEndYear, 2055);
    EXPECT_STREQ(result.treatment.szName, "B");
}

// A project without a positive period length has no years to choose from: one message, and the
// year parameters dialog does not open.
TEST_F(TriggeredDlgTest, ChangeYearParamRefusedWithoutPeriods)
{
    class CNoPeriods final : public IPortData
    {
    public:
        explicit CNoPeriods(CEditorPortData& inner) : m_inner(inner) {}
        void AddReference() override {}
        void Release() override {}
        IWoxPortObject* GetPortObject(int n) override { return m_inner.GetPortObject(n); }
        int SendStandMessage(SStandMessage m) override { return m_inner.SendStandMessage(m); }
        int GetComponentList(int t, IDynamicPtrTemplate<IArrayExt2> p, int n) override { return m_inner.GetComponentList(t, p, n); }
        int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
        int GetProjectInfo(SProjectInfo* pInfo) override
        {
            pInfo->nFirstYear = 2025;
            return 1;
        }
        int GetStandList(IDynamicPtrTemplate<IStatusExt> p, int n) override { return m_inner.GetStandList(p, n); }
        int CheckStandMessage(SStandMessage*) override { return 0; }
        int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
        int RecordRemoval(int32_t, const char*, double, double) override { return 0; }
        CEditorPortData& m_inner;
    } noPeriods(m_portData);
    CTestTriggeredDlg dialog(m_host.Heap());
    ASSERT_EQ(dialog.Initialize(m_host.LibMgr(), m_host.Registry(), &m_compMgr, m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(),
                                &noPeriods, &m_scenario, nullptr, 0),
              1);
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        if (driver.TemplateId() == IDD_TRIGGERED)
            driver.PressButton(IDC_TRIGGERED_YEAR_PARAM);
    });
    dialog.DoModal();
    EXPECT_EQ(automation.m_dialogs, std::vector<int>{IDD_TRIGGERED});
    EXPECT_EQ(automation.m_boxes, std::vector<std::string>{CTriggeredDlg::kNoPeriodsText});
}

// Closing the dialog while its task still lists a large project stops the task; the rows still
// on their way are dropped with their blocks (AddressSanitizer checks both).
TEST_F(TriggeredDlgTest, ClosingWhileStandsAreListedStopsTheTask)
{
    m_portData.m_stands.clear();
    for (int i = 0; i < 20000; ++i)
        m_portData.m_stands.push_back("Stand " + std::to_string(i));
    for (int nRound = 0; nRound < 3; ++nRound)
    {
        int nRows = -1;
        {
            CTestTriggeredDlg dialog(m_host.Heap());
            ASSERT_EQ(Init(dialog), 1);
            CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
                driver.WaitUntil([&] { return driver.GetRowCount(kStands) > nRound * 50; }, 2000);
                nRows = driver.GetRowCount(kStands);
                driver.PressButton(IDCANCEL);
            });
            EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        }
        PumpQueued();
        EXPECT_LT(nRows, 20000);
    }
}

} // namespace
