#include "ForestFigures.h"

#include <cmath>

#include "StandVariables.h"
#include "WoxText.h"

std::vector<SForestYear> ForestYears(const SRunResults& results)
{
    std::map<int, SForestYear> years;
    for (const SStandYear& row : results.standYears)
    {
        SForestYear& year = years[row.nYear];
        year.nYear = row.nYear;
        const double a = row.dArea > 0.0 ? row.dArea : 0.0;
        year.dArea += a;
        year.dBasalAreaBefore += a * row.dBasalAreaBefore;
        year.dBasalArea += a * row.dBasalArea;
        year.dStemsBefore += a * row.dStemsBefore;
        year.dStems += a * row.dStems;
        year.dVolumeBefore += a * row.dVolumeBefore;
        year.dVolume += a * row.dVolume;
        year.dRemovedVolume += a * row.dRemovedVolume;
    }
    for (const SAppliedTreatment& applied : results.treatments)
        if (auto found = years.find(applied.nYear); found != years.end())
            ++found->second.nTreatments;
    std::vector<SForestYear> rows;
    for (auto& [nYear, year] : years)
    {
        if (year.dArea > 0.0)
            for (double* pMean : {&year.dBasalAreaBefore, &year.dBasalArea, &year.dStemsBefore, &year.dStems, &year.dVolumeBefore, &year.dVolume})
                *pMean /= year.dArea;
        rows.push_back(year);
    }
    return rows;
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
