#pragma once
// "wox explain RESULTS --stand ID [--year Y]": the trigger checks of an explaining run for one
// stand, as a readable table per period.

#include <string>
#include <vector>

#include "TriggerChecks.h"

class CHostContext;

// The table: one line per condition a check evaluated, the year on the first line of a period,
// and after a check's last condition what became of its record.
std::string FormatTriggerChecks(const std::vector<STriggerCheckRow>& rows);

// The command: argv[0] is "explain". Answers the process exit code.
int RunExplainCommand(CHostContext& host, int argc, char** argv);
