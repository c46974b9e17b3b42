#pragma once
// What changed between two scenarios: records added, removed and changed. A record of one is the
// same record in the other when year, end year, stand, treatment name and treatment component
// agree; "changed" then means other parameters, conditions or fields. Order does not count.

#include <functional>
#include <string>
#include <vector>

#include "ScenarioDocument.h"

struct SFieldChange
{
    std::string field;   // e.g. "parameters", "condition 2", "end year"
    std::string before, after;
};

struct SRecordChange
{
    enum EKind
    {
        Added,
        Removed,
        Changed
    } kind = Added;
    size_t nRecordA = 0, nRecordB = 0;   // 1-based record numbers; 0 where the record is missing
    const SScenarioTreatment* pRecord = nullptr;   // the record (B's when it is in B)
    std::vector<SFieldChange> fields;              // Changed only
};

struct SScenarioDiff
{
    std::vector<SFieldChange> info;        // name, description, end year
    std::vector<SRecordChange> records;    // grouped by stand, then year
    bool Equal() const { return info.empty() && records.empty(); }
};

// The parameter block of a treatment component as text; the default shows the bytes in hex.
typedef std::function<std::string(const GUID&, const CByteVector&)> FnParameterText;

// The documents must stay alive while the result is used (it points into b and a).
SScenarioDiff DiffScenarios(const CScenarioDocument& a, const CScenarioDocument& b, const FnParameterText& fnParameters = {});

// For people: the changes per stand and year, then one summary line.
std::string DiffToText(const SScenarioDiff& diff, const std::string& pathA, const std::string& pathB);
// {"a", "b", "equal", "scenario": [{"field", "a", "b"}], "records": [{"change", "stand", "year",
// "endYear", "treatment", "component", "recordA", "recordB", "fields": [...]}], "added", "removed",
// "changed"}
std::string DiffToJson(const SScenarioDiff& diff, const std::string& pathA, const std::string& pathB);
