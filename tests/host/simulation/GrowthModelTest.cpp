// The growth model against published site-index curves and a normal yield table (sources in
// host/growth/README.md), and the behaviour foresters expect of it: crowns, competition,
// mortality, ingrowth, planting stock, missing heights and stem volumes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "DemoForest.h"
#include "GrowthModel.h"
#include "SiteCurves.h"
#include "StandVariables.h"
#include "StemVolume.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;

SInventory Tree(const char* pszSpecies, double dDbh, double dHeight, double dTpha, double dCrownRatio = 0.0)
{
    SInventory tree = {};
    std::snprintf(tree.szSpecies, sizeof tree.szSpecies, "%s", pszSpecies);
    std::snprintf(tree.szTree, sizeof tree.szTree, "%.1f-%.1f", dDbh, dHeight);
    tree.dDbh = dDbh;
    tree.dHeight = dHeight;
    tree.dTpha = dTpha;
    tree.dCrownRatio = dCrownRatio;
    return tree;
}

// A plantation of two-year nursery stock, as the planting component sets it out.
std::vector<SInventory> Plantation(const char* pszSpecies, double dStems)
{
    std::vector<SInventory> trees;
    for (int i = 0; i < 10; ++i)
        trees.push_back(Tree(pszSpecies, 0.0, CGrowthModel::NurseryHeight(pszSpecies, 2.0) * (0.9 + 0.02 * i), dStems / 10.0, 0.9));
    return trees;
}

void Grow(std::vector<SInventory>& trees, double dSiteIndex, int nYears, double dRemovedShare = 0.0)
{
    SGrowthStand stand;
    stand.dSiteIndex = dSiteIndex;
    stand.dRemovedShare = dRemovedShare;
    stand.nYear = 2030;
    CGrowthModel::Grow(trees, stand, nYears);
}

double Variable(ENStandVariable nVariable, const std::vector<SInventory>& trees) { return ComputeStandVariable(nVariable, trees); }

struct SPlantationCase
{
    const char* pszSpecies;
    double dSiteIndex;   // stand (Douglas-fir) site index, m
    double dStems;
};

void PrintTo(const SPlantationCase& c, std::ostream* pStream) { *pStream << c.pszSpecies << " SI " << c.dSiteIndex; }

class CPlantationTest : public ::testing::TestWithParam<SPlantationCase>
{
};

// Top height stays within 10% of the species' site curve at total ages 20, 50 and 80.
TEST_P(CPlantationTest, TopHeightFollowsTheSiteCurve)
{
    const SPlantationCase& c = GetParam();
    const SSpeciesGrowth& species = SpeciesGrowth(c.pszSpecies);
    const double dSiteIndex = SpeciesSiteIndex(species, c.dSiteIndex);
    std::vector<SInventory> trees = Plantation(c.pszSpecies, c.dStems);
    int nAge = 2;
    for (int nCheck : {20, 50, 80})
    {
        Grow(trees, c.dSiteIndex, nCheck - nAge);
        nAge = nCheck;
        const double dCurve = TotalAgeHeight(species, dSiteIndex, nAge);
        EXPECT_NEAR(dCurve, Variable(STAND_TOP_HEIGHT, trees), 0.10 * dCurve) << "age " << nAge;
    }
}

INSTANTIATE_TEST_SUITE_P(Species, CPlantationTest,
                         ::testing::Values(SPlantationCase{"PSME", 35.0, 1500.0}, SPlantationCase{"PSME", 25.0, 1500.0},
                                           SPlantationCase{"PSME", 45.0, 1100.0}, SPlantationCase{"TSHE", 35.0, 1500.0},
                                           SPlantationCase{"PIPO", 30.0, 1000.0}, SPlantationCase{"ALRU2", 35.0, 1200.0}));

// A fully stocked Douglas-fir plantation on site index 35 m at total age 50 against the normal
// yield table for site index 160 ft at 100 years: 50 m2/ha and 580 m3/ha inside bark.
TEST(GrowthModelTest, DouglasFirPlantationMatchesTheNormalYieldTable)
{
    std::vector<SInventory> trees = Plantation("PSME", 1500.0);
    Grow(trees, 35.0, 48);
    double dVolume = 0.0;
    for (const SInventory& tree : trees)
        dVolume += tree.dTpha * TotalStemVolume(SpeciesGrowth("PSME"), tree.dDbh, tree.dHeight, BARK_INSIDE);
    EXPECT_NEAR(50.0, Variable(STAND_BASAL_AREA, trees), 0.25 * 50.0);
    EXPECT_NEAR(580.0, dVolume, 0.25 * 580.0);
}

