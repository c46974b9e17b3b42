#pragma once
// "wox run PROJECT [--scenario NAME] [--periods N] [--out DIR]": a growth simulation of the
// project that applies a scenario through the scenario component, period by period.

#include <cstdio>
#include <memory>
#include <string>

#include "Results.h"

class CWoxHost;
class IScenarioComponent;

// Checks the host libraries the component needs and loads the scenario component and the
// treatment components of the registry into the host's component manager (once). None with one
// line in *pError.
IScenarioComponent* WoxLoadHostComponents(CWoxHost& host, std::string* pError);

struct SRunOptions
{
    std::string project;     // project folder
    std::string scenario;    // scenario name to pick in the Open Scenario dialog; empty = ask the user
    int nPeriods = 10;
    std::string out;         // results folder; empty = PROJECT/results
    std::string treeList;    // file the tree records of every stand and measured year go to; empty = none
    bool bExplain = false;   // record every trigger check (results' trigger checks)
};

// Seconds spent in each part of the run.
struct SRunTimings
{
    double dGrowth = 0.0;
    double dScenarioRuns = 0.0;   // the component's RunComponent calls: trigger checks and treatments
    double dTreatments = 0.0;     // the treatment components' own RunComponent calls
    int nStandPeriods = 0;
};

// Reads the project folder's forest for a run: its stands and trees, with the species the folder's
// catalogue file adds and species codes in the catalogue's spelling. False with one line in *pError.
bool LoadRunProject(CWoxHost& host, const std::string& folder, SProject& project, std::string* pError);

// One scenario's run over its own copy of a forest. Prepare sets the scenario up through the
// scenario component (its Open Scenario dialog answered when options name a scenario) and is
// called on the main thread, with a Qt application object. Simulate then runs every period and
// may be called on any one thread; the runs of several CScenarioRun objects may go side by side.
class CScenarioRun
{
public:
    CScenarioRun();
    ~CScenarioRun();
    CScenarioRun(const CScenarioRun&) = delete;
    CScenarioRun& operator=(const CScenarioRun&) = delete;

    bool Prepare(CWoxHost& host, const SRunOptions& options, SProject project, std::string* pError);
    // Progress lines go to pProgress (may be null). False with one line in *pError.
    bool Simulate(SRunResults& results, SRunTimings* pTimings, std::FILE* pProgress, std::string* pError);

private:
    struct SState;
    std::unique_ptr<SState> m_pState;
};

// Runs the simulation in process: loads the project, the scenario component and the treatment
// components of the host, sets the scenario up (answering the Open Scenario dialog when a name is
// given) and runs every period. Needs a Qt application object. Progress lines go to pProgress
// (may be null). False with one line in *pError. Conditions that could not be evaluated are
// counted in results.unevaluated, not reported one by one.
bool RunSimulation(CWoxHost& host, const SRunOptions& options, SRunResults& results, SRunTimings* pTimings, std::FILE* pProgress,
                   std::string* pError);

// The command: argv[0] is "run". Answers the process exit code.
int RunRunCommand(CWoxHost& host, int argc, char** argv);
