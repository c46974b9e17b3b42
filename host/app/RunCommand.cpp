#include "RunCommand.h"

#include <QApplication>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "Automation.h"
#include "Files.h"
#include "Module.h"
#include "ProjectPortData.h"
#include "ResourceIds.h"
#include "RunProgress.h"
#include "ScenarioData.h"
#include "StandVariables.h"
#include "TimedTreatment.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{
using CClock = std::chrono::steady_clock;

double Since(CClock::time_point start) { return std::chrono::duration<double>(CClock::now() - start).count(); }

// Answers the Open Scenario dialog: selects the row whose name is the wanted scenario and presses
// OK, or cancels when the list holds no such row once it is filled.
class CScenarioChooser final : public IWoxAutomation
{
public:
    explicit CScenarioChooser(std::string name) : m_name(std::move(name)) { m_pPrevious = WoxSetAutomation(this); }
    ~CScenarioChooser() { WoxSetAutomation(m_pPrevious); }
    CScenarioChooser(const CScenarioChooser&) = delete;
    CScenarioChooser& operator=(const CScenarioChooser&) = delete;

    void OnDialog(CWoxDialogDriver& driver) override
    {
        if (driver.TemplateId() != IDD_OPEN_SCENARIO)
        {
            driver.PressButton(IDCANCEL);
            return;
        }
        m_bShown = true;
        int nRow = -1;
        // The list is filled by a background task; a name may appear after the first rows.
        driver.WaitUntil(
            [&] {
                nRow = FindRow(driver);
                return nRow >= 0;
            },
            5000);
        if (nRow < 0)
        {
            m_nRows = driver.GetRowCount(IDC_OPEN_SCENARIO_LIST);
            driver.PressButton(IDCANCEL);
            return;
        }
        m_bFound = true;
        driver.SelectRow(IDC_OPEN_SCENARIO_LIST, nRow);
        driver.PressButton(IDOK);
    }
    int OnMessageBox(const char* pszText, const char*, UINT) override
    {
        m_messages.emplace_back(pszText ? pszText : "");
        return IDOK;
    }

    bool m_bShown = false;
    bool m_bFound = false;
    int m_nRows = 0;
    std::vector<std::string> m_messages;

private:
    int FindRow(CWoxDialogDriver& driver) const
    {
        for (int i = 0, n = driver.GetRowCount(IDC_OPEN_SCENARIO_LIST); i < n; ++i)
            if (driver.GetRowText(IDC_OPEN_SCENARIO_LIST, i, 0) == m_name)
                return i;
        return -1;
    }
    std::string m_name;
    IWoxAutomation* m_pPrevious = nullptr;
};

bool Fail(std::string* pError, const std::string& message)
{
    if (pError)
        *pError = message;
    return false;
}

// Creates the components of one library through the component manager (failures are reported
// there); treatment components are wrapped for timing.
void LoadComponentLibrary(CWoxHost& host, const std::string& path, double* pdTreatmentSeconds)
{
    host.CompMgr()->LoadLibrary(path.c_str(), [pdTreatmentSeconds](IComponent* pCreated) -> IComponent* {
        if (pCreated->GetType() != WOX_DESIGNATOR_TREATMENT)
            return pCreated;
        auto* pTimed = new CTimedTreatment(static_cast<ITreatmentComponent*>(pCreated), pdTreatmentSeconds);
        pTimed->AddReference();
        return pTimed;
    });
}

IScenarioComponent* FindScenarioComponent(CWoxHost& host)
{
    for (int i = 0; i < host.CompMgr()->GetComponentCount(); ++i)
    {
        auto* pComponent = static_cast<IComponent*>(host.CompMgr()->GetComponentAt(i));
        if (pComponent && pComponent->GetType() == WOX_DESIGNATOR_SCENARIO)
            return static_cast<IScenarioComponent*>(pComponent);
    }
    return nullptr;
}

// Loads the scenario component (the module the registry names) and the treatment components (the
// other modules of the component directories) into the host's component manager.
IScenarioComponent* LoadComponents(CWoxHost& host, double* pdTreatmentSeconds, std::string* pError)
{
    if (IScenarioComponent* pLoaded = FindScenarioComponent(host))
        return pLoaded;
    const std::string configured = host.Registry()->Get("Components", "Scenario Component");
    const std::string scenarioModule = WoxRealPath(configured.c_str());
    if (scenarioModule.empty())
    {
        Fail(pError, "the scenario component \"" + configured + "\" named in [Components] of the registry does not exist");
        return nullptr;
    }
    LoadComponentLibrary(host, scenarioModule, pdTreatmentSeconds);
    IScenarioComponent* pScenario = FindScenarioComponent(host);
    if (!pScenario)
    {
        Fail(pError, "the scenario component " + scenarioModule + " could not be loaded (see the messages above)");
        return nullptr;
    }
    for (const std::string& folder : host.Registry()->GetList("General", "Component Directory"))
        for (const std::string& name : WoxFindFiles(folder.c_str(), (std::string("*") + WoxSharedLibrarySuffix()).c_str()))
        {
            std::string path = folder + "/" + name;
            if (WoxRealPath(path.c_str()) != scenarioModule)
                LoadComponentLibrary(host, path, pdTreatmentSeconds);
        }
    return pScenario;
}

