// The host treatment components' editing side: their dialogs driven through the automation hook,
// on their own and through the editor base.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "EditorTestSupport.h"
#include "TestEditor.h"
#include "TestHost.h"
#include "TreatmentDlg.h"
#include "TreatmentResources.h"
#include "Treatments.h"
#include "UiTestSupport.h"

namespace
{

const char* const kDash = " \xE2\x80\x93 ";

typedef CTreatmentComponent* (*PFN_MakeTreatment)(IWoxHeap* pHeap);
template <class T>
CTreatmentComponent* Make(IWoxHeap* pHeap)
{
    return new T(pHeap);
}

class TreatmentDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_portData.m_stands = {"S1", "S2", "S3"};
    }

    IDynamicPtrTemplate<CTreatmentComponent> Component(PFN_MakeTreatment make)
    {
        IDynamicPtrTemplate<CTreatmentComponent> pComponent = make(m_host.Heap());
        EXPECT_EQ(pComponent->Create(m_host.LibMgr(), m_host.ThreadPool(), m_host.Registry(), m_host.ErrorReporter(), m_host.SpeciesMap(), nullptr), 1);
        return pComponent;
    }

    // An empty selection for new normal treatments up to the end year 2040, with S2 selected in the view.
    int DefineNormal(CTreatmentComponent& component, STreatmentData& selection)
    {
        selection.pYears = m_host.MakeArray(sizeof(int32_t));
        selection.pStands = m_host.MakeArray(sizeof(STreatmentDataStand));
        selection.pTreatments = m_host.MakeArray(sizeof(STreatmentDataTreatment));
        selection.pnEndYear = new int32_t(2040);
        IDynamicPtrTemplate<IArrayExt2> pStands = m_host.MakeArray(sizeof(STreatmentDataStand));
        STreatmentDataStand stand = {};
        WoxCopyText(stand.szStand, "S2");
        pStands->Add(&stand);
        SComponentData data = {};
        data.pData = &selection;
        data.pPortData = &m_portData;
        return component.DefineTreatments(&data, pStands, 0);
    }

    template <class T>
    T BlockOf(const STreatmentDataTreatment& treatment)
    {
        T parameters = {};
        EXPECT_EQ(treatment.nDataSize, sizeof parameters);
        if (const void* p = m_host.Heap()->Data(treatment.pData))
            std::memcpy(&parameters, p, sizeof parameters);
        return parameters;
    }

    CTestHost m_host;
    CEditorPortData m_portData;
};

// Sets a combo box to the row whose text starts with the species code.
void ChooseSpecies(CWoxDialogDriver& driver, const char* pszCode)
{
    for (int i = 0; i < driver.GetRowCount(IDC_TREATMENT_SPECIES); ++i)
        if (driver.GetRowText(IDC_TREATMENT_SPECIES, i).rfind(pszCode, 0) == 0)
            driver.SelectRow(IDC_TREATMENT_SPECIES, i);
}

struct SDefineCase
{
    const char* pszName;
    PFN_MakeTreatment make;
    std::vector<std::pair<int, const char*>> texts;   // typed into the parameter rows
    const char* pszSpecies;
    std::function<void(TreatmentDlgTest&, const STreatmentDataTreatment&)> check;
};

class DefineNormalTest : public TreatmentDlgTest, public ::testing::WithParamInterface<SDefineCase>
{
public:
    template <class T>
    T Block(const STreatmentDataTreatment& treatment) { return BlockOf<T>(treatment); }
};

