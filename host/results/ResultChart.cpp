#include <QAreaSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>

#include <algorithm>
#include <cmath>
#include <map>

#include "ChartImage.h"
#include "ForestFigures.h"
#include "Results.h"

namespace
{
constexpr int kWidth = 1200;
constexpr int kMaxTicks = 8;
constexpr int kMaxYearTicks = 12;
// Above this many stands single lines become a thicket: the chart shows their spread instead.
constexpr size_t kMaxStandLines = 200;

const QColor kMeanColour(20, 60, 160);
const QColor kMedianColour(60, 60, 60);
const QColor kStandColour(150, 170, 200, 110);
const QColor kBandColour(120, 150, 210, 90);
const QColor kTreatmentColour(210, 30, 30);
const QColor kVolumeColour(40, 110, 50);
const QColor kRemovedColour(200, 120, 40, 200);

// A line through the values before and after each year's treatments, so removals show as drops.
QLineSeries* DropLine(const std::vector<SForestYear>& years, double SForestSpread::*pField, const QString& name)
{
    auto* pSeries = new QLineSeries();
    pSeries->setName(name);
    for (const SForestYear& year : years)
    {
        pSeries->append(year.nYear, year.basalAreaBefore.*pField);
        pSeries->append(year.nYear, year.basalArea.*pField);
    }
    return pSeries;
}

void Attach(QChart* pChart, QAbstractSeries* pSeries, QValueAxis* pX, QValueAxis* pY)
{
    pChart->addSeries(pSeries);
    pSeries->attachAxis(pX);
    pSeries->attachAxis(pY);
}

void HideFromLegend(QChart* pChart, QAbstractSeries* pSeries)
{
    for (QLegendMarker* pMarker : pChart->legend()->markers(pSeries))
        pMarker->setVisible(false);
}
}

SChartScale ChartScale(double dLargest)
{
    SChartScale scale;
    const double dCover = std::isfinite(dLargest) ? std::max(10.0, dLargest) : 10.0;
    const double dRough = dCover / kMaxTicks;
    const double dPower = std::pow(10.0, std::floor(std::log10(dRough)));
    scale.dStep = 10.0 * dPower;
    for (double dFactor : {1.0, 2.0, 5.0})
        if (dFactor * dPower >= dRough)
        {
            scale.dStep = dFactor * dPower;
            break;
        }
    scale.nTicks = std::max(1, std::min(kMaxTicks, static_cast<int>(std::ceil(dCover / scale.dStep))));
    scale.dTop = scale.nTicks * scale.dStep;
    return scale;
}

int ChartYearStep(const std::vector<int>& years)
{
    if (years.size() < 2)
        return 1;
    int nStep = years[1] - years[0];
    for (size_t i = 2; i < years.size(); ++i)
        nStep = std::min(nStep, years[i] - years[i - 1]);
    nStep = std::max(1, nStep);
    const int nSpan = years.back() - years.front();
    return nStep * std::max(1, (nSpan / nStep + kMaxYearTicks - 1) / kMaxYearTicks);
}

