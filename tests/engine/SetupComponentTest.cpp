// Simulation set-up through the Open Scenario dialog, driven by the automation hook.

#include <QApplication>

#include "Automation.h"
#include "EngineFixture.h"
#include "ScenarioFile.h"
#include "WoxText.h"

namespace
{
constexpr int kOpenScenarioTemplate = 10025;
constexpr int kScenarioList = 5005;

// Chooses the first row once the list shows it (or cancels), and records what it saw.
class CChooser final : public IWoxAutomation
{
public:
    explicit CChooser(bool bChoose) : m_bChoose(bChoose) { WoxSetAutomation(this); }
    ~CChooser() { WoxSetAutomation(nullptr); }

    void OnDialog(CWoxDialogDriver& driver) override
    {
        m_nTemplate = driver.TemplateId();
        if (!m_bChoose)
        {
            driver.PressButton(IDCANCEL);
            return;
        }
        driver.WaitUntil([&] { return driver.GetRowCount(kScenarioList) > 0; });
        m_name = driver.GetRowText(kScenarioList, 0, 0);
        driver.SelectRow(kScenarioList, 0);
        driver.PressButton(IDOK);
    }
    int OnMessageBox(const char* pszText, const char*, UINT) override
    {
        m_messages.emplace_back(pszText ? pszText : "");
        return IDOK;
    }

    int m_nTemplate = 0;
    std::string m_name;
    std::vector<std::string> m_messages;

private:
    bool m_bChoose;
};

class CSetupComponentTest : public CEngineTest
{
protected:
    // Writes a scenario file with the records into the temporary folder.
    std::string WriteScenario(const char* pszName, const std::vector<SScenarioTreatment>& records)
    {
        SScenarioData scenario;
        WoxCopyText(scenario.info.szName, pszName);
        scenario.info.nEndYear = 2100;
        EXPECT_EQ(1, m_pEngine->CreateArrayTreatments(scenario.pTreatments));
        for (const SScenarioTreatment& record : records)
            scenario.pTreatments->Add(&record);
        const std::string path = m_folder.File(std::string(pszName) + ".scenario");
        CScenarioFile file(m_host.Heap());
        EXPECT_TRUE(file.Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()));
        EXPECT_TRUE(file.Create(path.c_str()));
        EXPECT_TRUE(file.WriteRecords(&scenario));
        file.Close();
        return path;
    }

    CTempFolder m_folder;
};

TEST_F(CSetupComponentTest, ChosenScenarioBecomesTheTreatmentList)
{
    const std::string path = WriteScenario("Thin twice", {NormalRecord(2005, "S1", "first"), NormalRecord(2010, "S2", "second")});
    m_port.SetScenarioFolder(m_folder.Path());
    CChooser chooser(true);

    EXPECT_EQ(1, m_pEngine->SetupComponent(&m_data, {}));

    EXPECT_EQ(kOpenScenarioTemplate, chooser.m_nTemplate);
    EXPECT_EQ("Thin twice", chooser.m_name);
    EXPECT_EQ(path, std::string(m_scenario.szPath));
    EXPECT_STREQ("Thin twice", m_scenario.info.szName);
    EXPECT_EQ((std::vector<SRecordView>{{2005, "S1", "first"}, {2010, "S2", "second"}}), Remaining());

    // The loaded list is the one the runs work on.
    EXPECT_EQ(1, Run(2005));
    EXPECT_EQ((std::vector<std::string>{"S1/first"}), HandedOver(m_thinning));
}