// The years are the project's periods up to the end year, the stands the project's with those
// selected in the view checked; the selection gets what was checked and typed.
TEST_P(DefineNormalTest, FillsTheSelection)
{
    const SDefineCase& c = GetParam();
    IDynamicPtrTemplate<CTreatmentComponent> pComponent = Component(c.make);
    std::vector<std::string> years, stands;
    std::vector<int> checks;
    std::string caption;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        auto& dialog = static_cast<CTreatmentDlg&>(driver.Dialog());
        caption = driver.Caption();
        for (int i = 0; i < driver.GetRowCount(IDC_TREATMENT_YEARS); ++i)
            years.push_back(driver.GetRowText(IDC_TREATMENT_YEARS, i));
        for (int i = 0; i < driver.GetRowCount(IDC_TREATMENT_STANDS); ++i)
        {
            stands.push_back(driver.GetRowText(IDC_TREATMENT_STANDS, i));
            checks.push_back(dialog.Stands().GetCheck(i));
        }
        dialog.Years().SetCheck(1, 1);
        dialog.Years().SetCheck(2, 1);
        driver.SetText(IDC_TREATMENT_NAME, "Mid-rotation");
        driver.SetText(IDC_TREATMENT_DESCRIPTION, "Second entry");
        for (const auto& [nId, pszText] : c.texts)
            driver.SetText(nId, pszText);
        if (c.pszSpecies)
            ChooseSpecies(driver, c.pszSpecies);
        driver.PressButton(IDOK);
    });
    STreatmentData selection;
    ASSERT_EQ(DefineNormal(*pComponent, selection), 1);
    EXPECT_EQ(caption, std::string(pComponent->Name()) + kDash + "New Treatments");
    EXPECT_EQ(years, (std::vector<std::string>{"2025", "2030", "2035", "2040"}));
    EXPECT_EQ(stands, (std::vector<std::string>{"S1", "S2", "S3"}));
    EXPECT_EQ(checks, (std::vector<int>{0, 1, 0}));
    ASSERT_EQ(selection.pYears->GetSize(), 2);
    EXPECT_EQ(*static_cast<const int32_t*>(selection.pYears->GetAt(1, 0)), 2035);
    ASSERT_EQ(selection.pStands->GetSize(), 1);
    EXPECT_STREQ(static_cast<const STreatmentDataStand*>(selection.pStands->GetAt(0, 0))->szStand, "S2");
    ASSERT_EQ(selection.pTreatments->GetSize(), 1);
    const auto& treatment = *static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(0, 0));
    EXPECT_TRUE(treatment.guidComponent == pComponent->GetGUID());
    EXPECT_STREQ(treatment.szName, "Mid-rotation");
    EXPECT_STREQ(treatment.szDescription, "Second entry");
    c.check(*this, treatment);
    EXPECT_TRUE(automation.m_boxes.empty());
    m_host.Heap()->Free(treatment.pData);
}

INSTANTIATE_TEST_SUITE_P(
    Components, DefineNormalTest,
    ::testing::Values(SDefineCase{"ThinBelow", Make<CThinBelow>, {{IDC_TREATMENT_VALUE, "18,5"}}, nullptr,
                                  [](TreatmentDlgTest& t, const STreatmentDataTreatment& treatment) {
                                      EXPECT_EQ(static_cast<DefineNormalTest&>(t).Block<SThinBelowParameters>(treatment).dResidualBasalArea, 18.5);
                                  }},
                      SDefineCase{"ThinAbove", Make<CThinAbove>, {{IDC_TREATMENT_VALUE, "25"}}, nullptr,
                                  [](TreatmentDlgTest& t, const STreatmentDataTreatment& treatment) {
                                      EXPECT_EQ(static_cast<DefineNormalTest&>(t).Block<SThinAboveParameters>(treatment).dRemovedShare, 0.25);
                                  }},
                      SDefineCase{"Clearcut", Make<CClearcut>, {}, nullptr,
                                  [](TreatmentDlgTest& t, const STreatmentDataTreatment& treatment) {
                                      EXPECT_EQ(static_cast<DefineNormalTest&>(t).Block<SClearcutParameters>(treatment).dMinDbh, 0.0);
                                  }},
                      SDefineCase{"Planting", Make<CPlanting>, {{IDC_TREATMENT_STEMS, "1200"}, {IDC_TREATMENT_HEIGHT, "0.5"}}, "TSHE",
                                  [](TreatmentDlgTest& t, const STreatmentDataTreatment& treatment) {
                                      auto p = static_cast<DefineNormalTest&>(t).Block<SPlantingParameters>(treatment);
                                      EXPECT_STREQ(std::string(p.szSpecies, 4).c_str(), "TSHE");
                                      EXPECT_EQ(p.dStemsPerHa, 1200.0);
                                      EXPECT_EQ(p.dHeight, 0.5);
                                      EXPECT_EQ(p.dSurvival, 0.9) << "rows the dialog does not show keep their values";
                                  }}),
    [](const auto& info) { return std::string(info.param.pszName); });

struct SBadInputCase
{
    const char* pszName;
    PFN_MakeTreatment make;
    std::vector<std::pair<int, const char*>> texts;
    bool bCheckYear;
    const char* pszMessage;
};

