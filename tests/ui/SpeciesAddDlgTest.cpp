// The species subset dialog over the host's species map, and its Look Up through the Species Map
// Library's selection dialog loaded by the real path; driven through the automation hook.

#include <gtest/gtest.h>

#include <QTest>
#include <cstring>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "SpeciesAddDlg.h"
#include "SpeciesSelectResources.h"
#include "TestHost.h"
#include "UiTestSupport.h"
#include "WoxText.h"

namespace
{

const char* const kMaximum = "Warning:  The maximum number of species records have been added.  The new entry is ignored.";
const char* const kNotRecognized = "That species code is not recognized by WOX.\n\nPlease modify the code or Look Up the species.";
const char* const kAlreadyListed = "That species is already part of the subset list.\n  It will not be added.";

std::vector<std::string> AddedCodes(const CSpeciesAddDlg& dialog)
{
    std::vector<std::string> codes;
    for (int i = 0; i < dialog.GetAddedCount(); ++i)
    {
        char szCode[11];
        WoxFieldToString(szCode, sizeof szCode, dialog.GetAddedCode(i), 10);
        codes.push_back(szCode);
    }
    return codes;
}

struct STypedCase
{
    const char* pszCase;
    std::vector<std::string> existing;
    std::vector<std::string> typed;      // each followed by Enter in the code edit
    std::vector<std::string> messages;
    std::vector<std::string> added;
};

class SpeciesAddTypedTest : public ::testing::TestWithParam<STypedCase>
{
protected:
    CTestHost m_host;
};

// Codes typed and entered one by one: what is refused says so in its own message, what is taken
// shows as a row and comes back after OK in the map's spelling.
TEST_P(SpeciesAddTypedTest, EnteredCodes)
{
    const STypedCase& c = GetParam();
    ASSERT_TRUE(m_host.Loaded());
    char existing[15][10] = {};
    for (size_t i = 0; i < c.existing.size(); ++i)
        WoxCopyText(existing[i], c.existing[i].c_str());
    CSpeciesAddDlg dialog(m_host.Heap());
    ASSERT_EQ(1, dialog.Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ThreadPool(), m_host.SpeciesMap(), m_host.ErrorReporter(),
                                   existing, static_cast<int>(c.existing.size())));
    std::vector<std::string> rows;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        EXPECT_EQ("Dialog", driver.Caption());
        QWidget* pEdit = driver.Dialog().GetDlgItem(IDC_SPECIES_CODE)->GetWidget();
        for (const std::string& code : c.typed)
        {
            driver.SetText(IDC_SPECIES_CODE, code.c_str());
            QTest::keyClick(pEdit, Qt::Key_Return);
            EXPECT_FALSE(driver.Dialog().IsEnded()) << "Enter in the code edit never closes the dialog";
        }
        for (int i = 0; i < driver.GetRowCount(IDC_SPECIES_ADDED_LIST); ++i)
            rows.push_back(driver.GetRowText(IDC_SPECIES_ADDED_LIST, i) + "|" + driver.GetRowText(IDC_SPECIES_ADDED_LIST, i, 2));
        driver.SetText(IDC_SPECIES_CODE, "");
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(c.messages, automation.m_boxes);
    EXPECT_EQ(c.added, AddedCodes(dialog));
    ASSERT_EQ(c.added.size(), rows.size());
    if (!rows.empty())
    {
        EXPECT_EQ(c.added[0] + "|" + (c.added[0] == "PSME" ? "Douglas-fir" : "western hemlock"), rows[0]);
    }
}

const std::vector<std::string> kFourteen = {"THPL", "ABGR", "ABAM", "ABPR", "ABLA", "ABCO", "PIPO",
                                            "PICO", "PIMO3", "PILA", "PISI", "PIEN", "PIGL", "PIMA"};

INSTANTIATE_TEST_SUITE_P(
    Cases, SpeciesAddTypedTest,
    ::testing::Values(STypedCase{"UnknownCode", {}, {"XXXX"}, {kNotRecognized}, {}},
                      STypedCase{"KnownCodeInAnyCase", {}, {"psme"}, {}, {"PSME"}},
                      STypedCase{"AlreadyInTheCondition", {"PSME"}, {"psme"}, {kAlreadyListed}, {}},
                      STypedCase{"TypedTwice", {}, {"TSHE", "TSHE"}, {kAlreadyListed}, {"TSHE"}},
                      STypedCase{"FifteenAtMost", kFourteen, {"PSME", "TSHE"}, {kMaximum}, {"PSME"}}),
    [](const ::testing::TestParamInfo<STypedCase>& info) { return std::string(info.param.pszCase); });

