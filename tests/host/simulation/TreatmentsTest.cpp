// The treatment components on a small known stand, run through their RunComponent with the
// project port data, so that tree lists and removals travel the host's real paths.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "GrowthModel.h"
#include "ProjectPortData.h"
#include "StandVariables.h"
#include "TestHost.h"
#include "Treatments.h"
#include "WoxText.h"

namespace
{
// Ten trees of 10..55 cm, 50 stems per hectare each: 29.4 m2/ha.
SProject SmallProject()
{
    SProject project;
    project.name = "Small";
    project.nFirstYear = 2030;
    project.nPeriodLength = 5;
    SProjectStand stand{"S-1", 4.0, 30.0, {}};
    for (int i = 0; i < 10; ++i)
        stand.trees.push_back(MakeTree("S-1", std::to_string(i + 1), i % 2 ? "TSHE" : "PSME", 10.0 + 5.0 * i, 8.0 + 2.0 * i, 50.0));
    project.stands.push_back(stand);
    project.stands.push_back({"S-2", 1.0, 30.0, {MakeTree("S-2", "1", "PSME", 30.0, 25.0, 100.0)}});
    return project;
}

class CTreatmentsTest : public ::testing::Test
{
protected:
    CTreatmentsTest() : m_forest(SmallProject()), m_portData(m_forest, nullptr, "/tmp", 1) {}

    // Runs the component on stand S-1 in 2030 with the parameter block; answers RunComponent.
    int Run(CTreatmentComponent* pComponent, const void* pParameters, uint32_t nSize)
    {
        IDynamicPtrTemplate<CTreatmentComponent> pHeld(pComponent);
        EXPECT_EQ(1, pComponent->Create(m_host.LibMgr(), m_host.ThreadPool(), m_host.Registry(), m_host.ErrorReporter(),
                                        m_host.SpeciesMap(), m_host.CompMgr()));
        STreatmentData selection;
        selection.pYears = m_host.MakeArray(sizeof(int32_t));
        selection.pStands = m_host.MakeArray(sizeof(STreatmentDataStand));
        selection.pTreatments = m_host.MakeArray(sizeof(STreatmentDataTreatment));
        int32_t nYear = 2030;
        STreatmentDataStand stand = {};
        WoxCopyText(stand.szStand, "S-1");
        STreatmentDataTreatment treatment = {};
        treatment.guidComponent = pComponent->GetGUID();
        WoxCopyText(treatment.szName, "Test treatment");
        treatment.nDataSize = nSize;
        treatment.pData = m_host.Heap()->Alloc(nSize);
        if (nSize)
            std::memcpy(m_host.Heap()->Data(treatment.pData), pParameters, nSize);
        selection.pYears->Add(&nYear);
        selection.pStands->Add(&stand);
        selection.pTreatments->Add(&treatment);
        SComponentData data = {};
        data.pData = &selection;
        data.pPortData = &m_portData;
        m_message = SStandMessage{};
        m_message.nType = 9;
        m_message.nYear = 2030;
        WoxCopyText(m_message.szStand, "S-1");
        int nResult = pComponent->RunComponent(&data, &m_message);
        m_host.Heap()->Free(treatment.pData);
        if (nResult)
            m_portData.SendStandMessage(m_message);
        return nResult;
    }

    const std::vector<SInventory>& Trees() const { return m_forest.Stand(0).trees; }