// On the demo forest: no untreated period loses more than 2% of top height, and over 50 years
// the median stand gains about what its site curve predicts from its present top height.
TEST(GrowthModelTest, TopHeightRisesWithTheSiteCurve)
{
    SDemoForestOptions options;
    options.nStands = 20;
    options.nTreesPerStand = 80;
    SProject project = MakeDemoForest(options);
    std::vector<double> gainShares;
    for (SProjectStand& stand : project.stands)
    {
        const SSpeciesGrowth& douglasFir = SpeciesGrowth("PSME");
        const double dStart = Variable(STAND_TOP_HEIGHT, stand.trees);
        const double dAge = EffectiveTotalAge(douglasFir, stand.dSiteIndex, dStart);
        const double dCurveGain = TotalAgeHeight(douglasFir, stand.dSiteIndex, dAge + 50.0) - dStart;
        double dTop = dStart;
        for (int nPeriod = 0; nPeriod < 10; ++nPeriod)
        {
            Grow(stand.trees, stand.dSiteIndex, 5);
            const double dNext = Variable(STAND_TOP_HEIGHT, stand.trees);
            EXPECT_GE(dNext, 0.98 * dTop) << stand.id << " period " << nPeriod;
            dTop = dNext;
        }
        gainShares.push_back((dTop - dStart) / dCurveGain);
    }
    std::nth_element(gainShares.begin(), gainShares.begin() + 10, gainShares.end());
    EXPECT_GT(gainShares[10], 0.6);
    EXPECT_LT(gainShares[10], 1.4);
}

// Density mortality: an overstocked mixed stand thins itself below its maximum density; the
// small trees die first, the shade-intolerant among them more than the tolerant, and dominants
// lose far less than the stand's average. Thinned trees grow faster in diameter.
TEST(GrowthModelTest, CompetitionStrikesSuppressedIntolerantTrees)
{
    const std::vector<SInventory> start = {Tree("PSME", 44.0, 33.0, 150.0), Tree("TSHE", 36.0, 29.0, 150.0),
                                           Tree("PSME", 14.0, 17.0, 500.0), Tree("TSHE", 14.0, 17.0, 500.0)};
    std::vector<SInventory> trees = start;
    Grow(trees, 35.0, 10);
    auto survival = [&](size_t i) { return trees[i].dTpha / start[i].dTpha; };
    const double dStandSurvival = Variable(STAND_STEMS, trees) / Variable(STAND_STEMS, start);
    EXPECT_LT(dStandSurvival, 0.8);
    EXPECT_GT(survival(1), survival(3));
    EXPECT_GT(survival(3), survival(2)) << "hemlock tolerates shade better than Douglas-fir";
    EXPECT_LT(1.0 - survival(0), 0.5 * (1.0 - dStandSurvival)) << "dominants die at less than half the average rate";
    const double dDensityMax = (SpeciesGrowth("PSME").dDensityMax + SpeciesGrowth("TSHE").dDensityMax) / 2.0;
    EXPECT_LT(Variable(STAND_DENSITY_INDEX, trees), 0.7 * dDensityMax);

    std::vector<SInventory> thinned = {start[0], start[1]};
    Grow(thinned, 35.0, 10);
    EXPECT_GT(thinned[0].dDbh, trees[0].dDbh);
    EXPECT_GT(thinned[0].dCrownRatio, trees[0].dCrownRatio);
}

// Crown ratios the inventory lacks are estimated from density and rank; measured ones stay.
TEST(GrowthModelTest, CrownRatiosComeFromDensityAndRank)
{
    std::vector<SInventory> dense = {Tree("PSME", 40.0, 32.0, 400.0), Tree("PSME", 15.0, 18.0, 600.0), Tree("PSME", 30.0, 28.0, 50.0, 0.66)};
    std::vector<SInventory> open = {Tree("PSME", 40.0, 32.0, 40.0), Tree("PSME", 15.0, 18.0, 60.0)};
    CGrowthModel::EstimateCrownRatios(dense);
    CGrowthModel::EstimateCrownRatios(open);
    for (const auto* pTrees : {&dense, &open})
        for (const SInventory& tree : *pTrees)
        {
            EXPECT_GT(tree.dCrownRatio, 0.0);
            EXPECT_LE(tree.dCrownRatio, 1.0);
        }
    EXPECT_LT(dense[1].dCrownRatio, dense[0].dCrownRatio);
    EXPECT_LT(dense[0].dCrownRatio, open[0].dCrownRatio);
    EXPECT_EQ(0.66, dense[2].dCrownRatio);
}

