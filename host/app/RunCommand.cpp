#include "RunCommand.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "AtomicFolder.h"
#include "FolderLock.h"
#include "Automation.h"
#include "Display.h"
#include "Files.h"
#include "Module.h"
#include "ProjectPortData.h"
#include "ResourceIds.h"
#include "RunChecks.h"
#include "RunProgress.h"
#include "ScenarioList.h"
#include "ScenarioData.h"
#include "StandVariables.h"
#include "TimedTreatment.h"
#include "ForestFigures.h"
#include "TreeList.h"
#include "TriggerCheckRecorder.h"
#include "Treatments.h"
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
// Seconds that the treatment components of this process spent in RunComponent; a run reports what
// it added.
std::atomic<double> s_treatmentSeconds{0.0};

void LoadComponentLibrary(CWoxHost& host, const std::string& path, std::atomic<double>* pdTreatmentSeconds)
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
IScenarioComponent* LoadComponents(CWoxHost& host, std::string* pError)
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
    LoadComponentLibrary(host, scenarioModule, &s_treatmentSeconds);
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
                LoadComponentLibrary(host, path, &s_treatmentSeconds);
        }
    return pScenario;
}

// The component reads scenario files through the IO Library and keeps records in arrays of the
// Data Controller Library; without them it lists no scenario at all, so say which one is missing.
bool CheckHostLibraries(CWoxHost& host, std::string* pError)
{
    for (const char* pszLibrary : {"Data Controller Library", "IO Library"})
    {
        const std::string path = host.Registry()->Get("Libraries", pszLibrary);
        if (path.empty())
            return Fail(pError, std::string("the registry names no ") + pszLibrary + " in [Libraries]");
        if (!host.LibMgr()->OpenLibrary(path.c_str()))
            return Fail(pError, std::string("the ") + pszLibrary + " \"" + path + "\" named in [Libraries] of the registry cannot be loaded");
    }
    return true;
}

// The wanted scenario must name exactly one file of the folder.
bool CheckScenarioName(CWoxHost& host, const std::string& folder, const std::string& name, std::string* pError)
{
    const std::vector<SScenarioListEntry> all = ListScenarioFiles(host.Heap(), folder);
    const std::vector<SScenarioListEntry> named = ScenariosNamed(all, name);
    if (named.empty())
        return Fail(pError, "no scenario named \"" + name + "\" in " + folder + " (" + std::to_string(all.size()) + " scenario(s) listed)");
    if (named.size() > 1)
    {
        std::string paths;
        for (const SScenarioListEntry& entry : named)
            paths += (paths.empty() ? "" : ", ") + entry.path;
        return Fail(pError, std::to_string(named.size()) + " scenario files are named \"" + name + "\": " + paths);
    }
    return true;
}

std::string RecordText(const SScenarioTreatment& record)
{
    char szStand[sizeof record.szStand + 1], szName[sizeof record.treatment.szName + 1];
    WoxFieldToString(szStand, sizeof szStand, record.szStand, sizeof record.szStand);
    WoxFieldToString(szName, sizeof szName, record.treatment.szName, sizeof record.treatment.szName);
    return "the record \"" + std::string(szName) + "\" of " + std::to_string(record.nYear) + " for stand \"" + szStand + "\"";
}

// Every record's parameter block, checked as its treatment component will run it.
bool CheckParameterBlocks(CWoxHost& host, const SScenarioData& scenario, std::string* pError)
{
    for (int i = 0, n = scenario.pTreatments ? scenario.pTreatments->GetSize() : 0; i < n; ++i)
    {
        auto* pRecord = static_cast<const SScenarioTreatment*>(scenario.pTreatments->GetAt(i, 0));
        if (!pRecord)
            continue;
        const STreatmentDataTreatment& treatment = pRecord->treatment;
        const void* pBlock = treatment.pData ? host.Heap()->Data(treatment.pData) : nullptr;
        const uint32_t nSize = pBlock ? std::min(treatment.nDataSize, host.Heap()->Size(treatment.pData)) : 0;
        std::string why;
        if (!CheckTreatmentBlock(treatment.guidComponent, pBlock, nSize, host.SpeciesMap(), why))
            return Fail(pError, RecordText(*pRecord) + ": " + why);
    }
    return true;
}

