#include "CompareResults.h"

#include <QLineSeries>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <tuple>

#include "AtomicFile.h"
#include "AtomicFolder.h"
#include "ChartImage.h"
#include "DatabaseFile.h"
#include "ForestFigures.h"
#include "ResultSql.h"

namespace
{
constexpr int kWidth = 1200;

// A forest-level row of one scenario: the year's figures and the volume removed up to and with it.
struct SCompareYear
{
    const SForestYear* pYear;
    double dCumulativeRemoved;   // m3/ha
};

std::vector<SCompareYear> Cumulate(const std::vector<SForestYear>& years)
{
    std::vector<SCompareYear> rows;
    double dSum = 0.0;
    for (const SForestYear& year : years)
    {
        dSum += year.dRemovedVolume;
        rows.push_back({&year, dSum});
    }
    return rows;
}

const char* kSchema =
    "CREATE TABLE scenarios (scenario TEXT, treatments INTEGER, removed_volume_m3 REAL, removed_volume_m3ha REAL, final_year INTEGER,"
    " final_volume_m3 REAL, final_volume_m3ha REAL);"
    "CREATE TABLE forest_years (scenario TEXT, year INTEGER, basal_area_before_m2ha REAL, basal_area_m2ha REAL, volume_m3ha REAL,"
    " removed_volume_m3ha REAL, cumulative_removed_m3ha REAL, treatments INTEGER);"
    "CREATE TABLE treatments (scenario TEXT, year INTEGER, stand_id TEXT, treatment TEXT, component TEXT, removed_stems_ha REAL,"
    " removed_volume_m3ha REAL);";

bool WriteDatabase(const std::string& path, const std::vector<SRunResults>& runs, const std::vector<std::vector<SForestYear>>& figures,
                   std::string* pError)
{
    CResultDatabase db(path, pError);
    if (!db.Begin(kSchema))
        return false;
    auto pScenario = db.Prepare("INSERT INTO scenarios VALUES (?, ?, ?, ?, ?, ?, ?)");
    auto pYear = db.Prepare("INSERT INTO forest_years VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    auto pTreatment = db.Prepare("INSERT INTO treatments VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (!pScenario || !pYear || !pTreatment)
        return db.Fail("cannot prepare");
    auto text = [](sqlite3_stmt* pStmt, int nColumn, const std::string& value) {
        sqlite3_bind_text(pStmt, nColumn, value.c_str(), -1, SQLITE_TRANSIENT);
    };
    for (size_t i = 0; i < runs.size(); ++i)
    {
        const SRunResults& run = runs[i];
        const SScenarioSummary summary = SummariseScenario(run);
        sqlite3_reset(pScenario.get());
        text(pScenario.get(), 1, run.scenario);
        sqlite3_bind_int(pScenario.get(), 2, summary.nTreatments);
        sqlite3_bind_double(pScenario.get(), 3, summary.dRemovedVolume);
        sqlite3_bind_double(pScenario.get(), 4, summary.dRemovedVolumeHa);
        sqlite3_bind_int(pScenario.get(), 5, summary.nFinalYear);
        sqlite3_bind_double(pScenario.get(), 6, summary.dFinalVolume);
        sqlite3_bind_double(pScenario.get(), 7, summary.dFinalVolumeHa);
        if (sqlite3_step(pScenario.get()) != SQLITE_DONE)
            return db.Fail("cannot write");
        for (const SCompareYear& row : Cumulate(figures[i]))
        {
            sqlite3_reset(pYear.get());
            text(pYear.get(), 1, run.scenario);
            sqlite3_bind_int(pYear.get(), 2, row.pYear->nYear);
            const double values[] = {row.pYear->basalAreaBefore.dMean, row.pYear->basalArea.dMean, row.pYear->dVolume,
                                     row.pYear->dRemovedVolume, row.dCumulativeRemoved};
            for (int n = 0; n < 5; ++n)
                sqlite3_bind_double(pYear.get(), 3 + n, values[n]);
            sqlite3_bind_int(pYear.get(), 8, row.pYear->nTreatments);
            if (sqlite3_step(pYear.get()) != SQLITE_DONE)
                return db.Fail("cannot write");
        }
        for (const SAppliedTreatment& applied : run.treatments)
        {
            sqlite3_reset(pTreatment.get());
            text(pTreatment.get(), 1, run.scenario);
            sqlite3_bind_int(pTreatment.get(), 2, applied.nYear);
            text(pTreatment.get(), 3, applied.stand);
            text(pTreatment.get(), 4, applied.treatment);
            text(pTreatment.get(), 5, applied.component);
            sqlite3_bind_double(pTreatment.get(), 6, applied.dRemovedStems);
            sqlite3_bind_double(pTreatment.get(), 7, applied.dRemovedVolume);
            if (sqlite3_step(pTreatment.get()) != SQLITE_DONE)
                return db.Fail("cannot write");
        }
    }
    return db.Commit();
}

std::string CompareCsv(const std::vector<SRunResults>& runs, const std::vector<std::vector<SForestYear>>& figures)
{
    std::ostringstream csv;
    csv << "scenario,year,basal_area_before_m2ha,basal_area_m2ha,volume_m3ha,removed_volume_m3ha,cumulative_removed_m3ha,treatments\n";
    char szLine[256];
    for (size_t i = 0; i < runs.size(); ++i)
        for (const SCompareYear& row : Cumulate(figures[i]))
        {
            std::snprintf(szLine, sizeof szLine, ",%d,%.3f,%.3f,%.2f,%.2f,%.2f,%d\n", row.pYear->nYear, row.pYear->basalAreaBefore.dMean,
                          row.pYear->basalArea.dMean, row.pYear->dVolume, row.pYear->dRemovedVolume, row.dCumulativeRemoved,
                          row.pYear->nTreatments);
            csv << CsvText(runs[i].scenario) << szLine;
        }
    return csv.str();
}

bool WriteCompareChart(const std::string& path, const std::vector<SRunResults>& runs, const std::vector<std::vector<SForestYear>>& figures,
                       std::string* pError)
{
    std::vector<int> years;
    double dLargestBasalArea = 10.0, dLargestRemoved = 10.0;
    for (const auto& scenarioYears : figures)
        for (const SCompareYear& row : Cumulate(scenarioYears))
        {
            years.push_back(row.pYear->nYear);
            for (double dValue : {row.pYear->basalAreaBefore.dMean, row.pYear->basalArea.dMean, row.dCumulativeRemoved})
                if (!std::isfinite(dValue))
                {
                    if (pError)
                        *pError = "cannot draw the comparison: a value of " + std::to_string(row.pYear->nYear) + " is not a finite number";
                    return false;
                }
            dLargestBasalArea = std::max(dLargestBasalArea, row.pYear->basalAreaBefore.dMean);
            dLargestRemoved = std::max(dLargestRemoved, row.dCumulativeRemoved);
        }
    if (years.empty())
    {
        if (pError)
            *pError = "no results to compare";
        return false;
    }
    if (!CanDrawCharts(path, pError))
        return false;
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    const int nYearStep = ChartYearStep(years);

    std::string project = runs.front().project;
    CChartImage image(kWidth, QString::fromStdString(project + " \u2014 " + std::to_string(runs.size()) + " scenarios compared"));
    QChart* pBasal = image.AddPanel(480, "Basal area, area-weighted mean over the forest");
    QValueAxis* pBasalX = CChartImage::AddYearAxis(pBasal, years.front(), years.back(), nYearStep);
    QValueAxis* pBasalY = CChartImage::AddValueAxis(pBasal, dLargestBasalArea, "Basal area (m\u00B2/ha)");
    QChart* pRemoved = image.AddPanel(420, "Volume removed since the start, cumulative, area-weighted mean");
    QValueAxis* pRemovedX = CChartImage::AddYearAxis(pRemoved, years.front(), years.back(), nYearStep);
    QValueAxis* pRemovedY = CChartImage::AddValueAxis(pRemoved, dLargestRemoved, "Volume removed (m\u00B3/ha)");
    for (size_t i = 0; i < runs.size(); ++i)
    {
        const QString name = QString::fromStdString(runs[i].scenario);
        // Before and after each year's treatments: thinnings show as drops, removals as steps.
        auto* pMean = new QLineSeries();
        auto* pCumulative = new QLineSeries();
        pMean->setName(name);
        pCumulative->setName(name);
        // Scenarios with the same course stay apart by their line style.
        pMean->setPen(QPen(ChartColour(static_cast<int>(i)), 3, i % 2 ? Qt::DashLine : Qt::SolidLine));
        pCumulative->setPen(pMean->pen());
        for (const SCompareYear& row : Cumulate(figures[i]))
        {
            pMean->append(row.pYear->nYear, row.pYear->basalAreaBefore.dMean);
            pMean->append(row.pYear->nYear, row.pYear->basalArea.dMean);
            pCumulative->append(row.pYear->nYear, row.dCumulativeRemoved - row.pYear->dRemovedVolume);
            pCumulative->append(row.pYear->nYear, row.dCumulativeRemoved);
        }
        for (auto [pChart, pSeries, pX, pY] : {std::tuple{pBasal, pMean, pBasalX, pBasalY}, std::tuple{pRemoved, pCumulative, pRemovedX, pRemovedY}})
        {
            pChart->addSeries(pSeries);
            pSeries->attachAxis(pX);
            pSeries->attachAxis(pY);
        }
    }
    return image.Save(path, pError);
}
}

SScenarioSummary SummariseScenario(const SRunResults& run)
{
    SScenarioSummary summary;
    summary.scenario = run.scenario;
    summary.nTreatments = static_cast<int>(run.treatments.size());
    for (const SForestYear& year : ForestFigures(run))
    {
        summary.dRemovedVolume += year.dRemovedVolume * year.dArea;
        summary.dRemovedVolumeHa += year.dRemovedVolume;
        summary.nFinalYear = year.nYear;
        summary.dFinalVolume = year.dVolume * year.dArea;
        summary.dFinalVolumeHa = year.dVolume;
    }
    return summary;
}

bool WriteComparison(const std::string& folder, const std::vector<SRunResults>& runs, std::string* pError)
{
    std::vector<std::vector<SForestYear>> figures;
    for (const SRunResults& run : runs)
        figures.push_back(ForestFigures(run));
    CAtomicFolder out;
    if (!out.Open(folder, {kCompareDatabase, kCompareTable, kCompareChart}))
    {
        if (pError)
            *pError = out.Error();
        return false;
    }
    if (!WriteDatabase(out.Path() + "/" + kCompareDatabase, runs, figures, pError) ||
        !WoxReplaceFile(out.Path() + "/" + kCompareTable, CompareCsv(runs, figures), pError) ||
        !WriteCompareChart(out.Path() + "/" + kCompareChart, runs, figures, pError))
        return false;
    if (!out.Commit())
    {
        if (pError)
            *pError = out.Error();
        return false;
    }
    return true;
}
