// The growth phase alone: the demo forest's tree lists (1,000 stands of 200 records) grown ten
// five-year periods by the growth model, against the model it replaced (kept below only as the
// reference of this benchmark), on the same input in the same run.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "DemoForest.h"
#include "GrowthModel.h"

namespace
{
constexpr int kStands = 1000;
constexpr int kTrees = 200;
constexpr int kPeriods = 10;
constexpr int kPeriodLength = 5;

// The replaced model: diameter increment slowed by basal area, heights kept at their offset from
// a height-diameter curve, mortality from relative density and rank.
struct SReferenceSpecies
{
    const char* pszCode;
    double dGrowth, dBasalMax, dHeightMax, dHeightRate, dHeightShape, dDensityMax;
};

const SReferenceSpecies kReferenceTable[] = {
    {"PSME", 0.55, 75.0, 60.0, 0.030, 1.20, 1450.0}, {"TSHE", 0.45, 85.0, 52.0, 0.035, 1.15, 1700.0},
    {"THPL", 0.40, 90.0, 50.0, 0.028, 1.10, 1800.0}, {"ABAM", 0.40, 80.0, 48.0, 0.032, 1.15, 1600.0},
    {"ABGR", 0.50, 70.0, 52.0, 0.032, 1.15, 1500.0}, {"PICO", 0.35, 45.0, 30.0, 0.045, 1.10, 1700.0},
    {"PIPO", 0.40, 45.0, 40.0, 0.030, 1.10, 1100.0}, {"PISI", 0.55, 85.0, 60.0, 0.028, 1.20, 1600.0},
    {"ALRU2", 0.60, 40.0, 32.0, 0.060, 1.00, 1100.0}, {"ACMA3", 0.40, 40.0, 28.0, 0.050, 1.00, 1000.0},
    {"*conifer", 0.45, 65.0, 45.0, 0.033, 1.15, 1450.0},
};

const SReferenceSpecies& ReferenceParameters(const char* pszCode)
{
    char szCode[11] = {};
    std::strncpy(szCode, pszCode, 10);
    for (const SReferenceSpecies& species : kReferenceTable)
        if (std::strcmp(species.pszCode, szCode) == 0)
            return species;
    return kReferenceTable[sizeof kReferenceTable / sizeof kReferenceTable[0] - 1];
}

double ReferenceCurve(const SReferenceSpecies& species, double dDbh, double dSite)
{
    return 1.3 + species.dHeightMax * dSite * std::pow(1.0 - std::exp(-species.dHeightRate * std::max(dDbh, 0.0)), species.dHeightShape);
}

double BasalArea(double dDbh) { return 3.14159265358979323846 / 4.0 * (dDbh / 100.0) * (dDbh / 100.0); }

void ReferenceGrow(std::vector<SInventory>& trees, double dSiteIndex, int nYears)
{
    const double dSite = std::clamp(dSiteIndex, 5.0, 60.0) / 30.0;
    std::vector<const SReferenceSpecies*> species(trees.size());
    for (size_t i = 0; i < trees.size(); ++i)
        species[i] = &ReferenceParameters(trees[i].szSpecies);
    std::vector<size_t> bySize(trees.size());
    for (int nYear = 0; nYear < nYears; ++nYear)
    {
        double dBasalArea = 0.0, dDensity = 0.0, dDensityMax = 0.0;
        for (size_t i = 0; i < trees.size(); ++i)
        {
            double dTreeBasal = trees[i].dTpha * BasalArea(trees[i].dDbh);
            dBasalArea += dTreeBasal;
            dDensity += trees[i].dTpha * std::pow(trees[i].dDbh / 25.4, 1.605);
            dDensityMax += dTreeBasal * species[i]->dDensityMax;
            bySize[i] = i;
        }
        dDensityMax = dBasalArea > 0.0 ? dDensityMax / dBasalArea : 1450.0;
        std::stable_sort(bySize.begin(), bySize.end(), [&](size_t a, size_t b) { return trees[a].dDbh > trees[b].dDbh; });
        const double dCrowding = std::max(0.0, dDensity / dDensityMax - 0.55) * 0.25;
        double dLarger = 0.0;
        for (size_t k = 0; k < bySize.size(); ++k)
        {
            SInventory& tree = trees[bySize[k]];
            const SReferenceSpecies& sp = *species[bySize[k]];
            double dTreeBasal = tree.dTpha * BasalArea(tree.dDbh);
            double dCompetition = std::max(0.05, 1.0 - (dBasalArea + dLarger) / (2.0 * sp.dBasalMax));
            double dOldCurve = ReferenceCurve(sp, tree.dDbh, dSite);
            tree.dDbh += sp.dGrowth * dSite * dCompetition * std::min(1.0, 0.4 + tree.dDbh / 30.0);
            tree.dHeight = std::max(tree.dHeight, tree.dHeight + ReferenceCurve(sp, tree.dDbh, dSite) - dOldCurve);
            double dRank = bySize.size() > 1 ? static_cast<double>(k) / static_cast<double>(bySize.size() - 1) : 0.0;
            tree.dTpha *= 1.0 - std::min(0.003 + dCrowding * (0.2 + 1.6 * dRank), 0.5);
            if (tree.dTpha < 0.01)
                tree.dTpha = 0.0;
            dLarger += dTreeBasal;
        }
    }
}

const SProject& Forest()
{
    static const SProject s_project = [] {
        SDemoForestOptions options;
        options.nStands = kStands;
        options.nTreesPerStand = kTrees;
        return MakeDemoForest(options);
    }();
    return s_project;
}

// Both sides start from the same inventory with crown ratios set, as a run starts.
std::vector<std::vector<SInventory>> StartingTrees()
{
    std::vector<std::vector<SInventory>> stands;
    for (const SProjectStand& stand : Forest().stands)
    {
        stands.push_back(stand.trees);
        CGrowthModel::EstimateCrownRatios(stands.back());
    }
    return stands;
}

void ReportTreePeriods(benchmark::State& state)
{
    state.counters["tree_periods_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kStands * kTrees * kPeriods, benchmark::Counter::kIsRate);
}

void BM_GrowthReference(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        auto stands = StartingTrees();
        state.ResumeTiming();
        for (int nPeriod = 0; nPeriod < kPeriods; ++nPeriod)
            for (size_t i = 0; i < stands.size(); ++i)
                ReferenceGrow(stands[i], Forest().stands[i].dSiteIndex, kPeriodLength);
        benchmark::DoNotOptimize(stands.data());
    }
    ReportTreePeriods(state);
}
BENCHMARK(BM_GrowthReference)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Growth(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        auto stands = StartingTrees();
        state.ResumeTiming();
        for (int nPeriod = 0; nPeriod < kPeriods; ++nPeriod)
            for (size_t i = 0; i < stands.size(); ++i)
            {
                SGrowthStand stand;
                stand.dSiteIndex = Forest().stands[i].dSiteIndex;
                stand.nYear = 2025 + kPeriodLength * nPeriod;
                CGrowthModel::Grow(stands[i], stand, kPeriodLength);
            }
        benchmark::DoNotOptimize(stands.data());
    }
    ReportTreePeriods(state);
}
BENCHMARK(BM_Growth)->Unit(benchmark::kMillisecond)->Iterations(2);
}

BENCHMARK_MAIN();
