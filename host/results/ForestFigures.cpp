#include "ForestFigures.h"

#include <algorithm>
#include <map>
#include <utility>

namespace
{
// values: (value, weight) pairs; sorted here.
SForestSpread Spread(std::vector<std::pair<double, double>>& values)
{
    SForestSpread spread;
    std::sort(values.begin(), values.end());
    double dTotal = 0.0, dSum = 0.0;
    for (const auto& [dValue, dWeight] : values)
    {
        dTotal += dWeight;
        dSum += dValue * dWeight;
    }
    if (values.empty() || dTotal <= 0.0)
        return spread;
    spread.dMean = dSum / dTotal;
    // The smallest value at which the cumulative area reaches the share.
    auto quantile = [&](double dShare) {
        double dCumulative = 0.0;
        for (const auto& [dValue, dWeight] : values)
        {
            dCumulative += dWeight;
            if (dCumulative >= dShare * dTotal * (1.0 - 1e-12))
                return dValue;
        }
        return values.back().first;
    };
    spread.dP10 = quantile(0.1);
    spread.dMedian = quantile(0.5);
    spread.dP90 = quantile(0.9);
    return spread;
}
}

std::vector<SForestYear> ForestFigures(const SRunResults& results)
{
    struct SCollect
    {
        std::vector<std::pair<double, double>> before, after;
        double dVolume = 0.0, dRemoved = 0.0, dArea = 0.0;
    };
    std::map<int, SCollect> years;
    for (const SStandYear& row : results.standYears)
    {
        double dWeight = 1.0;
        if (!results.areas.empty())
        {
            auto area = results.areas.find(row.stand);
            dWeight = area == results.areas.end() ? 0.0 : area->second;
        }
        SCollect& year = years[row.nYear];
        year.before.emplace_back(row.dBasalAreaBefore, dWeight);
        year.after.emplace_back(row.dBasalArea, dWeight);
        year.dVolume += row.dVolume * dWeight;
        year.dRemoved += row.dRemovedVolume * dWeight;
        year.dArea += dWeight;
    }
    std::map<int, int> treatments;
    for (const SAppliedTreatment& applied : results.treatments)
        ++treatments[applied.nYear];

    std::vector<SForestYear> figures;
    figures.reserve(years.size());
    for (auto& [nYear, year] : years)
    {
        SForestYear figure;
        figure.nYear = nYear;
        figure.basalAreaBefore = Spread(year.before);
        figure.basalArea = Spread(year.after);
        figure.dArea = year.dArea;
        if (year.dArea > 0.0)
        {
            figure.dVolume = year.dVolume / year.dArea;
            figure.dRemovedVolume = year.dRemoved / year.dArea;
        }
        figure.nTreatments = treatments[nYear];
        figures.push_back(figure);
    }
    return figures;
}
