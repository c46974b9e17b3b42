#pragma once
// "wox scenario show|export|import": a scenario file as text for people and JSON for tools.

#include <cstdio>

class CHostContext;

// argv[0] is "scenario". Answers the process exit code: 0 done, 1 failed, 2 wrong usage.
int RunScenarioCommand(CHostContext& host, int argc, char** argv);

// The same with the output and error streams given (for tests).
int RunScenarioCommand(CHostContext& host, int argc, char** argv, std::FILE* pOut, std::FILE* pErr);
