#pragma once
// "wox run PROJECT [--scenario NAME] [--periods N] [--out DIR]": a growth simulation of the
// project that applies a scenario through the scenario component, period by period.

#include <cstdio>
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

// Runs the simulation in process: loads the project, the scenario component and the treatment
// components of the host, sets the scenario up (answering the Open Scenario dialog when a name is
// given) and runs every period. Needs a Qt application object. Progress lines go to pProgress
// (may be null). False with one line in *pError.
bool RunSimulation(CWoxHost& host, const SRunOptions& options, SRunResults& results, SRunTimings* pTimings, std::FILE* pProgress,
                   std::string* pError);

// The command: argv[0] is "run". Answers the process exit code.
int RunRunCommand(CWoxHost& host, int argc, char** argv);