// Why a period's run stopped: a due record for a stand the project does not have, else the last
// error a component reported during the run.
std::string StopReason(const CProjectPortData& portData, const SScenarioData& scenario, int nYear, const std::vector<std::string>& reports,
                       size_t nReportsBefore)
{
    std::string why = "the scenario run stopped in " + std::to_string(nYear);
    const std::string& stand = portData.UnknownStand();
    for (int i = 0, n = stand.empty() ? 0 : scenario.pTreatments->GetSize(); i < n; ++i)
    {
        auto* pRecord = static_cast<const SScenarioTreatment*>(scenario.pTreatments->GetAt(i, 0));
        char szStand[sizeof pRecord->szStand + 1];
        WoxFieldToString(szStand, sizeof szStand, pRecord->szStand, sizeof pRecord->szStand);
        if (pRecord->nYear <= nYear && stand == szStand)
            return why + ": " + RecordText(*pRecord) + " names a stand that the project does not have";
    }
    if (reports.size() > nReportsBefore)
        return why + ": " + reports.back();
    return why;
}

// The stand's figures before the year's treatments.
SStandYear MeasureBefore(const SProjectStand& stand, int nYear)
{
    SStandYear row;
    row.nYear = nYear;
    row.dArea = stand.dArea;
    row.dBasalAreaBefore = ComputeStandVariable(STAND_BASAL_AREA, stand.trees);
    row.dStemsBefore = ComputeStandVariable(STAND_STEMS, stand.trees);
    row.dVolumeBefore = ComputeStandVariable(STAND_VOLUME, stand.trees);
    return row;
}

// Completes the row after the year's treatments; trees that no treatment replaced keep the
// figures measured before.
void MeasureAfter(SStandYear& row, const SProjectStand& stand, bool bChanged)
{
    row.stand = stand.id;
    row.dBasalArea = bChanged ? ComputeStandVariable(STAND_BASAL_AREA, stand.trees) : row.dBasalAreaBefore;
    row.dStems = bChanged ? ComputeStandVariable(STAND_STEMS, stand.trees) : row.dStemsBefore;
    row.dVolume = bChanged ? ComputeStandVariable(STAND_VOLUME, stand.trees) : row.dVolumeBefore;
    row.dQmd = ComputeStandVariable(STAND_QMD, stand.trees);
    row.dTopHeight = ComputeStandVariable(STAND_TOP_HEIGHT, stand.trees);
}

// Holds the reports of failed condition checks for the length of a run.
class CHeldConditionReports
{
public:
    explicit CHeldConditionReports(CWoxErrorReporter* pReporter) : m_pReporter(pReporter) { m_pReporter->HoldSources(ConditionFailureSources()); }
    ~CHeldConditionReports() { m_pReporter->HoldSources({}); }
    CHeldConditionReports(const CHeldConditionReports&) = delete;
    CHeldConditionReports& operator=(const CHeldConditionReports&) = delete;

private:
    CWoxErrorReporter* m_pReporter;
};
}

IScenarioComponent* WoxLoadHostComponents(CWoxHost& host, std::string* pError)
{
    if (!CheckHostLibraries(host, pError))
        return nullptr;
    return LoadComponents(host, pError);
}

bool LoadRunProject(CWoxHost& host, const std::string& folder, SProject& project, std::string* pError)
{
    if (!ReadProject(folder, project, pError))
        return false;
    if (project.stands.empty())
        return Fail(pError, "the project " + folder + " has no stands");
    std::string why;
    // Species the project adds to the catalogue (see host/project/README.md).
    const std::string extraSpecies = (std::filesystem::path(folder) / WOX_PROJECT_SPECIES).string();
    std::error_code ec;
    if (std::filesystem::exists(extraSpecies, ec) && !host.SpeciesMap()->Extend(extraSpecies.c_str(), &why))
        return Fail(pError, why);
    if (!CanonicalSpecies(project, [&](const char* pszCode) { return host.SpeciesMap()->Canonical(pszCode); }, &why))
        return Fail(pError, (std::filesystem::path(folder) / WOX_PROJECT_DATABASE).string() + ": " + why);
    return true;
}

// What a run holds from its set-up to its end; members in the order they are built, so that the
// component data goes before the scenario, the port data and the forest it points to.
struct CScenarioRun::SState
{
    CWoxHost* pHost = nullptr;
    IScenarioComponent* pComponent = nullptr;
    int nPeriods = 0;
    std::unique_ptr<CForest> pForest;
    std::unique_ptr<CProjectPortData> pPortData;
    CRunView view;
    SScenarioData scenario;
    SComponentData data = {};
    std::string name;
    std::string unknownStands;   // the line on records for stands the project lacks; empty = none
    std::string treeList;        // see SRunOptions::treeList
    bool bExplain = false;       // see SRunOptions::bExplain
};

