#include "Results.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "AtomicFile.h"
#include "AtomicFolder.h"
#include "DatabaseFile.h"
#include "ResultSql.h"

namespace
{
const char* kSchema =
    "CREATE TABLE run (project TEXT, scenario TEXT);"
    "CREATE TABLE stand_years (year INTEGER, stand_id TEXT, basal_area_before_m2ha REAL, basal_area_m2ha REAL, stems_ha REAL,"
    " qmd_cm REAL, top_height_m REAL, volume_m3ha REAL, removed_stems_ha REAL, removed_volume_m3ha REAL, stems_before_ha REAL,"
    " volume_before_m3ha REAL, area_ha REAL);"
    "CREATE TABLE species_years (year INTEGER, species TEXT, basal_area_m2ha REAL, stems_ha REAL, volume_m3ha REAL);"
    "CREATE TABLE treatments (year INTEGER, stand_id TEXT, treatment TEXT, component TEXT, removed_stems_ha REAL,"
    " removed_volume_m3ha REAL);";

std::string Number(double dValue, int nDecimals)
{
    char szText[64];
    std::snprintf(szText, sizeof szText, "%.*f", nDecimals, dValue);
    return szText;
}

bool WriteDatabase(const std::string& path, const SRunResults& results, std::string* pError)
{
    CResultDatabase db(path, pError);
    if (!db.Begin(kSchema))
        return false;
    auto pRun = db.Prepare("INSERT INTO run VALUES (?, ?)");
    auto pYear = db.Prepare("INSERT INTO stand_years VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    auto pSpecies = db.Prepare("INSERT INTO species_years VALUES (?, ?, ?, ?, ?)");
    auto pTreatment = db.Prepare("INSERT INTO treatments VALUES (?, ?, ?, ?, ?, ?)");
    if (!pRun || !pYear || !pSpecies || !pTreatment)
        return db.Fail("cannot prepare");
    sqlite3_bind_text(pRun.get(), 1, results.project.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(pRun.get(), 2, results.scenario.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(pRun.get()) != SQLITE_DONE)
        return db.Fail("cannot write");
    for (const SStandYear& row : results.standYears)
    {
        sqlite3_reset(pYear.get());
        sqlite3_bind_int(pYear.get(), 1, row.nYear);
        sqlite3_bind_text(pYear.get(), 2, row.stand.c_str(), -1, SQLITE_TRANSIENT);
        const double values[] = {row.dBasalAreaBefore, row.dBasalArea, row.dStems, row.dQmd, row.dTopHeight, row.dVolume,
                                 row.dRemovedStems, row.dRemovedVolume, row.dStemsBefore, row.dVolumeBefore, row.dArea};
        for (int i = 0; i < 11; ++i)
            sqlite3_bind_double(pYear.get(), 3 + i, values[i]);
        if (sqlite3_step(pYear.get()) != SQLITE_DONE)
            return db.Fail("cannot write");
    }
    for (const SSpeciesYear& row : results.speciesYears)
    {
        sqlite3_reset(pSpecies.get());
        sqlite3_bind_int(pSpecies.get(), 1, row.nYear);
        sqlite3_bind_text(pSpecies.get(), 2, row.species.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(pSpecies.get(), 3, row.dBasalArea);
        sqlite3_bind_double(pSpecies.get(), 4, row.dStems);
        sqlite3_bind_double(pSpecies.get(), 5, row.dVolume);
        if (sqlite3_step(pSpecies.get()) != SQLITE_DONE)
            return db.Fail("cannot write");
    }
    for (const SAppliedTreatment& applied : results.treatments)
    {
        sqlite3_reset(pTreatment.get());
        sqlite3_bind_int(pTreatment.get(), 1, applied.nYear);
        sqlite3_bind_text(pTreatment.get(), 2, applied.stand.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(pTreatment.get(), 3, applied.treatment.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(pTreatment.get(), 4, applied.component.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(pTreatment.get(), 5, applied.dRemovedStems);
        sqlite3_bind_double(pTreatment.get(), 6, applied.dRemovedVolume);
        if (sqlite3_step(pTreatment.get()) != SQLITE_DONE)
            return db.Fail("cannot write");
    }
    if (results.bExplained && !WriteTriggerCheckTable(db.Get(), results.triggerChecks, pError))
        return false;
    return db.Commit();
}
}

bool WriteResultTables(const std::string& folder, const SRunResults& results, std::string* pError)
{
    if (!WriteDatabase(folder + "/" + kResultsDatabase, results, pError))
        return false;
    std::ostringstream years;
    years << "year,stand_id,basal_area_before_m2ha,basal_area_m2ha,stems_ha,qmd_cm,top_height_m,volume_m3ha,removed_stems_ha,"
             "removed_volume_m3ha,stems_before_ha,volume_before_m3ha,area_ha\n";
    for (const SStandYear& row : results.standYears)
        years << row.nYear << ',' << CsvText(row.stand) << ',' << Number(row.dBasalAreaBefore, 3) << ',' << Number(row.dBasalArea, 3)
              << ',' << Number(row.dStems, 1) << ',' << Number(row.dQmd, 2) << ',' << Number(row.dTopHeight, 2) << ','
              << Number(row.dVolume, 2) << ',' << Number(row.dRemovedStems, 1) << ',' << Number(row.dRemovedVolume, 2) << ','
              << Number(row.dStemsBefore, 1) << ',' << Number(row.dVolumeBefore, 2) << ',' << Number(row.dArea, 4) << '\n';
    std::ostringstream species;
    species << "year,species,basal_area_m2ha,stems_ha,volume_m3ha\n";
    for (const SSpeciesYear& row : results.speciesYears)
        species << row.nYear << ',' << CsvText(row.species) << ',' << Number(row.dBasalArea, 3) << ',' << Number(row.dStems, 1) << ','
                << Number(row.dVolume, 2) << '\n';
    std::ostringstream treatments;
    treatments << "year,stand_id,treatment,component,removed_stems_ha,removed_volume_m3ha\n";
    for (const SAppliedTreatment& applied : results.treatments)
        treatments << applied.nYear << ',' << CsvText(applied.stand) << ',' << CsvText(applied.treatment) << ','
                   << CsvText(applied.component) << ',' << Number(applied.dRemovedStems, 1) << ',' << Number(applied.dRemovedVolume, 2)
                   << '\n';
    return WoxReplaceFile(folder + "/" + kStandYearsFile, years.str(), pError) &&
           WoxReplaceFile(folder + "/" + kSpeciesYearsFile, species.str(), pError) &&
           WoxReplaceFile(folder + "/" + kTreatmentsFile, treatments.str(), pError) &&
           (!results.bExplained || WoxReplaceFile(folder + "/" + kTriggerChecksFile, TriggerChecksCsv(results.triggerChecks), pError));
}

bool OpenResults(CAtomicFolder& out, const std::string& folder, std::string* pError)
{
    if (out.Open(folder, kResultFiles))
        return true;
    if (pError)
        *pError = out.Error();
    return false;
}

bool CommitResults(CAtomicFolder& out, const SRunResults& results, std::string* pError)
{
    if (!WriteResultTables(out.Path(), results, pError) || !WriteResultChart(out.Path() + "/" + kChartFile, results, pError))
        return false;
    if (!out.Commit())
    {
        if (pError)
            *pError = out.Error();
        return false;
    }
    return true;
}

bool WriteResults(const std::string& folder, const SRunResults& results, std::string* pError)
{
    CAtomicFolder out;
    return OpenResults(out, folder, pError) && CommitResults(out, results, pError);
}
