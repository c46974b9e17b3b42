#pragma once
// "wox project import STANDS.csv TREES.csv PROJECT [--name NAME] [--first-year Y]
// [--period-length N] [--species-map FILE] [--skip-bad-rows]": creates a project folder from two
// CSV files. Without --skip-bad-rows one refused row means nothing is imported.

#include <cstdio>

class CWoxHost;

// argv[0] is "project". Answers the process exit code; refusals go to pErr, one per line.
int RunProjectCommand(CWoxHost& host, int argc, char** argv, std::FILE* pErr = stderr);