TEST_F(CSetupComponentTest, CancelledSetupLeavesPathAndGivesANewEmptyList)
{
    WriteScenario("Unused", {NormalRecord(2005, "S1", "first")});
    m_port.SetScenarioFolder(m_folder.Path());
    WoxCopyText(m_scenario.szPath, "earlier path");
    Append(NormalRecord(2005, "S9", "from before"));
    IArrayExt2* pEarlier = m_scenario.pTreatments.Get();
    IDynamicPtrTemplate<IArrayExt2> pKeepEarlier = m_scenario.pTreatments;
    CChooser chooser(false);

    EXPECT_EQ(0, m_pEngine->SetupComponent(&m_data, {}));

    EXPECT_EQ(kOpenScenarioTemplate, chooser.m_nTemplate);
    EXPECT_STREQ("earlier path", m_scenario.szPath);
    ASSERT_TRUE(m_scenario.pTreatments);
    EXPECT_NE(pEarlier, m_scenario.pTreatments.Get());
    EXPECT_EQ(0, m_scenario.pTreatments->GetSize());
    EXPECT_EQ(1, pEarlier->GetSize());
}

TEST_F(CSetupComponentTest, UnreadableChoiceAnswersZero)
{
    const std::string path = WriteScenario("Vanishing", {NormalRecord(2005, "S1", "first")});
    m_port.SetScenarioFolder(m_folder.Path());
    // The file is damaged after the dialog listed it: shorter than its header.
    class CDamagingChooser final : public IWoxAutomation
    {
    public:
        explicit CDamagingChooser(std::string path) : m_path(std::move(path)) { WoxSetAutomation(this); }
        ~CDamagingChooser() { WoxSetAutomation(nullptr); }
        void OnDialog(CWoxDialogDriver& driver) override
        {
            driver.WaitUntil([&] { return driver.GetRowCount(kScenarioList) > 0; });
            if (FILE* pFile = std::fopen(m_path.c_str(), "wb"))
                std::fclose(pFile);
            driver.SelectRow(kScenarioList, 0);
            driver.PressButton(IDOK);
        }
        int OnMessageBox(const char*, const char*, UINT) override { return IDOK; }

    private:
        std::string m_path;
    } chooser(path);

    EXPECT_EQ(0, m_pEngine->SetupComponent(&m_data, {}));
    EXPECT_EQ(path, std::string(m_scenario.szPath));
    EXPECT_EQ(0, m_scenario.pTreatments->GetSize());
}

// Setup answers 0 without showing the dialog when the dialog, the file object or the treatment
// list cannot be made.
enum class ESetupPart { Dialog, File, TreatmentList };

class CSetupFailureTest : public CSetupComponentTest, public ::testing::WithParamInterface<ESetupPart>
{
};

TEST_P(CSetupFailureTest, AnswersZeroWithoutShowingTheDialog)
{
    m_port.SetScenarioFolder(m_folder.Path());
    const std::string missing = m_folder.File("libMissing.so");
    CEngineProbe* pEngine = m_pEngine;
    switch (GetParam())
    {
    case ESetupPart::Dialog: m_host.Registry()->SetString("Libraries", "Data Controller Library", missing); break;
    case ESetupPart::File: m_host.Registry()->SetString("Libraries", "IO Library", missing); break;
    case ESetupPart::TreatmentList:
    {
        // A component created while the registry named a library that is gone by the setup.
        std::string dataController = m_host.Registry()->Get("Libraries", "Data Controller Library");
        m_host.Registry()->SetString("Libraries", "Data Controller Library", missing);
        pEngine = new CEngineProbe(m_host.Heap());
        pEngine->AddReference();
        ASSERT_EQ(1, pEngine->Create(m_pLibMgr, m_host.ThreadPool(), m_host.Registry(), m_host.ErrorReporter(), m_host.SpeciesMap(), &m_compMgr));
        m_host.Registry()->SetString("Libraries", "Data Controller Library", dataController);
        break;
    }
    }
    CChooser chooser(true);

    EXPECT_EQ(0, pEngine->SetupComponent(&m_data, {}));
    EXPECT_EQ(0, chooser.m_nTemplate);
    EXPECT_STREQ("", m_scenario.szPath);
    if (pEngine != m_pEngine)
        pEngine->Release();
}

INSTANTIATE_TEST_SUITE_P(Parts, CSetupFailureTest, ::testing::Values(ESetupPart::Dialog, ESetupPart::File, ESetupPart::TreatmentList));
}