    CTestHost m_host;
    CForest m_forest;
    CProjectPortData m_portData;
    SStandMessage m_message;
};

TEST_F(CTreatmentsTest, ThinningFromBelowReachesTheResidualTakingSmallTreesFirst)
{
    const double dBefore = ComputeStandVariable(STAND_BASAL_AREA, Trees());
    const double dVolumeBefore = ComputeStandVariable(STAND_VOLUME, Trees());
    SThinBelowParameters parameters{20.0};
    ASSERT_EQ(1, Run(new CThinBelow(m_host.Heap()), &parameters, sizeof parameters));
    EXPECT_NEAR(20.0, ComputeStandVariable(STAND_BASAL_AREA, Trees()), 1.0);
    ASSERT_LT(ComputeStandVariable(STAND_BASAL_AREA, Trees()), dBefore);
    // Every tree above the smallest survivor keeps all its stems; the smallest are gone.
    double dSmallest = Trees().front().dDbh;
    for (const SInventory& tree : Trees())
    {
        dSmallest = std::min(dSmallest, tree.dDbh);
        if (tree.dDbh > dSmallest + 1e-9)
        {
            EXPECT_DOUBLE_EQ(50.0, tree.dTpha) << tree.dDbh;
        }
    }
    EXPECT_GT(dSmallest, 10.0);
    ASSERT_EQ(1u, m_forest.Applied().size());
    const SAppliedTreatment& applied = m_forest.Applied()[0];
    EXPECT_EQ("Thinning from below", applied.component);
    EXPECT_EQ("Test treatment", applied.treatment);
    EXPECT_NEAR(dVolumeBefore - ComputeStandVariable(STAND_VOLUME, Trees()), applied.dRemovedVolume, 1e-9);
    EXPECT_GT(applied.dRemovedStems, 0.0);
    // The other stand is untouched.
    EXPECT_DOUBLE_EQ(100.0, m_forest.Stand(1).trees[0].dTpha);
}

TEST_F(CTreatmentsTest, ThinningFromAboveRemovesTheShareFromTheLargestTrees)
{
    const double dBefore = ComputeStandVariable(STAND_BASAL_AREA, Trees());
    SThinAboveParameters parameters{0.3};
    ASSERT_EQ(1, Run(new CThinAbove(m_host.Heap()), &parameters, sizeof parameters));
    EXPECT_NEAR(0.7 * dBefore, ComputeStandVariable(STAND_BASAL_AREA, Trees()), 1e-6);
    for (const SInventory& tree : Trees())
        if (tree.dDbh < 45.0)
        {
            EXPECT_DOUBLE_EQ(50.0, tree.dTpha) << tree.dDbh;
        }
    EXPECT_LT(std::max_element(Trees().begin(), Trees().end(), [](auto& a, auto& b) { return a.dDbh < b.dDbh; })->dDbh, 55.0);
}

TEST_F(CTreatmentsTest, ClearcutRemovesEveryTreeAndBooksTheVolume)
{
    const double dVolume = ComputeStandVariable(STAND_VOLUME, Trees());
    SClearcutParameters parameters{0.0};
    ASSERT_EQ(1, Run(new CClearcut(m_host.Heap()), &parameters, sizeof parameters));
    EXPECT_TRUE(Trees().empty());
    double dStems = 0.0, dRemoved = 0.0;
    m_forest.TakeRemovals(0, dStems, dRemoved);
    EXPECT_DOUBLE_EQ(500.0, dStems);
    EXPECT_NEAR(dVolume, dRemoved, 1e-9);
}

TEST_F(CTreatmentsTest, PlantingAddsTheSurvivingCohort)
{
    auto planted = [&](const char* pszSpecies) {
        double dStems = 0.0;
        for (const SInventory& tree : Trees())
            if (WoxCompareText(tree.szSpecies, pszSpecies, 10) == 0 && tree.szTree[0] == 'P')
                dStems += tree.dTpha;
        return dStems;
    };
    SPlantingParameters parameters = {};
    WoxCopyText(parameters.szSpecies, "THPL");
    parameters.dStemsPerHa = 800.0;
    parameters.dSeedlingAge = 3.0;
    parameters.dSurvival = 0.75;
    ASSERT_EQ(1, Run(new CPlanting(m_host.Heap()), &parameters, sizeof parameters));
    EXPECT_DOUBLE_EQ(600.0, planted("THPL"));
    EXPECT_EQ(0.0, m_forest.Applied().back().dRemovedStems);
    // No height given: the nursery height of three-year stock, below breast height without diameter.
    const double dNursery = CGrowthModel::NurseryHeight("THPL", 3.0);
    for (const SInventory& tree : Trees())
        if (tree.szTree[0] == 'P')
        {
            EXPECT_NEAR(dNursery, tree.dHeight, 0.1 * dNursery);
            EXPECT_EQ(0.0, tree.dDbh);
        }

    // A block of the first 40 bytes keeps its stems and takes the default survival (0.9).
    WoxCopyText(parameters.szSpecies, "ABGR");
    parameters.dHeight = 1.6;
    parameters.dDbh = 1.0;
    ASSERT_EQ(1, Run(new CPlanting(m_host.Heap()), &parameters, kPlantingParametersFirstSize));
    EXPECT_DOUBLE_EQ(720.0, planted("ABGR"));
    // Without a block: 1000 Douglas-fir per hectare planted, 900 established.
    ASSERT_EQ(1, Run(new CPlanting(m_host.Heap()), nullptr, 0));
    EXPECT_DOUBLE_EQ(900.0, planted("PSME"));
    // Survival outside (0, 1] refuses the planting.
    parameters.dSurvival = 0.0;
    EXPECT_EQ(0, Run(new CPlanting(m_host.Heap()), &parameters, sizeof parameters));
}

TEST_F(CTreatmentsTest, BadParametersAreRefusedWithoutChange)
{
    SThinAboveParameters parameters{1.5};
    EXPECT_EQ(0, Run(new CThinAbove(m_host.Heap()), &parameters, sizeof parameters));
    EXPECT_EQ(10u, Trees().size());
    EXPECT_TRUE(m_forest.Applied().empty());
}
}