CScenarioRun::CScenarioRun() = default;
CScenarioRun::~CScenarioRun() = default;

bool CScenarioRun::Prepare(CWoxHost& host, const SRunOptions& options, SProject project, std::string* pError)
{
    if (options.nPeriods < 1 || options.nPeriods > 200)
        return Fail(pError, "the number of periods must be 1 to 200");
    const std::string scenarioFolder = WoxRealPath((std::filesystem::path(options.project) / WOX_PROJECT_SCENARIOS).string().c_str());
    if (scenarioFolder.empty())
        return Fail(pError, "the project " + options.project + " has no scenarios folder");
    if (!CheckHostLibraries(host, pError) || (!options.scenario.empty() && !CheckScenarioName(host, scenarioFolder, options.scenario, pError)))
        return false;
    IScenarioComponent* pComponent = LoadComponents(host, pError);
    if (!pComponent)
        return false;

    auto pState = std::make_unique<SState>();
    pState->pHost = &host;
    pState->pComponent = pComponent;
    pState->nPeriods = options.nPeriods;
    pState->pForest = std::make_unique<CForest>(std::move(project));
    pState->pPortData = std::make_unique<CProjectPortData>(*pState->pForest, host.CompMgr(), scenarioFolder, options.nPeriods);
    pState->data.pData = &pState->scenario;
    pState->data.pPortData = pState->pPortData.get();
    {
        std::unique_ptr<CScenarioChooser> pChooser;
        if (!options.scenario.empty())
            pChooser = std::make_unique<CScenarioChooser>(options.scenario);
        int nSetup = pComponent->SetupComponent(&pState->data, {});
        if (pChooser && !pChooser->m_bFound)
            return Fail(pError, "no scenario named \"" + options.scenario + "\" in " + scenarioFolder + " (" +
                                    std::to_string(pChooser->m_nRows) + " scenario(s) listed)");
        if (!nSetup)
        {
            std::string why = pChooser && !pChooser->m_messages.empty() ? ": " + pChooser->m_messages.front() : "";
            return Fail(pError, "the scenario was not set up" + why);
        }
    }
    if (!CheckParameterBlocks(host, pState->scenario, pError))
        return false;
    CForest& forest = *pState->pForest;
    const SUnknownStandRecords unknown =
        CountUnknownStandRecords(pState->scenario, forest, forest.Year() + (options.nPeriods - 1) * forest.Project().nPeriodLength);
    if (unknown.nStopping > 0)
        return Fail(pError, unknown.line + "; " + std::to_string(unknown.nStopping) + " of them would be due in the run");
    pState->unknownStands = unknown.line;
    pState->treeList = options.treeList;
    pState->bExplain = options.bExplain;
    char szName[sizeof pState->scenario.info.szName + 1];
    WoxFieldToString(szName, sizeof szName, pState->scenario.info.szName, sizeof pState->scenario.info.szName);
    pState->name = szName;
    m_pState = std::move(pState);
    return true;
}