class BadInputTest : public TreatmentDlgTest, public ::testing::WithParamInterface<SBadInputCase>
{
};

// Wrong entries are named in one message and the dialog stays open; Cancel then adds nothing.
TEST_P(BadInputTest, NamesTheProblemAndStaysOpen)
{
    const SBadInputCase& c = GetParam();
    IDynamicPtrTemplate<CTreatmentComponent> pComponent = Component(c.make);
    bool bStillOpen = false;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        auto& dialog = static_cast<CTreatmentDlg&>(driver.Dialog());
        if (c.bCheckYear)
            dialog.Years().SetCheck(0, 1);
        for (const auto& [nId, pszText] : c.texts)
            driver.SetText(nId, pszText);
        driver.PressButton(IDOK);
        bStillOpen = !dialog.IsEnded();
        driver.PressButton(IDCANCEL);
    });
    STreatmentData selection;
    EXPECT_EQ(DefineNormal(*pComponent, selection), 0);
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(automation.m_boxes, std::vector<std::string>{c.pszMessage});
    EXPECT_EQ(selection.pYears->GetSize() + selection.pStands->GetSize() + selection.pTreatments->GetSize(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTest,
    ::testing::Values(
        SBadInputCase{"ResidualAboveItsBound", Make<CThinBelow>, {{IDC_TREATMENT_VALUE, "600"}}, true,
                      "Enter the residual basal area as a number from 0 to 500 m\xC2\xB2/ha."},
        SBadInputCase{"ResidualWithUnit", Make<CThinBelow>, {{IDC_TREATMENT_VALUE, "20 m2"}}, true,
                      "Enter the residual basal area as a number from 0 to 500 m\xC2\xB2/ha."},
        SBadInputCase{"BlankName", Make<CClearcut>, {{IDC_TREATMENT_NAME, "  "}}, true, "Enter a name for the treatment."},
        SBadInputCase{"NoYear", Make<CClearcut>, {}, false, "Choose at least one year."},
        SBadInputCase{"PlantingNumbers", Make<CPlanting>, {{IDC_TREATMENT_STEMS, "0"}, {IDC_TREATMENT_HEIGHT, "-1"}}, true,
                      "Enter the stems per hectare as a number from 1 to 20000.\n"
                      "Enter the height as a number from 0 to 150 m (0 takes the nursery height of the seedlings)."}),
    [](const auto& info) { return std::string(info.param.pszName); });

// Modify through the editor: the component shows the record's treatment; a changed one replaces
// it in the scenario with a new block (the old one freed), unchanged parameters keep their block,
// and Cancel changes nothing.
TEST_F(TreatmentDlgTest, ModifyRoundTripThroughTheEditor)
{
    IDynamicPtrTemplate<CTreatmentComponent> pComponent = Component(Make<CThinBelow>);
    CTestCompMgr compMgr;
    compMgr.Register(pComponent.Get());
    CTestEditor editor(m_host.Heap());
    ASSERT_EQ(editor.Initialize(m_host.LibMgr(), m_host.Registry(), &compMgr, m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(),
                                &m_portData),
              1);
    ASSERT_EQ(editor.CreateTreatmentArray(editor.Scenario().pTreatments), 1);
    SScenarioTreatment record = {};
    record.nYear = 2030;
    WoxCopyText(record.szStand, "S1");
    record.treatment.guidComponent = g_guidThinBelow;
    WoxCopyText(record.treatment.szName, "Thin to 20");
    WoxCopyText(record.treatment.szDescription, "Light");
    const SThinBelowParameters twenty = {20.0};
    record.treatment.pData = m_host.Heap()->Alloc(sizeof twenty);
    record.treatment.nDataSize = sizeof twenty;
    std::memcpy(m_host.Heap()->Data(record.treatment.pData), &twenty, sizeof twenty);
    editor.Scenario().pTreatments->Add(&record);
    auto stored = [&]() { return *static_cast<const SScenarioTreatment*>(editor.Scenario().pTreatments->GetAt(0, 0)); };
    auto modify = [&]() {
        IDynamicPtrTemplate<IArrayExt2> pRecords = m_host.MakeArray(sizeof(SScenarioTreatment));
        SScenarioTreatment current = stored();
        pRecords->Add(&current);
        return editor.ModifyTreatments(pRecords.Get());
    };

    std::vector<std::string> shown;
    std::function<void(CWoxDialogDriver&)> act;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        shown = {driver.Caption(), driver.GetText(IDC_TREATMENT_NAME), driver.GetText(IDC_TREATMENT_DESCRIPTION),
                 driver.GetText(IDC_TREATMENT_VALUE)};
        EXPECT_FALSE(driver.HasControl(IDC_TREATMENT_YEARS));
        act(driver);
    });
    act = [](CWoxDialogDriver& driver) {
        driver.SetText(IDC_TREATMENT_NAME, "Thin to 15");
        driver.SetText(IDC_TREATMENT_VALUE, "15");
        driver.PressButton(IDOK);
    };
    EXPECT_EQ(modify(), 1);
    EXPECT_EQ(shown, (std::vector<std::string>{std::string("Thinning from below") + kDash + "Modify Treatment", "Thin to 20", "Light", "20"}));
    EXPECT_STREQ(stored().treatment.szName, "Thin to 15");
    EXPECT_STREQ(stored().treatment.szDescription, "Light");
    EXPECT_NE(stored().treatment.pData, record.treatment.pData);
    EXPECT_EQ(BlockOf<SThinBelowParameters>(stored().treatment).dResidualBasalArea, 15.0);
    EXPECT_EQ(m_host.Heap()->Data(record.treatment.pData), nullptr);
    EXPECT_EQ(editor.m_nModified, 1);

    const uint32_t hBlock = stored().treatment.pData;
    act = [](CWoxDialogDriver& driver) {
        driver.SetText(IDC_TREATMENT_DESCRIPTION, "Heavier");
        driver.PressButton(IDOK);
    };
    EXPECT_EQ(modify(), 1);
    EXPECT_STREQ(stored().treatment.szDescription, "Heavier");
    EXPECT_EQ(stored().treatment.pData, hBlock) << "unchanged parameters keep their block";
    EXPECT_EQ(editor.m_nModified, 2);

    act = [](CWoxDialogDriver& driver) {
        driver.SetText(IDC_TREATMENT_VALUE, "5");
        driver.PressButton(IDCANCEL);
    };
    EXPECT_EQ(modify(), 1);
    EXPECT_EQ(BlockOf<SThinBelowParameters>(stored().treatment).dResidualBasalArea, 15.0);
    EXPECT_EQ(editor.m_nModified, 2);
    EXPECT_TRUE(automation.m_boxes.empty());
    m_host.Heap()->Free(hBlock);
}

