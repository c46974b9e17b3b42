#pragma once
// The check of a scenario before it is run: records that can never be applied, names the host
// or the project does not know, conditions that can never all hold, damaged counts. Works on a
// document read without touching its file; what it knows of the host and the project comes in
// a context, so the rules need no loaded host.

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "ScenarioDocument.h"

struct SScenarioFinding
{
    bool bError = false;        // error: the record cannot work as written; warning: it runs but looks wrong
    const char* pszKind = "";   // stable key for tools, e.g. "unknown-stand"
    size_t nRecord = 0;         // 1-based record number in file order
    std::string message;        // one line, without the record's identity
};

// What the host and the project know. An empty set or function skips the checks that need it.
struct SScenarioCheckContext
{
    std::unordered_set<std::string> stands;        // the project's stand identifiers
    std::vector<GUID> components;                  // the host's treatment components
    std::function<bool(const std::string&)> fnKnownSpecies;
    // A plausible range of a variable's values; false for a variable it knows nothing of.
    std::function<bool(const std::string& variable, double& dMin, double& dMax)> fnPlausibleRange;
    // Checks a parameter block as its treatment component would run it; false with the reason.
    std::function<bool(const GUID&, const CByteVector&, std::string&)> fnCheckParameters;
};

// Every finding, in record order.
std::vector<SScenarioFinding> CheckScenario(const CScenarioDocument& document, const SScenarioCheckContext& context);

// "record 3 (stand 12, 2030, "Thinning from below")": how a finding names its record.
std::string FindingRecordText(const CScenarioDocument& document, size_t nRecord);

// One line per finding: "PATH: error: record 3 (...): message".
std::string FindingsToText(const std::string& path, const CScenarioDocument& document, const std::vector<SScenarioFinding>& findings);

// One checked file for the JSON form.
struct SCheckedScenario
{
    std::string path;
    const CScenarioDocument* pDocument = nullptr;
    std::vector<SScenarioFinding> findings;
};
// {"scenarios": [{"path", "name", "records", "findings": [{"severity", "kind", "record", "stand",
// "year", "treatment", "message"}]}], "errors": N, "warnings": N}
std::string FindingsToJson(const std::vector<SCheckedScenario>& scenarios);