bool CScenarioRun::Simulate(SRunResults& results, SRunTimings* pTimings, std::FILE* pProgress, std::string* pError)
{
    if (!m_pState)
        return Fail(pError, "the scenario run was not set up");
    SState& state = *m_pState;
    CWoxHost& host = *state.pHost;
    CForest& forest = *state.pForest;
    SRunTimings timings;
    const double dTreatmentsBefore = s_treatmentSeconds.load();
    if (forest.GrownToFirstYear() > 0 && pProgress)
        std::fprintf(pProgress, "wox run: %zu stand(s) inventoried before %d grown to %d before the run\n", forest.GrownToFirstYear(),
                     forest.Year(), forest.Year());
    if (!state.unknownStands.empty() && pProgress)
        std::fprintf(pProgress, "wox run: %s (triggered or after the run, never applied)\n", state.unknownStands.c_str());
    CTreeListWriter treeList;
    if (!state.treeList.empty() && !treeList.Open(state.treeList, pError))
        return false;
    double dTotalArea = 0.0;
    for (size_t i = 0; i < forest.StandCount(); ++i)
        dTotalArea += forest.Stand(i).dArea;
    CSpeciesTally species;
    CHeldConditionReports held(host.ErrorReporter());
    host.ErrorReporter()->TakeHeld();
    results = SRunResults{};
    results.project = forest.Project().name;
    results.scenario = state.name;
    results.bExplained = state.bExplain;
    CTriggerCheckRecorder recorder(results.triggerChecks);
    CTriggerObserverScope observer;
    if (state.bExplain && !observer.Set(host, state.pComponent, &recorder, pError))
        return false;

    const int nLength = forest.Project().nPeriodLength;
    CRunProgress progress(pProgress, WoxIsTerminal(pProgress), state.nPeriods);
    for (int nPeriod = 0; nPeriod <= state.nPeriods; ++nPeriod)
    {
        const int nYear = forest.Year();
        std::vector<SStandYear> rows(forest.StandCount());
        std::vector<uint32_t> changes(forest.StandCount());
        for (size_t i = 0; i < forest.StandCount(); ++i)
        {
            rows[i] = MeasureBefore(forest.Stand(i), nYear);
            changes[i] = forest.TreeChanges(i);
        }
        const size_t nAppliedBefore = forest.Applied().size();
        // The last year is measured only: its period would reach past the simulated time.
        if (nPeriod < state.nPeriods)
        {
            state.scenario.nRunYear = nYear;
            const size_t nReportsBefore = host.ErrorReporter()->Reports().size();
            auto start = CClock::now();
            int nRun = state.pComponent->RunComponent(&state.data, &state.view);
            timings.dScenarioRuns += Since(start);
            if (!nRun)
                return Fail(pError, StopReason(*state.pPortData, state.scenario, nYear, host.ErrorReporter()->Reports(), nReportsBefore));
        }
        for (size_t i = 0; i < forest.StandCount(); ++i)
        {
            const SProjectStand& stand = forest.Stand(i);
            SStandYear& row = rows[i];
            MeasureAfter(row, stand, forest.TreeChanges(i) != changes[i]);
            forest.TakeRemovals(i, row.dRemovedStems, row.dRemovedVolume);
            results.standYears.push_back(std::move(row));
            species.Add(nYear, stand.dArea, stand.trees);
            if (!state.treeList.empty() && !treeList.Write(nYear, stand.id, stand.trees))
                return treeList.Close(pError);
        }
        if (nPeriod < state.nPeriods)
            progress.PeriodDone(nPeriod + 1, nYear, forest.Applied().size() - nAppliedBefore);
        if (nPeriod < state.nPeriods)
        {
            auto start = CClock::now();
            forest.Grow(nLength);
            timings.dGrowth += Since(start);
            timings.nStandPeriods += static_cast<int>(forest.StandCount());
        }
    }
    results.treatments = forest.Applied();
    results.speciesYears = species.Rows(dTotalArea);
    results.unevaluated = host.ErrorReporter()->TakeHeld();
    if (!state.treeList.empty() && !treeList.Close(pError))
        return false;
    timings.dTreatments = s_treatmentSeconds.load() - dTreatmentsBefore;
    if (recorder.Incomplete())
        return Fail(pError, "not enough memory to keep every trigger check; run fewer stands or periods with --explain");
    if (pTimings)
        *pTimings = timings;
    return true;
}

bool RunSimulation(CWoxHost& host, const SRunOptions& options, SRunResults& results, SRunTimings* pTimings, std::FILE* pProgress,
                   std::string* pError)
{
    SProject project;
    if (!LoadRunProject(host, options.project, project, pError))
        return false;
    CScenarioRun run;
    return run.Prepare(host, options, std::move(project), pError) && run.Simulate(results, pTimings, pProgress, pError);
}