// Ingrowth of the most shade-tolerant species follows a heavy thinning that left seed trees.
struct SIngrowthCase
{
    const char* pszName;
    double dRemovedShare;
    double dResidualStems;   // per record of the residual stand
    bool bIngrowth;
};

class CIngrowthTest : public ::testing::TestWithParam<SIngrowthCase>
{
};

TEST_P(CIngrowthTest, AppearsOnlyAfterHeavyThinning)
{
    const SIngrowthCase& c = GetParam();
    std::vector<SInventory> trees = {Tree("PSME", 45.0, 35.0, c.dResidualStems), Tree("THPL", 35.0, 27.0, c.dResidualStems)};
    Grow(trees, 35.0, 5, c.dRemovedShare);
    double dNew = 0.0;
    for (const SInventory& tree : trees)
        if (tree.szTree[0] == 'I')
        {
            EXPECT_STREQ("THPL", tree.szSpecies);
            dNew += tree.dTpha;
        }
    EXPECT_EQ(c.bIngrowth, dNew > 100.0) << dNew;
}

INSTANTIATE_TEST_SUITE_P(Thinnings, CIngrowthTest,
                         ::testing::Values(SIngrowthCase{"Heavy", 0.6, 60.0, true}, SIngrowthCase{"Light", 0.2, 60.0, false},
                                           SIngrowthCase{"NoSeedTrees", 0.95, 5.0, false}),
                         [](const ::testing::TestParamInfo<SIngrowthCase>& info) { return std::string(info.param.pszName); });

// Missing heights are filled from the height-diameter curve at the stand's own level.
TEST(GrowthModelTest, MissingHeightsFollowTheStandsMeasuredHeights)
{
    std::vector<SInventory> trees;
    for (double dDbh : {20.0, 30.0, 40.0})
        trees.push_back(Tree("PSME", dDbh, 1.3 + 1.2 * (CGrowthModel::EstimateHeight("PSME", dDbh, 30.0) - 1.3), 50.0));
    trees.push_back(Tree("PSME", 25.0, 0.0, 50.0));
    trees.push_back(Tree("PSME", 35.0, std::nan(""), 50.0));
    trees.push_back(Tree("PSME", 0.0, 0.0, 50.0));
    EXPECT_EQ(2u, CGrowthModel::FillMissingHeights(trees, 30.0));
    EXPECT_NEAR(1.3 + 1.2 * (CGrowthModel::EstimateHeight("PSME", 25.0, 30.0) - 1.3), trees[3].dHeight, 1e-9);
    EXPECT_GT(trees[4].dHeight, trees[3].dHeight);
    EXPECT_EQ(0.0, trees[5].dHeight) << "a tree without diameter has no height to estimate";
}

// Stem volumes: the closed forms against a numerical integral of the stem profile, the bark and
// merchantability conventions, and species forms that differ.
class CStemVolumeTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(CStemVolumeTest, ClosedFormsIntegrateTheProfile)
{
    const SSpeciesGrowth& species = SpeciesGrowth(GetParam());
    const double dDbh = 42.0, dHeight = 33.0;
    double dTotal = 0.0, dMerchantable = 0.0;
    constexpr int kSlices = 20000;
    for (int i = 0; i < kSlices; ++i)
    {
        const double dAt = dHeight * (i + 0.5) / kSlices;
        const double dInside = StemDiameter(species, dDbh, dHeight, dAt, BARK_INSIDE);
        const double dSlice = kPi / 4.0 * std::pow(StemDiameter(species, dDbh, dHeight, dAt, BARK_OUTSIDE) / 100.0, 2) * dHeight / kSlices;
        dTotal += dSlice;
        if (dAt >= kStumpHeight && dInside >= kMerchantableTop)
            dMerchantable += dSlice * species.dBarkRatio * species.dBarkRatio;
    }
    EXPECT_NEAR(dTotal, TotalStemVolume(species, dDbh, dHeight, BARK_OUTSIDE), 1e-3 * dTotal);
    EXPECT_NEAR(dMerchantable, MerchantableVolume(species, dDbh, dHeight), 2e-3 * dMerchantable);
    EXPECT_NEAR(dDbh, StemDiameter(species, dDbh, dHeight, 1.3, BARK_OUTSIDE), 1e-9);
    EXPECT_NEAR(TotalStemVolume(species, dDbh, dHeight, BARK_OUTSIDE) * species.dBarkRatio * species.dBarkRatio,
                TotalStemVolume(species, dDbh, dHeight, BARK_INSIDE), 1e-12);
    // Form factor of the whole stem between a cone and a cylinder.
    const double dForm = dTotal / (kPi / 4.0 * std::pow(dDbh / 100.0, 2) * dHeight);
    EXPECT_GT(dForm, 0.33);
    EXPECT_LT(dForm, 0.6);
    EXPECT_EQ(0.0, MerchantableVolume(species, kMerchantableMinDbh - 0.1, dHeight));
    EXPECT_EQ(0.0, TotalStemVolume(species, 2.0, 1.3, BARK_OUTSIDE));
}

