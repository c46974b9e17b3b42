// The stand variable function library: its listing, and each listed variable evaluated on a
// filtered tree list against its own figure worked out from the trees.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "DataController.h"
#include "StandFuncEnum.h"
#include "StandVariables.h"
#include "StemVolume.h"
#include "TestHost.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;

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

// A mixed stand and the trees a condition "Douglas-fir from 10 cm" keeps of it.
std::vector<SInventory> MixedStand()
{
    const struct
    {
        const char* pszSpecies;
        double dDbh, dHeight, dTpha;
    } rows[] = {{"PSME", 8.0, 7.0, 300.0},  {"PSME", 10.0, 11.0, 120.0}, {"PSME", 24.0, 21.0, 80.0}, {"TSHE", 30.0, 24.0, 60.0},
                {"PSME", 41.5, 31.0, 35.0}, {"TSHE", 12.0, 10.0, 200.0}, {"PSME", 55.0, 36.5, 12.0}};
    std::vector<SInventory> trees;
    for (const auto& row : rows)
    {
        SInventory tree = {};
        std::snprintf(tree.szSpecies, sizeof tree.szSpecies, "%s", row.pszSpecies);
        tree.dDbh = row.dDbh;
        tree.dHeight = row.dHeight;
        tree.dTpha = row.dTpha;
        trees.push_back(tree);
    }
    return trees;
}

std::vector<SInventory> DouglasFirFrom10cm()
{
    std::vector<SInventory> kept;
    for (const SInventory& tree : MixedStand())
        if (std::string(tree.szSpecies) == "PSME" && tree.dDbh >= 10.0)
            kept.push_back(tree);
    return kept;
}

double Sum(const std::vector<SInventory>& trees, double (*pfnPerStem)(const SInventory&))
{
    double dSum = 0.0;
    for (const SInventory& tree : trees)
        dSum += tree.dTpha * pfnPerStem(tree);
    return dSum;
}

struct SVariableCase
{
    const char* pszName;   // as listed
    bool bInteger;
    double (*pfnDirect)(const std::vector<SInventory>& trees);
};

class StandVariableListTest : public CStandVariablesTest, public ::testing::WithParamInterface<SVariableCase>
{
};

// Every variable the enumerator lists, evaluated through it on the filtered tree list, equals its
// figure worked out here from the trees themselves.
TEST_P(StandVariableListTest, EnumeratedVariableEqualsDirectComputation)
{
    const SVariableCase& c = GetParam();
    IDynamicPtrTemplate<IArrayExt2> pList = m_host.MakeArray(sizeof(SFunctionDescriptor));
    ASSERT_TRUE(pList);
    ASSERT_EQ(1, m_pEnum->ListFunctions(WOX_FUNCTIONS_STAND, pList, 0, 1, 0));
    const SFunctionDescriptor* pDescriptor = nullptr;
    for (int i = 0; i < pList->GetSize(); ++i)
        if (std::string(static_cast<const SFunctionDescriptor*>(pList->GetAt(i, 0))->szVariable) == c.pszName)
            pDescriptor = static_cast<const SFunctionDescriptor*>(pList->GetAt(i, 0));
    ASSERT_TRUE(pDescriptor) << c.pszName << " is not listed";
    EXPECT_EQ(c.bInteger ? WOX_VALUE_INTEGER : WOX_VALUE_REAL, pDescriptor->nDescriptorC);

    const std::vector<SInventory> kept = DouglasFirFrom10cm();
    m_pTrees->RemoveAll(0);
    for (const SInventory& tree : kept)
        m_pTrees->Add(&tree);
    const SFunctionValue value = Evaluate(pDescriptor->nFunction);
    const double dExpected = c.pfnDirect(kept);
    if (c.bInteger)
    {
        EXPECT_EQ(WOX_VALUE_INTEGER, value.nType);
        EXPECT_EQ(std::lround(dExpected), value.nValue);
    }
    else
    {
        EXPECT_EQ(WOX_VALUE_REAL, value.nType);
        EXPECT_NEAR(dExpected, value.dValue, 1e-9 * std::max(1.0, dExpected));
    }
}

const SVariableCase kVariables[] = {
    {"Basal Area (m2/ha)", false, [](const std::vector<SInventory>& t) { return Sum(t, [](const SInventory& x) { return kPi / 4.0 * x.dDbh * x.dDbh / 1e4; }); }},
    {"Stems (per ha)", true, [](const std::vector<SInventory>& t) { return Sum(t, [](const SInventory&) { return 1.0; }); }},
    {"Quadratic Mean Diameter (cm)", false,
     [](const std::vector<SInventory>& t) {
         return std::sqrt(Sum(t, [](const SInventory& x) { return x.dDbh * x.dDbh; }) / Sum(t, [](const SInventory&) { return 1.0; }));
     }},
    {"Mean Height (m)", false,
     [](const std::vector<SInventory>& t) { return Sum(t, [](const SInventory& x) { return x.dHeight; }) / Sum(t, [](const SInventory&) { return 1.0; }); }},
    // The largest 100 stems of the kept trees: 12 of 55 cm, 35 of 41.5 cm and 53 of the 80 of 24 cm.
    {"Top Height (m)", false, [](const std::vector<SInventory>&) { return (12.0 * 36.5 + 35.0 * 31.0 + 53.0 * 21.0) / 100.0; }},
    {"Volume (m3/ha)", false, [](const std::vector<SInventory>& t) { return Sum(t, TreeVolume); }},
    {"Stand Density Index", true,
     [](const std::vector<SInventory>& t) { return Sum(t, [](const SInventory& x) { return std::pow(x.dDbh / 25.4, 1.605); }); }},
    {"Merchantable Volume (m3/ha)", false, [](const std::vector<SInventory>& t) { return Sum(t, TreeMerchantableVolume); }},
};

INSTANTIATE_TEST_SUITE_P(Variables, StandVariableListTest, ::testing::ValuesIn(kVariables),
                         [](const ::testing::TestParamInfo<SVariableCase>& info) {
                             std::string name;
                             for (const char* p = info.param.pszName; *p && *p != ' ' && *p != '('; ++p)
                                 name += *p;
                             return name + std::to_string(info.index);
                         });

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
    EXPECT_EQ(0, m_pEnum->ListFunctions(0, pList, 0, 1, 0)) << "only stand variables are offered";
    ASSERT_EQ(1, m_pEnum->ListFunctions(WOX_FUNCTIONS_STAND, pList, 0, 1, 0));
    ASSERT_EQ(8, pList->GetSize());
    char szFolder[WOX_MAX_PATH] = {};
    ASSERT_TRUE(m_host.Registry()->ReadString("General", "Function Directory", szFolder, sizeof szFolder));
    for (int i = 0; i < 8; ++i)
    {
        const auto* pDescriptor = static_cast<const SFunctionDescriptor*>(pList->GetAt(i, 0));
        EXPECT_EQ(std::string(szFolder) + "/" WOX_STAND_VARIABLES_LIBRARY, pDescriptor->szLibrary);
        EXPECT_EQ(i + 1, pDescriptor->nFunction);
        EXPECT_EQ(5, pDescriptor->nDescriptorA);
        EXPECT_EQ(1, pDescriptor->nDescriptorB);
    }
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i)
        names.push_back(static_cast<const SFunctionDescriptor*>(pList->GetAt(i, 0))->szVariable);
    std::vector<std::string> expected;
    for (const SVariableCase& c : kVariables)
        expected.push_back(c.pszName);
    EXPECT_EQ(expected, names) << "the table above covers every listed variable";
}
}