SStandYear MeasureStand(const SProjectStand& stand, int nYear, double dBasalAreaBefore)
{
    SStandYear row;
    row.nYear = nYear;
    row.stand = stand.id;
    row.dBasalAreaBefore = dBasalAreaBefore;
    row.dBasalArea = ComputeStandVariable(STAND_BASAL_AREA, stand.trees);
    row.dStems = ComputeStandVariable(STAND_STEMS, stand.trees);
    row.dQmd = ComputeStandVariable(STAND_QMD, stand.trees);
    row.dTopHeight = ComputeStandVariable(STAND_TOP_HEIGHT, stand.trees);
    row.dVolume = ComputeStandVariable(STAND_VOLUME, stand.trees);
    return row;
}
}

bool RunSimulation(CWoxHost& host, const SRunOptions& options, SRunResults& results, SRunTimings* pTimings, std::FILE* pProgress,
                   std::string* pError)
{
    SRunTimings timings;
    SProject project;
    if (!ReadProject(options.project, project, pError))
        return false;
    if (project.stands.empty())
        return Fail(pError, "the project " + options.project + " has no stands");
    if (project.nPeriodLength < 1 || project.nPeriodLength > 100)
        return Fail(pError, "the project " + options.project + " has a period length of " + std::to_string(project.nPeriodLength) + " years");
    if (options.nPeriods < 1 || options.nPeriods > 200)
        return Fail(pError, "the number of periods must be 1 to 200");

    CForest forest(std::move(project));
    const std::string scenarioFolder = WoxRealPath((std::filesystem::path(options.project) / WOX_PROJECT_SCENARIOS).string().c_str());
    if (scenarioFolder.empty())
        return Fail(pError, "the project " + options.project + " has no scenarios folder");
    IScenarioComponent* pComponent = LoadComponents(host, &timings.dTreatments, pError);
    if (!pComponent)
        return false;

    CProjectPortData portData(forest, host.CompMgr(), scenarioFolder, options.nPeriods);
    CRunView view;
    SScenarioData scenario;
    SComponentData data = {};
    data.pData = &scenario;
    data.pPortData = &portData;
    {
        std::unique_ptr<CScenarioChooser> pChooser;
        if (!options.scenario.empty())
            pChooser = std::make_unique<CScenarioChooser>(options.scenario);
        int nSetup = pComponent->SetupComponent(&data, {});
        if (pChooser && !pChooser->m_bFound)
            return Fail(pError, "no scenario named \"" + options.scenario + "\" in " + scenarioFolder + " (" +
                                    std::to_string(pChooser->m_nRows) + " scenario(s) listed)");
        if (!nSetup)
        {
            std::string why = pChooser && !pChooser->m_messages.empty() ? ": " + pChooser->m_messages.front() : "";
            return Fail(pError, "the scenario was not set up" + why);
        }
    }
    char szName[sizeof scenario.info.szName + 1];
    WoxFieldToString(szName, sizeof szName, scenario.info.szName, sizeof scenario.info.szName);
    results = SRunResults{};
    results.project = forest.Project().name;
    results.scenario = szName;

    const int nLength = forest.Project().nPeriodLength;
    CRunProgress progress(pProgress, WoxIsTerminal(pProgress), options.nPeriods);
    for (int nPeriod = 0; nPeriod <= options.nPeriods; ++nPeriod)
    {
        const int nYear = forest.Year();
        std::vector<double> before(forest.StandCount());
        for (size_t i = 0; i < forest.StandCount(); ++i)
            before[i] = ComputeStandVariable(STAND_BASAL_AREA, forest.Stand(i).trees);
        const size_t nAppliedBefore = forest.Applied().size();
        // The last year is measured only: its period would reach past the simulated time.
        if (nPeriod < options.nPeriods)
        {
            scenario.nRunYear = nYear;
            auto start = CClock::now();
            int nRun = pComponent->RunComponent(&data, &view);
            timings.dScenarioRuns += Since(start);
            if (!nRun)
                return Fail(pError, "the scenario run stopped in " + std::to_string(nYear));
        }
        for (size_t i = 0; i < forest.StandCount(); ++i)
        {
            SStandYear row = MeasureStand(forest.Stand(i), nYear, before[i]);
            forest.TakeRemovals(i, row.dRemovedStems, row.dRemovedVolume);
            results.standYears.push_back(std::move(row));
        }
        if (nPeriod < options.nPeriods)
            progress.PeriodDone(nPeriod + 1, nYear, forest.Applied().size() - nAppliedBefore);
        if (nPeriod < options.nPeriods)
        {
            auto start = CClock::now();
            forest.Grow(nLength);
            timings.dGrowth += Since(start);
            timings.nStandPeriods += static_cast<int>(forest.StandCount());
        }
    }
    results.treatments = forest.Applied();
    if (pTimings)
        *pTimings = timings;
    return true;
}