bool WriteResultChart(const std::string& path, const SRunResults& results, std::string* pError)
{
    if (results.standYears.empty())
    {
        if (pError)
            *pError = "no results to draw";
        return false;
    }
    if (!CanDrawCharts(path, pError))
        return false;
    // Per stand its values before and after each year's treatments, in year order.
    std::map<std::string, std::vector<const SStandYear*>> stands;
    double dLargestBasalArea = 10.0;
    for (const SStandYear& row : results.standYears)
    {
        // Values that are no numbers have no place on an axis (and would stretch it for ever).
        const bool bBasalArea = std::isfinite(row.dBasalAreaBefore) && std::isfinite(row.dBasalArea);
        if (!bBasalArea || !std::isfinite(row.dVolume) || !std::isfinite(row.dRemovedVolume))
        {
            if (pError)
                *pError = std::string("cannot draw the chart: the ") + (bBasalArea ? "volume" : "basal area") + " of stand " + row.stand +
                          " in " + std::to_string(row.nYear) + " is not a finite number";
            return false;
        }
        stands[row.stand].push_back(&row);
    }
    const std::vector<SForestYear> years = ForestFigures(results);
    const bool bSpread = stands.size() > kMaxStandLines;
    std::vector<int> yearList;
    double dLargestVolume = 10.0;
    for (const SForestYear& year : years)
    {
        yearList.push_back(year.nYear);
        dLargestVolume = std::max(dLargestVolume, year.dVolume + year.dRemovedVolume);
        dLargestBasalArea = std::max({dLargestBasalArea, year.basalAreaBefore.dMean, year.basalAreaBefore.dP90});
    }
    if (!bSpread)
        for (const SStandYear& row : results.standYears)
            dLargestBasalArea = std::max({dLargestBasalArea, row.dBasalAreaBefore, row.dBasalArea});

    CChartImage image(kWidth, QString::fromStdString(results.project + " \u2014 scenario " + results.scenario));
    const int nYearStep = ChartYearStep(yearList);
    // Removals are bars a fifth of the tick step wide, centred on their year; both panels leave
    // room for the first and last bar.
    const double dHalf = std::max(0.4, nYearStep / 10.0);

    QChart* pBasal = image.AddPanel(560, QString("Basal area, %1 stands").arg(stands.size()));
    QValueAxis* pX = CChartImage::AddYearAxis(pBasal, yearList.front(), yearList.back(), nYearStep, dHalf);
    QValueAxis* pY = CChartImage::AddValueAxis(pBasal, dLargestBasalArea, "Basal area (m\u00B2/ha)");
    if (bSpread)
    {
        auto* pHigh = DropLine(years, &SForestSpread::dP90, "");
        auto* pLow = DropLine(years, &SForestSpread::dP10, "");
        auto* pBand = new QAreaSeries(pHigh, pLow);
        pBand->setName("10\u201390 % of the forest area");
        pBand->setColor(kBandColour);
        pBand->setBorderColor(kBandColour);
        Attach(pBasal, pBand, pX, pY);
        auto* pMedian = DropLine(years, &SForestSpread::dMedian, "median");
        pMedian->setPen(QPen(kMedianColour, 2, Qt::DashLine));
        Attach(pBasal, pMedian, pX, pY);
    }
    else
    {
        bool bFirst = true;
        for (const auto& [stand, rows] : stands)
        {
            auto* pLine = new QLineSeries();
            pLine->setName("single stands");
            pLine->setPen(QPen(kStandColour, 1));
            for (const SStandYear* pRow : rows)
            {
                pLine->append(pRow->nYear, pRow->dBasalAreaBefore);
                pLine->append(pRow->nYear, pRow->dBasalArea);
            }
            Attach(pBasal, pLine, pX, pY);
            if (!bFirst)
                HideFromLegend(pBasal, pLine);
            bFirst = false;
        }
    }
    auto* pMean = DropLine(years, &SForestSpread::dMean, "area-weighted mean");
    pMean->setPen(QPen(kMeanColour, 3.5));
    Attach(pBasal, pMean, pX, pY);

    // A marker on the treated stand's line at its basal area before the treatment.
    std::map<std::pair<std::string, int>, double> before;
    for (const SStandYear& row : results.standYears)
        before[{row.stand, row.nYear}] = row.dBasalAreaBefore;
    auto* pTreated = new QScatterSeries();
    pTreated->setName(QString("treatment applied (%1 in all)").arg(results.treatments.size()));
    pTreated->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    pTreated->setMarkerSize(10);
    pTreated->setColor(kTreatmentColour);
    pTreated->setBorderColor(kTreatmentColour);
    for (const SAppliedTreatment& applied : results.treatments)
        if (auto found = before.find({applied.stand, applied.nYear}); found != before.end())
            pTreated->append(applied.nYear, found->second);
    Attach(pBasal, pTreated, pX, pY);

    QChart* pVolume = image.AddPanel(400, "Volume, area-weighted mean over the forest");
    QValueAxis* pVolumeX = CChartImage::AddYearAxis(pVolume, yearList.front(), yearList.back(), nYearStep, dHalf);
    QValueAxis* pVolumeY = CChartImage::AddValueAxis(pVolume, dLargestVolume, "Volume (m\u00B3/ha)");
    auto* pRemovedTop = new QLineSeries();
    auto* pStanding = new QLineSeries();
    pStanding->setName("standing volume");
    pStanding->setPen(QPen(kVolumeColour, 3));
    for (const SForestYear& year : years)
    {
        pStanding->append(year.nYear, year.dVolume + year.dRemovedVolume);
        pStanding->append(year.nYear, year.dVolume);
        pRemovedTop->append(year.nYear - dHalf, 0.0);
        pRemovedTop->append(year.nYear - dHalf, year.dRemovedVolume);
        pRemovedTop->append(year.nYear + dHalf, year.dRemovedVolume);
        pRemovedTop->append(year.nYear + dHalf, 0.0);
    }
    auto* pRemoved = new QAreaSeries(pRemovedTop);
    pRemoved->setName("volume removed by the year's treatments");
    pRemoved->setColor(kRemovedColour);
    pRemoved->setBorderColor(kRemovedColour);
    Attach(pVolume, pRemoved, pVolumeX, pVolumeY);
    Attach(pVolume, pStanding, pVolumeX, pVolumeY);
    return image.Save(path, pError);
}