// The triggered part through the editor: the treatment alone, with the planting defaults.
TEST_F(TreatmentDlgTest, TriggeredPartShowsTheTreatmentOnly)
{
    IDynamicPtrTemplate<CTreatmentComponent> pComponent = Component(Make<CPlanting>);
    CTestCompMgr compMgr;
    compMgr.Register(pComponent.Get());
    m_portData.m_components = {g_guidPlanting};
    CTestEditor editor(m_host.Heap());
    ASSERT_EQ(editor.Initialize(m_host.LibMgr(), m_host.Registry(), &compMgr, m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(),
                                &m_portData),
              1);
    std::string species;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ(driver.Caption(), std::string("Planting") + kDash + "Triggered Treatment");
        EXPECT_FALSE(driver.HasControl(IDC_TREATMENT_YEARS) || driver.HasControl(IDC_TREATMENT_STANDS));
        species = driver.GetText(IDC_TREATMENT_SPECIES);
        driver.PressButton(IDOK);
    });
    STreatmentData selection;
    ASSERT_EQ(editor.SelectTriggeredTreatments(&selection), 1);
    EXPECT_EQ(species, std::string("PSME") + kDash + "Douglas-fir");
    ASSERT_EQ(selection.pTreatments->GetSize(), 1);
    const auto& treatment = *static_cast<const STreatmentDataTreatment*>(selection.pTreatments->GetAt(0, 0));
    EXPECT_STREQ(treatment.szName, "Planting");
    const auto planting = BlockOf<SPlantingParameters>(treatment);
    EXPECT_EQ(std::string(planting.szSpecies), "PSME");
    EXPECT_EQ(planting.dStemsPerHa, 1000.0);
    m_host.Heap()->Free(treatment.pData);
}

} // namespace