namespace
{
void PrintPeriodTable(const SRunResults& results, const std::map<std::string, double>& areas)
{
    struct SPeriod
    {
        double dBefore = 0.0, dAfter = 0.0, dVolume = 0.0;
        int nStands = 0, nTreatments = 0;
    };
    std::map<int, SPeriod> periods;
    for (const SStandYear& row : results.standYears)
    {
        SPeriod& period = periods[row.nYear];
        period.dBefore += row.dBasalAreaBefore;
        period.dAfter += row.dBasalArea;
        auto area = areas.find(row.stand);
        period.dVolume += row.dRemovedVolume * (area == areas.end() ? 0.0 : area->second);
        ++period.nStands;
    }
    for (const SAppliedTreatment& applied : results.treatments)
        ++periods[applied.nYear].nTreatments;
    std::printf("%-6s %18s %18s %11s %20s\n", "Year", "Mean BA (m2/ha)", "after treatments", "Treatments", "Volume removed (m3)");
    for (const auto& [nYear, period] : periods)
        std::printf("%-6d %18.1f %18.1f %11d %20.0f\n", nYear, period.dBefore / period.nStands, period.dAfter / period.nStands,
                    period.nTreatments, period.dVolume);
}

void PrintUsage()
{
    std::fprintf(stderr, "usage: wox run PROJECT [--scenario NAME] [--periods N] [--out DIR]\n");
}
}

int RunRunCommand(CWoxHost& host, int argc, char** argv)
{
    SRunOptions options;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if ((arg == "--scenario" || arg == "--periods" || arg == "--out") && i + 1 < argc)
        {
            std::string value = argv[++i];
            if (arg == "--scenario")
                options.scenario = value;
            else if (arg == "--out")
                options.out = value;
            else
            {
                char* pEnd = nullptr;
                long nValue = std::strtol(value.c_str(), &pEnd, 10);
                if (!pEnd || *pEnd || nValue < 1 || nValue > 200)
                {
                    std::fprintf(stderr, "wox run: --periods needs a number from 1 to 200\n");
                    return 2;
                }
                options.nPeriods = static_cast<int>(nValue);
            }
        }
        else if (arg.rfind("--", 0) == 0 || !options.project.empty())
        {
            PrintUsage();
            return 2;
        }
        else
            options.project = arg;
    }
    if (options.project.empty())
    {
        PrintUsage();
        return 2;
    }
    if (options.out.empty())
        options.out = (std::filesystem::path(options.project) / "results").string();

    // Batch runs answer the dialog themselves and need no display.
    if (!options.scenario.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int nQtArgc = 1;
    char szProgram[] = "wox";
    char* qtArgv[] = {szProgram, nullptr};
    QApplication application(nQtArgc, qtArgv);

    SRunResults results;
    SRunTimings timings;
    std::string error;
    if (!RunSimulation(host, options, results, &timings, stderr, &error))
    {
        std::fprintf(stderr, "wox run: %s\n", error.c_str());
        return 1;
    }
    if (!WriteResultTables(options.out, results, &error) || !WriteResultChart(options.out + "/chart.png", results, &error))
    {
        std::fprintf(stderr, "wox run: %s\n", error.c_str());
        return 1;
    }
    SProject project;
    std::map<std::string, double> areas;
    if (ReadProject(options.project, project, nullptr))
        for (const auto& stand : project.stands)
            areas[stand.id] = stand.dArea;
    std::printf("Project %s, scenario %s: %zu stands, %zu treatments applied\n\n", results.project.c_str(), results.scenario.c_str(),
                areas.size(), results.treatments.size());
    PrintPeriodTable(results, areas);
    std::printf("\nResults: %s/results.db\n         %s/stand_years.csv\n         %s/treatments.csv\nChart:   %s/chart.png\n",
                options.out.c_str(), options.out.c_str(), options.out.c_str(), options.out.c_str());
    std::fprintf(stderr, "wox run: growth %.3f s, scenario runs %.3f s (treatments %.3f s) over %d stand-periods\n", timings.dGrowth,
                 timings.dScenarioRuns, timings.dTreatments, timings.nStandPeriods);
    return 0;
}
