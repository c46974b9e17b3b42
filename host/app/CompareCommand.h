#pragma once
// "wox compare PROJECT --scenario A --scenario B [...] [--periods N] [--out DIR]": runs each
// scenario from the same starting forest, side by side on the host's thread pool, and writes
// compare.db, compare.csv and compare.png with a summary table on standard output.

#include <string>
#include <vector>

#include "Results.h"

class CWoxHost;
struct SRunOptions;

// Runs every named scenario of options.project over its own copy of the project's forest: the
// scenarios are set up one after the other on the calling (main) thread, then simulated side by
// side on the host's thread pool. runs follow the order of the names. Needs a Qt application
// object. False with one line in *pError (the first scenario that failed).
bool RunScenarios(CWoxHost& host, const SRunOptions& options, const std::vector<std::string>& scenarios, std::vector<SRunResults>& runs,
                  std::string* pError);

// The command: argv[0] is "compare". Answers the process exit code.
int RunCompareCommand(CWoxHost& host, int argc, char** argv);