namespace
{
// Forest figures per year: means per hectare and the removed total weighted by stand area.
void PrintPeriodTable(const SRunResults& results)
{
    std::printf("%-6s %9s %9s %11s %11s %11s %19s\n", "Year", "BA before", "BA after", "Vol before", "Vol after", "Treatments",
                "Volume removed (m3)");
    for (const SForestYear& year : ForestFigures(results))
        std::printf("%-6d %9.1f %9.1f %11.0f %11.0f %11d %19.0f\n", year.nYear, year.basalAreaBefore.dMean, year.basalArea.dMean,
                    year.dVolumeBefore, year.dVolume, year.nTreatments, year.dRemovedVolumeTotal);
    std::printf("(basal area in m2/ha and volume in m3/ha: means over the forest, each stand weighted by its area)\n");
}

// Lists the project's scenarios on stdout and answers the one-line refusal of a run without a
// scenario name where no dialog can be shown.
int ListInsteadOfAsking(CWoxHost& host, const std::string& project)
{
    const std::string folder = (std::filesystem::path(project) / WOX_PROJECT_SCENARIOS).string();
    const std::vector<SScenarioListEntry> entries = ListScenarioFiles(host.Heap(), folder);
    for (const SScenarioListEntry& entry : entries)
        std::printf("%-30s %s\n", entry.name.c_str(), entry.path.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "wox run: no display to choose a scenario on; name one with --scenario (%zu scenario(s) of %s listed)\n",
                 entries.size(), project.c_str());
    return 1;
}

void PrintUsage()
{
    std::fprintf(stderr, "usage: wox run PROJECT [--scenario NAME] [--periods N] [--out DIR] [--tree-list] [--explain]\n");
}
}

int RunRunCommand(CWoxHost& host, int argc, char** argv)
{
    SRunOptions options;
    bool bTreeList = false;
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
        else if (arg == "--tree-list")
            bTreeList = true;
        else if (arg == "--explain")
            options.bExplain = true;
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

    // Without a name the user chooses in the dialog, which needs a screen: list what there is.
    if (options.scenario.empty() && !WoxHasDisplay())
        return ListInsteadOfAsking(host, options.project);
    // The project must be readable before anything is created beside it.
    std::string error;
    SProject project;
    if (!ReadProject(options.project, project, &error))
    {
        std::fprintf(stderr, "wox run: %s\n", error.c_str());
        return 1;
    }
    // One run at a time writes into a results folder; the lock also makes leftovers of killed
    // runs safe to remove.
    CFolderLock outLock;
    if (!outLock.Acquire(options.out, &error))
    {
        std::fprintf(stderr, "wox run: %s\n", error.c_str());
        return 1;
    }
    WoxRemoveStaleFolders(options.out);

    // Batch runs answer the dialog themselves and need no display.
    if (!options.scenario.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int nQtArgc = 1;
    char szProgram[] = "wox";
    char* qtArgv[] = {szProgram, nullptr};
    QApplication application(nQtArgc, qtArgv);

    SRunResults results;
    SRunTimings timings;
    // The results are made in a private folder that replaces the old ones at the end; the tree
    // list streams into it during the run. Opened first, so nothing is simulated for results
    // that could not be kept.
    CAtomicFolder out;
    if (!OpenResults(out, options.out, &error))
    {
        std::fprintf(stderr, "wox run: %s\n", error.c_str());
        return 1;
    }
    if (bTreeList)
        options.treeList = out.Path() + "/" + kTreeListFile;
    if (!RunSimulation(host, options, results, &timings, stderr, &error) || !CommitResults(out, results, &error))
    {
        std::fprintf(stderr, "wox run: %s\n", error.c_str());
        return 1;
    }
    std::printf("Project %s, scenario %s: %zu stands, %zu treatments applied\n\n", results.project.c_str(), results.scenario.c_str(),
                project.stands.size(), results.treatments.size());
    PrintPeriodTable(results);
    std::printf("\nResults: %s/results.db\n         %s/stand_years.csv\n         %s/species_years.csv\n         %s/treatments.csv\n",
                options.out.c_str(), options.out.c_str(), options.out.c_str(), options.out.c_str());
    if (bTreeList)
        std::printf("         %s/%s\n", options.out.c_str(), kTreeListFile);
    std::printf("Chart:   %s/chart.png\n", options.out.c_str());
    if (options.bExplain)
        std::printf("Trigger checks: %zu rows in %s/%s (wox explain %s --stand ID)\n", results.triggerChecks.size(), options.out.c_str(),
                    kTriggerChecksFile, options.out.c_str());
    std::fprintf(stderr, "wox run: growth %.3f s, scenario runs %.3f s (treatments %.3f s) over %d stand-periods\n", timings.dGrowth,
                 timings.dScenarioRuns, timings.dTreatments, timings.nStandPeriods);
    if (!results.unevaluated.empty())
    {
        std::fprintf(stderr, "wox run: some trigger conditions could not be evaluated; their records were not applied there:\n");
        for (const std::string& line : UnevaluatedConditionLines(results.unevaluated))
            std::fprintf(stderr, "wox run:   %s\n", line.c_str());
        return kExitConditionsNotEvaluated;
    }
    return 0;
}
