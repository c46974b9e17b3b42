#include "ForestFigures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "StandVariables.h"
#include "WoxText.h"

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
        double dStemsBefore = 0.0, dStems = 0.0, dVolumeBefore = 0.0, dVolume = 0.0, dRemoved = 0.0, dArea = 0.0;
    };
    const bool bAreas = std::any_of(results.standYears.begin(), results.standYears.end(), [](const SStandYear& row) { return row.dArea > 0.0; });
    std::map<int, SCollect> years;
    for (const SStandYear& row : results.standYears)
    {
        const double dWeight = !bAreas ? 1.0 : row.dArea > 0.0 ? row.dArea : 0.0;
        SCollect& year = years[row.nYear];
        year.before.emplace_back(row.dBasalAreaBefore, dWeight);
        year.after.emplace_back(row.dBasalArea, dWeight);
        year.dStemsBefore += row.dStemsBefore * dWeight;
        year.dStems += row.dStems * dWeight;
        year.dVolumeBefore += row.dVolumeBefore * dWeight;
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
        figure.dRemovedVolumeTotal = year.dRemoved;
        if (year.dArea > 0.0)
        {
            figure.dStemsBefore = year.dStemsBefore / year.dArea;
            figure.dStems = year.dStems / year.dArea;
            figure.dVolumeBefore = year.dVolumeBefore / year.dArea;
            figure.dVolume = year.dVolume / year.dArea;
            figure.dRemovedVolume = year.dRemoved / year.dArea;
        }
        figure.nTreatments = treatments[nYear];
        figures.push_back(figure);
    }
    return figures;
}

void CSpeciesTally::Add(int nYear, double dArea, const std::vector<SInventory>& trees)
{
    if (!(dArea > 0.0))
        return;
    // Consecutive records mostly share a species: look the sums up once per run of them.
    SSums* pSums = nullptr;
    char szLast[sizeof(SInventory::szSpecies) + 1] = {};
    for (const SInventory& tree : trees)
    {
        // The stand variables' rule: a record with a value that is negative or not a number has no stems.
        if (!(tree.dTpha > 0.0 && tree.dDbh >= 0.0 && tree.dHeight >= 0.0 && std::isfinite(tree.dTpha) && std::isfinite(tree.dDbh) &&
              std::isfinite(tree.dHeight)))
            continue;
        char szSpecies[sizeof tree.szSpecies + 1];
        WoxFieldToString(szSpecies, sizeof szSpecies, tree.szSpecies, sizeof tree.szSpecies);
        if (!pSums || std::char_traits<char>::compare(szSpecies, szLast, sizeof szLast) != 0)
        {
            pSums = &m_sums[{nYear, szSpecies}];
            std::char_traits<char>::copy(szLast, szSpecies, sizeof szLast);
        }
        const double dWeight = dArea * tree.dTpha;
        pSums->dStems += dWeight;
        pSums->dBasalArea += dWeight * TreeBasalArea(tree.dDbh);
        pSums->dVolume += dWeight * TreeVolume(tree);
    }
}

std::vector<SSpeciesYear> CSpeciesTally::Rows(double dTotalArea) const
{
    std::vector<SSpeciesYear> rows;
    if (!(dTotalArea > 0.0))
        return rows;
    rows.reserve(m_sums.size());
    for (const auto& [key, sums] : m_sums)
        rows.push_back({key.first, key.second, sums.dBasalArea / dTotalArea, sums.dStems / dTotalArea, sums.dVolume / dTotalArea});
    return rows;
}
