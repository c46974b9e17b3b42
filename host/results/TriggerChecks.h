#pragma once
// The trigger checks of an explaining run: per period, stand and triggered record tried, each
// condition the check evaluated with the values it compared, and how the record fared. Stored as
// the trigger_checks table of results.db and as trigger_checks.csv, and read back by wox explain.

#include <string>
#include <vector>

struct sqlite3;

// One condition of one check, or the whole check when it ended before its first condition
// (nCondition 0, no value).
struct STriggerCheckRow
{
    int nCheck = 0;                // the check's number in the run, from 1
    int nYear = 0;                 // the period's year
    std::string stand;
    std::string treatment;         // the record's treatment name
    int nRecordYear = 0;           // the record's first year
    int nConditions = 0;           // conditions the record has
    int nCondition = 0;            // 1-based; 0 = none was evaluated
    std::string variable;          // the condition's variable name
    std::string species;           // the filter's species codes, blank-separated
    bool bInclude = false;         // the species list names the trees kept (else those dropped)
    double dDbhMin = 0.0, dDbhMax = 0.0, dHeightMin = 0.0, dHeightMax = 0.0;
    int nTrees = 0;                // trees that passed the filter
    double dValue = 0.0;           // the value compared (may be not a number)
    std::string valueText;         // the function's text when it answered one
    std::string op;                // "<", "=", ">" or "any"
    double dThreshold = 0.0;
    bool bHolds = false;
    std::string outcome;           // "fired", "condition failed", "no tree list", "no function", "damaged"
    std::string treatmentResult;   // after firing: "applied", "not applied", "run stopped"; else empty
};

constexpr const char* kTriggerChecksFile = "trigger_checks.csv";

// Creates the table in pDb and fills it; pDb is inside the caller's transaction. False with one
// line in *pError.
bool WriteTriggerCheckTable(sqlite3* pDb, const std::vector<STriggerCheckRow>& rows, std::string* pError);
std::string TriggerChecksCsv(const std::vector<STriggerCheckRow>& rows);

// Reads the rows of one stand (and, with nYear non-zero, one year) from a results.db in year,
// then check order. False with one line in *pError; a database without the table says the run
// was not an explaining one.
bool ReadTriggerChecks(const std::string& database, const std::string& stand, int nYear, std::vector<STriggerCheckRow>& rows,
                       std::string* pError);
