// The "Specify Treatment Trigger" dialog over the tests' variable libraries, driven through the
// automation hook: the variable box filled in the background from every library, the checks at
// OK, the number edits, and the species list through the species subset dialog.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Files.h"
#include "FuncEnum.h"
#include "ResourceIds.h"
#include "ScenarioRecords.h"
#include "TriggerDefDlg.h"
#include "TriggerTestSupport.h"
#include "UiTestSupport.h"
#include "WoxText.h"

namespace
{

constexpr int kVariables = IDC_TRIGGER_VARIABLE;
constexpr int kListedVariables = 150;   // three libraries of 50; the fourth refuses to initialise

// The descriptor the test library with this prefix lists as its k-th variable.
SFunctionDescriptor Descriptor(const std::string& prefix, int k)
{
    SFunctionDescriptor descriptor = {};
    char szName[52];
    std::snprintf(szName, sizeof szName, "%s variable %02d", prefix.c_str(), k);
    WoxCopyText(descriptor.szVariable, szName);
    descriptor.nDescriptorA = WOX_FAMILY_STAND_VARIABLE;
    descriptor.nDescriptorB = k;
    descriptor.nDescriptorC = 1000 + k;
    WoxCopyText(descriptor.szLibrary, (TestVariablesFolder() + "/libWoxVariables" + prefix + ".so").c_str());
    descriptor.nFunction = k + 1;
    return descriptor;
}

// The names the box must list: the listing libraries in the order the file search gives them.
std::vector<std::string> ExpectedNames()
{
    std::vector<std::string> names;
    for (const std::string& file : WoxFindFiles(TestVariablesFolder().c_str(), "*.dll"))
    {
        const std::string prefix = file.substr(std::strlen("libWoxVariables"), file.size() - std::strlen("libWoxVariables.so"));
        if (prefix == "Refusing")
            continue;
        for (int k = 0; k < 50; ++k)
            names.push_back(Descriptor(prefix, k).szVariable);
    }
    return names;
}

class TriggerDefDlgTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Loaded()); }

    // Opens the dialog on the condition, waits for the whole variable list, runs the script and
    // answers what OK handed back (the condition as given when the dialog was cancelled).
    SScenarioTriggerSpec Run(const SScenarioTriggerSpec& given, const std::function<void(CWoxDialogDriver&)>& script, int nBoxAnswer = IDOK)
    {
        CTriggerDefDlg dialog(m_host.Heap());
        EXPECT_EQ(1, dialog.Initialize(m_host.LibMgr(), &m_registry, m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(), &given));
        m_pAutomation.reset();   // the one before goes first, so it cannot uninstall the new one
        m_pAutomation = std::make_unique<CScriptedAutomation>(
            [&](CWoxDialogDriver& driver) {
                if (driver.TemplateId() == IDD_TRIGGER_DEF)
                {
                    EXPECT_TRUE(driver.WaitUntil([&] { return driver.GetRowCount(kVariables) == kListedVariables; }));
                }
                script(driver);
            },
            nBoxAnswer);
        m_nResult = static_cast<int>(dialog.DoModal());
        SScenarioTriggerSpec returned = given;
        if (m_nResult == IDOK)
            dialog.GetTriggerSpec(&returned);
        return returned;
    }

    static SScenarioTriggerSpec NewCondition()
    {
        SScenarioTriggerSpec spec;
        std::memset(&spec, 0, sizeof spec);
        ResetTriggerSpec(spec);
        return spec;
    }

    CTestHost m_host;
    CFunctionFolderRegistry m_registry{m_host.Registry(), TestVariablesFolder()};
    std::unique_ptr<CScriptedAutomation> m_pAutomation;
    int m_nResult = 0;
};

