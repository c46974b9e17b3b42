#include "CompareCommand.h"

#include <QApplication>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>

#include "AtomicFolder.h"
#include "CompareResults.h"
#include "FolderLock.h"
#include "RunCommand.h"
#include "ThreadObjects.h"
#include "WoxHost.h"

namespace
{
// Counts down the simulations still running; the main thread waits for none to be left.
class CRunsLeft
{
public:
    explicit CRunsLeft(size_t nRuns) : m_nLeft(nRuns) {}
    void Done()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (--m_nLeft == 0)
            m_done.notify_all();
    }
    void Wait()
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_done.wait(guard, [this] { return m_nLeft == 0; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_done;
    size_t m_nLeft;
};

// One scenario's simulation as a task of the host's thread pool: RunThread runs on a worker; the
// main thread reads the results after CRunsLeft::Wait.
class CSimulateTask final : public ITdThreadHandler
{
public:
    CSimulateTask(CScenarioRun& run, SRunResults& results, CRunsLeft& left) : m_run(run), m_results(results), m_left(left) {}

    int RunThread() override
    {
        m_bOk = m_run.Simulate(m_results, nullptr, nullptr, &m_error);
        m_left.Done();
        return 1;
    }
    HWOXHEAP SetHeap(HWOXHEAP hHeap) override { return hHeap; }
    void StopThread(int) override {}
    int InitThread(IWoxLibMgr*, IWoxRegistry*, IWoxErrorReporter*) override { return 1; }

    bool m_bOk = false;
    std::string m_error;

private:
    CScenarioRun& m_run;
    SRunResults& m_results;
    CRunsLeft& m_left;
};

void PrintUsage() { std::fprintf(stderr, "usage: wox compare PROJECT --scenario NAME --scenario NAME [...] [--periods N] [--out DIR]\n"); }

void PrintSummary(const std::vector<SRunResults>& runs)
{
    std::printf("%-24s %10s %18s %14s %20s %14s\n", "Scenario", "Treatments", "Volume removed (m3)", "(m3/ha)", "Final standing (m3)",
                "(m3/ha)");
    for (const SRunResults& run : runs)
    {
        const SScenarioSummary summary = SummariseScenario(run);
        std::printf("%-24s %10d %18.0f %14.1f %20.0f %14.1f\n", summary.scenario.c_str(), summary.nTreatments, summary.dRemovedVolume,
                    summary.dRemovedVolumeHa, summary.dFinalVolume, summary.dFinalVolumeHa);
    }
}
}

bool RunScenarios(CWoxHost& host, const SRunOptions& options, const std::vector<std::string>& scenarios, std::vector<SRunResults>& runs,
                  std::string* pError)
{
    SProject project;
    if (!LoadRunProject(host, options.project, project, pError))
        return false;
    std::vector<std::unique_ptr<CScenarioRun>> prepared;
    for (const std::string& name : scenarios)
    {
        SRunOptions one = options;
        one.scenario = name;
        prepared.push_back(std::make_unique<CScenarioRun>());
        std::string why;
        if (!prepared.back()->Prepare(host, one, project, &why))
        {
            if (pError)
                *pError = "scenario \"" + name + "\": " + why;
            return false;
        }
    }
    runs.assign(scenarios.size(), SRunResults{});
    CRunsLeft left(scenarios.size());
    std::vector<std::unique_ptr<CSimulateTask>> tasks;
    for (size_t i = 0; i < prepared.size(); ++i)
    {
        tasks.push_back(std::make_unique<CSimulateTask>(*prepared[i], runs[i], left));
        // A pool that no longer takes tasks leaves the run to this thread.
        if (!host.ThreadPool()->SubmitTask(tasks.back().get()))
            tasks.back()->RunThread();
    }
    left.Wait();
    for (size_t i = 0; i < tasks.size(); ++i)
        if (!tasks[i]->m_bOk)
        {
            if (pError)
                *pError = "scenario \"" + scenarios[i] + "\": " + tasks[i]->m_error;
            return false;
        }
    return true;
}

int RunCompareCommand(CWoxHost& host, int argc, char** argv)
{
    SRunOptions options;
    std::vector<std::string> scenarios;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if ((arg == "--scenario" || arg == "--periods" || arg == "--out") && i + 1 < argc)
        {
            const std::string value = argv[++i];
            if (arg == "--scenario")
                scenarios.push_back(value);
            else if (arg == "--out")
                options.out = value;
            else
            {
                char* pEnd = nullptr;
                const long nValue = std::strtol(value.c_str(), &pEnd, 10);
                if (!pEnd || *pEnd || nValue < 1 || nValue > 200)
                {
                    std::fprintf(stderr, "wox compare: --periods needs a number from 1 to 200\n");
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
    if (options.project.empty() || scenarios.size() < 2)
    {
        PrintUsage();
        return 2;
    }
    for (size_t i = 0; i < scenarios.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (scenarios[i] == scenarios[j])
            {
                std::fprintf(stderr, "wox compare: the scenario \"%s\" is named twice\n", scenarios[i].c_str());
                return 2;
            }
    if (options.out.empty())
        options.out = (std::filesystem::path(options.project) / "compare").string();

    // The project must be readable before anything is created beside it.
    std::string error;
    SProject project;
    if (!ReadProject(options.project, project, &error))
    {
        std::fprintf(stderr, "wox compare: %s\n", error.c_str());
        return 1;
    }
    CFolderLock outLock;
    if (!outLock.Acquire(options.out, &error))
    {
        std::fprintf(stderr, "wox compare: %s\n", error.c_str());
        return 1;
    }
    WoxRemoveStaleFolders(options.out);

    // The scenarios are picked by name: the dialogs answer themselves and need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int nQtArgc = 1;
    char szProgram[] = "wox";
    char* qtArgv[] = {szProgram, nullptr};
    QApplication application(nQtArgc, qtArgv);

    std::vector<SRunResults> runs;
    if (!RunScenarios(host, options, scenarios, runs, &error) || !WriteComparison(options.out, runs, &error))
    {
        std::fprintf(stderr, "wox compare: %s\n", error.c_str());
        return 1;
    }
    std::printf("Project %s: %zu scenarios compared over %zu stands\n\n", runs.front().project.c_str(), runs.size(), project.stands.size());
    PrintSummary(runs);
    std::printf("\nResults: %s/%s\n         %s/%s\nChart:   %s/%s\n", options.out.c_str(), kCompareDatabase, options.out.c_str(), kCompareTable,
                options.out.c_str(), kCompareChart);
    return 0;
}
