#include "TriggerChecks.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "ResultSql.h"

namespace
{
const char* kColumns =
    "check_id, year, stand_id, treatment, record_year, conditions, condition, variable, species, species_include, dbh_min, dbh_max,"
    " height_min, height_max, trees, value, value_text, operator, threshold, holds, outcome, treatment_result";

bool Fail(std::string* pError, const std::string& message)
{
    if (pError)
        *pError = message;
    return false;
}

// Full precision, so that a value read back compares as the check compared it.
std::string Number(double dValue)
{
    if (std::isnan(dValue))
        return "nan";
    char szText[64];
    std::snprintf(szText, sizeof szText, "%.17g", dValue);
    return szText;
}

std::string ColumnText(sqlite3_stmt* pStmt, int nColumn)
{
    const unsigned char* p = sqlite3_column_text(pStmt, nColumn);
    return p ? reinterpret_cast<const char*>(p) : "";
}
}

bool WriteTriggerCheckTable(sqlite3* pDb, const std::vector<STriggerCheckRow>& rows, std::string* pError)
{
    const std::string schema =
        "CREATE TABLE trigger_checks (check_id INTEGER, year INTEGER, stand_id TEXT, treatment TEXT, record_year INTEGER,"
        " conditions INTEGER, condition INTEGER, variable TEXT, species TEXT, species_include INTEGER, dbh_min REAL, dbh_max REAL,"
        " height_min REAL, height_max REAL, trees INTEGER, value REAL, value_text TEXT, operator TEXT, threshold REAL, holds INTEGER,"
        " outcome TEXT, treatment_result TEXT);"
        "CREATE INDEX trigger_checks_stand ON trigger_checks (stand_id, year);";
    if (sqlite3_exec(pDb, schema.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return Fail(pError, std::string("cannot create the trigger_checks table: ") + sqlite3_errmsg(pDb));
    CStatement pInsert = PrepareStatement(pDb, std::string("INSERT INTO trigger_checks (") + kColumns +
                                          ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!pInsert)
        return Fail(pError, std::string("cannot prepare the trigger_checks rows: ") + sqlite3_errmsg(pDb));
    sqlite3_stmt* p = pInsert.get();
    for (const STriggerCheckRow& row : rows)
    {
        sqlite3_reset(p);
        sqlite3_clear_bindings(p);
        sqlite3_bind_int(p, 1, row.nCheck);
        sqlite3_bind_int(p, 2, row.nYear);
        sqlite3_bind_text(p, 3, row.stand.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_text(p, 4, row.treatment.c_str(), -1, SQLITE_STATIC);
        sqlite3_bind_int(p, 5, row.nRecordYear);
        sqlite3_bind_int(p, 6, row.nConditions);
        // A check that ended before its first condition has no condition columns (NULL).
        if (row.nCondition > 0)
        {
            sqlite3_bind_int(p, 7, row.nCondition);
            sqlite3_bind_text(p, 8, row.variable.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(p, 9, row.species.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int(p, 10, row.bInclude ? 1 : 0);
            sqlite3_bind_double(p, 11, row.dDbhMin);
            sqlite3_bind_double(p, 12, row.dDbhMax);
            sqlite3_bind_double(p, 13, row.dHeightMin);
            sqlite3_bind_double(p, 14, row.dHeightMax);
            sqlite3_bind_int(p, 15, row.nTrees);
            // SQLite keeps no NaN: a value that is not a number stays NULL and its text says so.
            if (!std::isnan(row.dValue))
                sqlite3_bind_double(p, 16, row.dValue);
            const std::string text = std::isnan(row.dValue) && row.valueText.empty() ? std::string("nan") : row.valueText;
            if (!text.empty())
                sqlite3_bind_text(p, 17, text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(p, 18, row.op.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_double(p, 19, row.dThreshold);
            sqlite3_bind_int(p, 20, row.bHolds ? 1 : 0);
        }
        sqlite3_bind_text(p, 21, row.outcome.c_str(), -1, SQLITE_STATIC);
        if (!row.treatmentResult.empty())
            sqlite3_bind_text(p, 22, row.treatmentResult.c_str(), -1, SQLITE_STATIC);
        if (sqlite3_step(p) != SQLITE_DONE)
            return Fail(pError, std::string("cannot write the trigger_checks rows: ") + sqlite3_errmsg(pDb));
    }
    return true;
}

std::string TriggerChecksCsv(const std::vector<STriggerCheckRow>& rows)
{
    std::ostringstream csv;
    for (const char* p = kColumns; *p; ++p)
        if (*p != ' ')
            csv << *p;
    csv << '\n';
    for (const STriggerCheckRow& row : rows)
    {
        csv << row.nCheck << ',' << row.nYear << ',' << CsvText(row.stand) << ',' << CsvText(row.treatment) << ',' << row.nRecordYear << ','
            << row.nConditions << ',';
        if (row.nCondition > 0)
            csv << row.nCondition << ',' << CsvText(row.variable) << ',' << CsvText(row.species) << ',' << (row.bInclude ? 1 : 0) << ','
                << Number(row.dDbhMin) << ',' << Number(row.dDbhMax) << ',' << Number(row.dHeightMin) << ',' << Number(row.dHeightMax)
                << ',' << row.nTrees << ',' << Number(row.dValue) << ',' << CsvText(row.valueText) << ',' << row.op << ','
                << Number(row.dThreshold) << ',' << (row.bHolds ? 1 : 0) << ',';
        else
            csv << ",,,,,,,,,,,,,,";
        csv << CsvText(row.outcome) << ',' << CsvText(row.treatmentResult) << '\n';
    }
    return csv.str();
}

bool ReadTriggerChecks(const std::string& database, const std::string& stand, int nYear, std::vector<STriggerCheckRow>& rows,
                       std::string* pError)
{
    sqlite3* pRaw = nullptr;
    const int nOpen = sqlite3_open_v2(database.c_str(), &pRaw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, SDbClose> pDb(pRaw);
    if (nOpen != SQLITE_OK)
        return Fail(pError, "cannot open " + database + ": " + (pRaw ? sqlite3_errmsg(pRaw) : "out of memory"));
    CStatement pTable = PrepareStatement(pDb.get(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'trigger_checks'");
    if (!pTable)
        return Fail(pError, database + " is not a results database: " + sqlite3_errmsg(pDb.get()));
    if (sqlite3_step(pTable.get()) != SQLITE_ROW)
        return Fail(pError, database + " holds no trigger checks: run the simulation with --explain");
    CStatement pSelect = PrepareStatement(pDb.get(), std::string("SELECT ") + kColumns +
                                                 " FROM trigger_checks WHERE stand_id = ? AND (? = 0 OR year = ?)"
                                                 " ORDER BY year, check_id, condition");
    if (!pSelect)
        return Fail(pError, "cannot read the trigger checks of " + database + ": " + sqlite3_errmsg(pDb.get()));
    sqlite3_bind_text(pSelect.get(), 1, stand.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int(pSelect.get(), 2, nYear);
    sqlite3_bind_int(pSelect.get(), 3, nYear);
    rows.clear();
    int nStep;
    while ((nStep = sqlite3_step(pSelect.get())) == SQLITE_ROW)
    {
        sqlite3_stmt* p = pSelect.get();
        STriggerCheckRow row;
        row.nCheck = sqlite3_column_int(p, 0);
        row.nYear = sqlite3_column_int(p, 1);
        row.stand = ColumnText(p, 2);
        row.treatment = ColumnText(p, 3);
        row.nRecordYear = sqlite3_column_int(p, 4);
        row.nConditions = sqlite3_column_int(p, 5);
        row.nCondition = sqlite3_column_int(p, 6);
        row.variable = ColumnText(p, 7);
        row.species = ColumnText(p, 8);
        row.bInclude = sqlite3_column_int(p, 9) != 0;
        row.dDbhMin = sqlite3_column_double(p, 10);
        row.dDbhMax = sqlite3_column_double(p, 11);
        row.dHeightMin = sqlite3_column_double(p, 12);
        row.dHeightMax = sqlite3_column_double(p, 13);
        row.nTrees = sqlite3_column_int(p, 14);
        row.dValue = sqlite3_column_type(p, 15) == SQLITE_NULL ? std::nan("") : sqlite3_column_double(p, 15);
        row.valueText = ColumnText(p, 16);
        if (row.valueText == "nan" && std::isnan(row.dValue))
            row.valueText.clear();
        row.op = ColumnText(p, 17);
        row.dThreshold = sqlite3_column_double(p, 18);
        row.bHolds = sqlite3_column_int(p, 19) != 0;
        row.outcome = ColumnText(p, 20);
        row.treatmentResult = ColumnText(p, 21);
        rows.push_back(std::move(row));
    }
    if (nStep != SQLITE_DONE)
        return Fail(pError, "cannot read the trigger checks of " + database + ": " + sqlite3_errmsg(pDb.get()));
    return true;
}