INSTANTIATE_TEST_SUITE_P(Species, CStemVolumeTest, ::testing::Values("PSME", "THPL", "PIPO", "ACMA3", "2TN"));

TEST(StemVolumeTest, SpeciesDifferInForm)
{
    const double dDouglasFir = TotalStemVolume(SpeciesGrowth("PSME"), 40.0, 30.0, BARK_OUTSIDE);
    EXPECT_GT(dDouglasFir, 1.05 * TotalStemVolume(SpeciesGrowth("THPL"), 40.0, 30.0, BARK_OUTSIDE));
    EXPECT_GT(dDouglasFir, 1.1 * TotalStemVolume(SpeciesGrowth("ACMA3"), 40.0, 30.0, BARK_OUTSIDE));
}

// The site curves pass through the site index at breast-height age 50 and the growth-effective
// age inverts them, for every curve family and across the accepted site range.
TEST(SiteCurveTest, CurvesPassTheSiteIndexAndInvert)
{
    size_t nRows = 0;
    const SSpeciesGrowth* pRows = SpeciesGrowthTable(nRows);
    for (size_t r = 0; r < nRows; ++r)
        for (double dStand : {kSiteIndexMin, 25.0, 35.0, kSiteIndexMax})
        {
            const SSpeciesGrowth& species = pRows[r];
            const double dSiteIndex = SpeciesSiteIndex(species, dStand);
            EXPECT_NEAR(dSiteIndex, SiteCurveHeight(species, dSiteIndex, 50.0), 0.01 * dSiteIndex) << species.pszCode << " " << dStand;
            for (double dAge : {1.0, 5.0, 20.0, 60.0, 120.0})
            {
                const double dHeight = TotalAgeHeight(species, dSiteIndex, dAge);
                EXPECT_NEAR(dAge, EffectiveTotalAge(species, dSiteIndex, dHeight), 1e-6 * dAge) << species.pszCode << " " << dStand;
                EXPECT_GT(TotalAgeHeight(species, dSiteIndex, dAge + 1.0), dHeight) << species.pszCode << " " << dStand;
            }
            // Every height up to the site index has an age, rising without a gap at breast height.
            double dPrevious = -1.0;
            for (double dHeight = 0.0; dHeight <= dSiteIndex; dHeight += 0.01)
            {
                const double dAge = EffectiveTotalAge(species, dSiteIndex, dHeight);
                ASSERT_TRUE(std::isfinite(dAge) && dAge > dPrevious) << species.pszCode << " " << dStand << " at " << dHeight << " m";
                dPrevious = dAge;
            }
        }
}

// A site index given for another site species or base age converts to the stand's Douglas-fir
// site index and back; one outside the accepted range has none.
TEST(SiteCurveTest, SiteIndexOfAnotherSpeciesOrBaseAge)
{
    const SSpeciesGrowth& hemlock = SpeciesGrowth("TSHE");
    const SSpeciesGrowth& douglasFir = SpeciesGrowth("PSME");
    EXPECT_NEAR(30.0, StandSiteIndex(hemlock, SpeciesSiteIndex(hemlock, 30.0), 50.0), 1e-6);
    EXPECT_NEAR(35.0, StandSiteIndex(douglasFir, SiteCurveHeight(douglasFir, 35.0, 100.0), 100.0), 1e-6);
    EXPECT_TRUE(std::isnan(StandSiteIndex(douglasFir, 70.0, 50.0)));
    EXPECT_TRUE(std::isnan(StandSiteIndex(douglasFir, 5.0, 50.0)));
}
}
