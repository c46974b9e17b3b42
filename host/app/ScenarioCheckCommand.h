#pragma once
// "wox scenario check PROJECT [NAME|FILE] [--json]": the findings of the project's scenarios (or
// of one), one line each with its severity. "wox scenario diff A B [--json]": what changed
// between two scenario files. Neither command changes a file.

#include <cstdio>
#include <string>

#include "ScenarioCheck.h"
#include "ScenarioDiff.h"

class CHostContext;

// argv[0] is "check" or "diff". Exit status: 0 clean or equal, 1 findings or differences, 2 when
// a file or the project cannot be read (one line each on pErr) or on wrong usage.
int RunScenarioCheck(CHostContext& host, int argc, char** argv, std::FILE* pOut, std::FILE* pErr);
int RunScenarioDiff(CHostContext& host, int argc, char** argv, std::FILE* pOut, std::FILE* pErr);

// What the host and the project know for a check: the project's stands, the species map with
// the project's own species, the treatment components of the registry, the plausible ranges of
// the stand variables and the components' parameter checks. False with one line in error.
bool MakeCheckContext(CHostContext& host, const std::string& project, SScenarioCheckContext& context, std::string& error);

// The values a stand variable of the host's function library can plausibly take; false for a
// variable it does not offer.
bool StandVariableRange(const std::string& variable, double& dMin, double& dMax);

// A parameter block of one of the host's treatment components as its values, else in hex.
std::string TreatmentParameterText(const GUID& guid, const CByteVector& block);