// OK with a code still in the edit adds it first, and stays open when it is refused.
TEST(SpeciesAddDlgTest, OkAddsTheTypedCodeFirst)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    CSpeciesAddDlg dialog(host.Heap());
    ASSERT_EQ(1, dialog.Initialize(host.LibMgr(), host.Registry(), host.ThreadPool(), host.SpeciesMap(), host.ErrorReporter(), nullptr, 0));
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        driver.SetText(IDC_SPECIES_CODE, "NOPE");
        driver.PressButton(IDOK);
        EXPECT_FALSE(driver.Dialog().IsEnded());
        driver.SetText(IDC_SPECIES_CODE, "THPL");
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(std::vector<std::string>{kNotRecognized}, automation.m_boxes);
    EXPECT_EQ(std::vector<std::string>{"THPL"}, AddedCodes(dialog));
}

// Look Up opens the Species Map Library's selection dialog: a search narrows its rows, several
// rows are chosen; the chosen species already in the condition is named in one refusal message,
// the others are added in the order of the selection list.
TEST(SpeciesAddDlgTest, LookUpAddsTheChosenRows)
{
    CTestHost host;
    ASSERT_TRUE(host.Loaded());
    char existing[15][10] = {};
    WoxCopyText(existing[0], "PSME");
    CSpeciesAddDlg dialog(host.Heap());
    ASSERT_EQ(1, dialog.Initialize(host.LibMgr(), host.Registry(), host.ThreadPool(), host.SpeciesMap(), host.ErrorReporter(), existing, 1));
    const int nCatalogue = static_cast<int>(host.SpeciesMap()->Species().size());
    int nSelectDialogs = 0;
    CScriptedAutomation automation([&](CWoxDialogDriver& driver) {
        if (driver.TemplateId() == IDD_SPECIES_ADD)
        {
            driver.PressButton(IDC_SPECIES_LOOK_UP);
            EXPECT_EQ(2, driver.GetRowCount(IDC_SPECIES_ADDED_LIST));
            driver.PressButton(IDOK);
            return;
        }
        ASSERT_EQ(IDD_SPECIES_SELECT, driver.TemplateId());
        ++nSelectDialogs;
        EXPECT_EQ("Select Species", driver.Caption());
        EXPECT_EQ(nCatalogue, driver.GetRowCount(IDC_SPECIES_LIST));
        driver.SetText(IDC_SPECIES_SEARCH, "douglas");
        ASSERT_EQ(1, driver.GetRowCount(IDC_SPECIES_LIST));
        EXPECT_EQ("PSME", driver.GetRowText(IDC_SPECIES_LIST, 0));
        driver.SetText(IDC_SPECIES_SEARCH, "  abies  FIR ");
        std::vector<int> chosen;
        for (int i = 0; i < driver.GetRowCount(IDC_SPECIES_LIST); ++i)
        {
            EXPECT_EQ(0u, driver.GetRowText(IDC_SPECIES_LIST, i, 1).find("Abies")) << "every word matches somewhere";
            const std::string code = driver.GetRowText(IDC_SPECIES_LIST, i);
            if (code == "ABGR" || code == "ABAM")
                chosen.push_back(i);
        }
        ASSERT_EQ(2u, chosen.size());
        ASSERT_TRUE(driver.SelectRows(IDC_SPECIES_LIST, chosen));
        // A row chosen under an earlier search stays chosen when the search changes.
        driver.SetText(IDC_SPECIES_SEARCH, "douglas");
        ASSERT_TRUE(driver.SelectRows(IDC_SPECIES_LIST, {0}));
        driver.SetText(IDC_SPECIES_SEARCH, "");
        EXPECT_NE(std::string::npos, driver.GetText(IDC_SPECIES_COUNT).find("3 selected"));
        driver.PressButton(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, nSelectDialogs);
    EXPECT_EQ((std::vector<std::string>{"ABAM", "ABGR"}), AddedCodes(dialog));
    ASSERT_EQ(1u, automation.m_boxes.size());
    EXPECT_EQ("The following species were not new or exceeded the number of allowed species:\n\nPSME\n\nThey will not be added to the "
              "subset list.",
              automation.m_boxes[0]);
}

} // namespace