// Every library's variables are listed in search order, the first one selected; the chosen one's
// descriptor comes back whole, with its codes, beside the entries.
TEST_F(TriggerDefDlgTest, VariablesFromEveryLibraryAndTheChosenDescriptor)
{
    const std::vector<std::string> expected = ExpectedNames();
    ASSERT_EQ(static_cast<size_t>(kListedVariables), expected.size());
    const SFunctionDescriptor chosen = Descriptor("Beta", 7);
    const int nChosen = static_cast<int>(std::find(expected.begin(), expected.end(), chosen.szVariable) - expected.begin());
    std::vector<std::string> rows;
    const SScenarioTriggerSpec returned = Run(NewCondition(), [&](CWoxDialogDriver& driver) {
        for (int i = 0; i < driver.GetRowCount(kVariables); ++i)
            rows.push_back(driver.GetRowText(kVariables, i));
        EXPECT_EQ(0, driver.GetSelectedRow(kVariables));
        EXPECT_EQ("Exclude", driver.GetText(IDC_TRIGGER_SPECIES_MODE));
        EXPECT_EQ("999.00", driver.GetText(IDC_TRIGGER_DBH_MAX));
        driver.SelectRow(kVariables, nChosen);
        driver.SelectRow(IDC_TRIGGER_CONDITION, 2);
        driver.SetText(IDC_TRIGGER_VALUE, "35.25");
        driver.SetText(IDC_TRIGGER_DBH_MIN, "10");
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(expected, rows);
    ASSERT_EQ(IDOK, m_nResult);
    EXPECT_EQ(0, std::memcmp(&returned, &chosen, sizeof chosen)) << "the 328-byte descriptor is copied whole";
    EXPECT_EQ(2, returned.nOperator);
    EXPECT_EQ(35.25, returned.dValue);
    EXPECT_EQ(10.0, returned.dDbhMin);
    EXPECT_EQ(999.0, returned.dDbhMax);
    EXPECT_EQ(0, returned.bInclude);
}

// A stored condition reopens with its variable selected while a library lists it under the same
// path, first code and name; otherwise the first variable is selected.
TEST_F(TriggerDefDlgTest, ReopeningSelectsTheStoredVariable)
{
    const std::vector<std::string> expected = ExpectedNames();
    SScenarioTriggerSpec stored = NewCondition();
    const SFunctionDescriptor gamma = Descriptor("Gamma", 3);
    std::memcpy(&stored, &gamma, sizeof gamma);
    stored.nOperator = 1;
    const int nGamma = static_cast<int>(std::find(expected.begin(), expected.end(), gamma.szVariable) - expected.begin());
    for (const char* pszLibrary : {gamma.szLibrary, "/gone/libWoxVariablesGamma.so"})
    {
        SScenarioTriggerSpec given = stored;
        WoxCopyText(given.szLibrary, pszLibrary);
        int nSelected = -1;
        std::string condition;
        Run(given, [&](CWoxDialogDriver& driver) {
            nSelected = driver.GetSelectedRow(kVariables);
            condition = driver.GetText(IDC_TRIGGER_CONDITION);
        });
        EXPECT_EQ(pszLibrary == gamma.szLibrary ? nGamma : 0, nSelected) << pszLibrary;
        EXPECT_EQ("=", condition);
    }
}

// Without a function directory in the registry the dialog ends with Cancel as it opens.
TEST_F(TriggerDefDlgTest, NoFunctionDirectoryEndsTheDialog)
{
    CFunctionFolderRegistry noFolder(m_host.Registry(), "");
    CTriggerDefDlg dialog(m_host.Heap());
    const SScenarioTriggerSpec given = NewCondition();
    ASSERT_EQ(1, dialog.Initialize(m_host.LibMgr(), &noFolder, m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(), &given));
    CScriptedAutomation automation([](CWoxDialogDriver&) { ADD_FAILURE() << "the dialog is not shown"; });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

struct SCheckCase
{
    const char* pszCase;
    const char* pszValue;
    const char* pszDbhMin;
    const char* pszDbhMax;
    const char* pszHeightMin;
    const char* pszHeightMax;
    std::string message;   // empty: the dialog closes with OK
    double dDbhMax;        // stored when it closes
};

class TriggerDefCheckTest : public TriggerDefDlgTest, public ::testing::WithParamInterface<SCheckCase>
{
};

// What OK cannot take is said in one message and the dialog stays open with the entries kept;
// an empty bound is stored as 0.
TEST_P(TriggerDefCheckTest, OkChecksTheEntries)
{
    const SCheckCase& c = GetParam();
    std::string valueAfter;
    bool bOpenAfterOk = false;
    const SScenarioTriggerSpec returned = Run(NewCondition(), [&](CWoxDialogDriver& driver) {
        driver.SetText(IDC_TRIGGER_VALUE, c.pszValue);
        driver.SetText(IDC_TRIGGER_DBH_MIN, c.pszDbhMin);
        driver.SetText(IDC_TRIGGER_DBH_MAX, c.pszDbhMax);
        driver.SetText(IDC_TRIGGER_HEIGHT_MIN, c.pszHeightMin);
        driver.SetText(IDC_TRIGGER_HEIGHT_MAX, c.pszHeightMax);
        driver.PressButton(IDOK);
        bOpenAfterOk = !driver.Dialog().IsEnded();
        if (bOpenAfterOk)
            valueAfter = driver.GetText(IDC_TRIGGER_VALUE);
    });
    if (c.message.empty())
    {
        EXPECT_TRUE(m_pAutomation->m_boxes.empty());
        ASSERT_EQ(IDOK, m_nResult);
        EXPECT_EQ(c.dDbhMax, returned.dDbhMax);
        return;
    }
    EXPECT_TRUE(bOpenAfterOk);
    EXPECT_EQ(std::vector<std::string>{c.message}, m_pAutomation->m_boxes);
    EXPECT_EQ(c.pszValue, valueAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TriggerDefCheckTest,
    ::testing::Values(SCheckCase{"NoValue", "", "0", "999", "0", "999", "You must enter a value.", 0},
                      SCheckCase{"ValueNotANumber", "3.5.1", "0", "999", "0", "999", "The value is not a number.", 0},
                      SCheckCase{"DbhCrossed", "35", "20", "10", "0", "999", "The DBH minimum is greater than the DBH maximum.", 0},
                      SCheckCase{"EverythingAtOnce", "", "20", "10", "30.", "5", "You must enter a value.\nThe DBH minimum is greater than the DBH maximum.\nThe height minimum is greater than the height maximum.", 0},
                      SCheckCase{"EmptyBoundsAreZero", "35", "", "", "0", "60", "", 0.0},
                      SCheckCase{"Accepted", "35.5", "10", "80.5", "2", "60", "", 80.5}),
    [](const ::testing::TestParamInfo<SCheckCase>& info) { return std::string(info.param.pszCase); });

// Only the last character typed is checked: a character other than a digit or '.' goes again.
TEST_F(TriggerDefDlgTest, NumberEditsDropATypedNonNumber)
{
    const struct
    {
        const char* pszBefore;
        int nCaret;   // where the typing goes in
        const char* pszTyped;
        const char* pszShown;
    } cases[] = {{"12", 2, "a", "12"}, {"", 0, "-", ""}, {"12", 1, "a", "1a2"}, {"7", 1, ".5", "7.5"}};
    std::vector<std::string> shown;
    Run(NewCondition(), [&](CWoxDialogDriver& driver) {
        QWidget* pEdit = driver.Dialog().GetDlgItem(IDC_TRIGGER_DBH_MAX)->GetWidget();
        for (const auto& c : cases)
        {
            driver.SetText(IDC_TRIGGER_DBH_MAX, c.pszBefore);
            qobject_cast<QLineEdit*>(pEdit)->setCursorPosition(c.nCaret);
            QTest::keyClicks(pEdit, c.pszTyped);
            shown.push_back(driver.GetText(IDC_TRIGGER_DBH_MAX));
        }
    });
    ASSERT_EQ(std::size(cases), shown.size());
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(cases[i].pszShown, shown[i]) << cases[i].pszBefore << " + " << cases[i].pszTyped;
}

// Codes added through the species subset dialog in any order come back in the list's sorted
// order with the chosen mode; a removed code leaves no gap.
TEST_F(TriggerDefDlgTest, SpeciesRoundTripThroughTheSubsetDialog)
{
    for (const char* pszMode : {"Include", "Exclude"})
    {
        std::vector<std::string> listed;
        const SScenarioTriggerSpec returned = Run(NewCondition(), [&](CWoxDialogDriver& driver) {
            if (driver.TemplateId() == IDD_SPECIES_ADD)
            {
                QWidget* pEdit = driver.Dialog().GetDlgItem(IDC_SPECIES_CODE)->GetWidget();
                for (const char* pszCode : {"TSHE", "PSME"})
                {
                    driver.SetText(IDC_SPECIES_CODE, pszCode);
                    QTest::keyClick(pEdit, Qt::Key_Return);
                }
                driver.SetText(IDC_SPECIES_CODE, "ABGR");
                driver.PressButton(IDOK);
                return;
            }
            driver.PressButton(IDC_TRIGGER_SPECIES_ADD);
            for (int i = 0; i < driver.GetRowCount(IDC_TRIGGER_SPECIES_LIST); ++i)
                listed.push_back(driver.GetRowText(IDC_TRIGGER_SPECIES_LIST, i));
            driver.SelectRow(IDC_TRIGGER_SPECIES_LIST, 1);
            driver.PressButton(IDC_TRIGGER_SPECIES_REMOVE);
            driver.SelectRow(IDC_TRIGGER_SPECIES_MODE, std::string(pszMode) == "Include" ? 0 : 1);
            driver.PressButton(IDOK);
        }, IDYES);
        EXPECT_EQ((std::vector<std::string>{"ABGR", "PSME", "TSHE"}), listed);
        EXPECT_EQ(std::vector<std::string>{"Are you sure you want to remove the selected species?"}, m_pAutomation->m_boxes);
        ASSERT_EQ(IDOK, m_nResult);
        EXPECT_EQ(std::string(pszMode) == "Include" ? 1 : 0, returned.bInclude);
        ASSERT_EQ(2, returned.nSpecies);
        EXPECT_EQ(0, WoxCompareText(returned.szSpecies[0], "ABGR", 10));
        EXPECT_EQ(0, WoxCompareText(returned.szSpecies[1], "TSHE", 10));
        EXPECT_EQ(0, WoxCompareText(returned.szSpecies[2], "", 10));
    }
}

} // namespace
