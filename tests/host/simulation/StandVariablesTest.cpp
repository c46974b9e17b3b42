// The stand variable function library against figures computed by hand for a five-tree stand.

#include <gtest/gtest.h>

#include <cmath>

#include "DataController.h"
#include "StandFuncEnum.h"
#include "StandVariables.h"
#include "StemVolume.h"
#include "TestHost.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;

// The five trees' volume per hectare from the species' stem profile.
double StandVolume(bool bMerchantable)
{
    const SSpeciesGrowth& douglasFir = SpeciesGrowth("PSME");
    double dVolume = 0.0;
    for (int i = 0; i < 5; ++i)
        dVolume += 40.0 * (bMerchantable ? MerchantableVolume(douglasFir, 10.0 * (i + 1), 10.0 + 5.0 * i)
                                         : TotalStemVolume(douglasFir, 10.0 * (i + 1), 10.0 + 5.0 * i, BARK_OUTSIDE));
    return dVolume;
}

class CStandVariablesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pTrees = WoxCreateInventoryExt(m_host.Heap());
        ASSERT_TRUE(m_pTrees);
        m_pTrees->Initialize(nullptr, nullptr, nullptr);
        // Diameters 10..50 cm, heights 10..30 m, 40 stems per hectare each.
        for (int i = 0; i < 5; ++i)
        {
            SInventory tree = {};
            std::snprintf(tree.szSpecies, sizeof tree.szSpecies, "PSME");
            tree.dDbh = 10.0 * (i + 1);
            tree.dHeight = 10.0 + 5.0 * i;
            tree.dTpha = 40.0;
            m_pTrees->Add(&tree);
        }
        m_pEnum = new CStandFuncEnum();
        ASSERT_EQ(1, m_pEnum->Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()));
    }

    SFunctionValue Evaluate(int nFunction)
    {
        SFunctionValue value = {WOX_VALUE_UNSET, 0, 0, 0, 0.0, nullptr};
        EXPECT_EQ(1, m_pEnum->EvaluateFunction(nFunction, m_pTrees, &value, {}));
        return value;
    }

    CTestHost m_host;
    IDynamicPtrTemplate<IInventoryExt> m_pTrees;
    IDynamicPtrTemplate<CStandFuncEnum> m_pEnum;
};

TEST_F(CStandVariablesTest, RealValuesMatchHandFigures)
{
    // Sum of squared diameters in m2: 0.01 + 0.04 + 0.09 + 0.16 + 0.25 = 0.55.
    const double dBasalArea = kPi / 4.0 * 0.55 * 40.0;
    struct
    {
        int nFunction;
        double dExpected;
    } cases[] = {
        {STAND_BASAL_AREA, dBasalArea},
        {STAND_QMD, 100.0 * std::sqrt(0.55 / 5.0)},
        {STAND_MEAN_HEIGHT, 20.0},
        // The largest 100 stems: 40 of 50 cm (30 m), 40 of 40 cm (25 m), 20 of 30 cm (20 m).
        {STAND_TOP_HEIGHT, (40.0 * 30.0 + 40.0 * 25.0 + 20.0 * 20.0) / 100.0},
        // Volumes come from the growth model's Douglas-fir stem profile.
        {STAND_VOLUME, StandVolume(false)},
        {STAND_MERCHANTABLE_VOLUME, StandVolume(true)},
    };
    for (const auto& c : cases)
    {
        SFunctionValue value = Evaluate(c.nFunction);
        EXPECT_NE(WOX_VALUE_INTEGER, value.nType) << c.nFunction;
        EXPECT_NEAR(c.dExpected, value.dValue, 1e-9) << c.nFunction;
    }
}

TEST_F(CStandVariablesTest, StemsAndDensityIndexAreIntegers)
{
    SFunctionValue stems = Evaluate(STAND_STEMS);
    EXPECT_EQ(WOX_VALUE_INTEGER, stems.nType);
    EXPECT_EQ(200, stems.nValue);
    double dDensity = 0.0;
    for (int i = 1; i <= 5; ++i)
        dDensity += 40.0 * std::pow(10.0 * i / 25.4, 1.605);
    SFunctionValue density = Evaluate(STAND_DENSITY_INDEX);
    EXPECT_EQ(WOX_VALUE_INTEGER, density.nType);
    EXPECT_EQ(std::lround(dDensity), density.nValue);
}

TEST_F(CStandVariablesTest, EmptyListAndUnknownFunction)
{
    m_pTrees->RemoveAll(0);
    EXPECT_EQ(0.0, Evaluate(STAND_QMD).dValue);
    EXPECT_EQ(0, Evaluate(STAND_STEMS).nValue);
    SFunctionValue value = {};
    EXPECT_EQ(0, m_pEnum->EvaluateFunction(99, m_pTrees, &value, {}));
}

TEST_F(CStandVariablesTest, ListsDescriptorsNamingTheLibrary)
{
    IDynamicPtrTemplate<IArrayExt2> pList = m_host.MakeArray(sizeof(SFunctionDescriptor));
    ASSERT_TRUE(pList);
    ASSERT_EQ(1, m_pEnum->ListFunctions(0, pList, 0, 0, 0));
    ASSERT_EQ(8, pList->GetSize());
    char szFolder[WOX_MAX_PATH] = {};
    ASSERT_TRUE(m_host.Registry()->ReadString("General", "Function Directory", szFolder, sizeof szFolder));
    for (int i = 0; i < 8; ++i)
    {
        const auto* pDescriptor = static_cast<const SFunctionDescriptor*>(pList->GetAt(i, 0));
        EXPECT_EQ(std::string(szFolder) + "/" WOX_STAND_VARIABLES_LIBRARY, pDescriptor->szLibrary);
        EXPECT_EQ(i + 1, pDescriptor->nFunction);
        EXPECT_EQ(5, pDescriptor->nDescriptorA);
    }
    EXPECT_STREQ("Basal Area (m2/ha)", static_cast<const SFunctionDescriptor*>(pList->GetAt(0, 0))->szVariable);
}
}
