// The tree filter of a condition: inclusive bounds, the species list and its mode.

#include <limits>
#include <memory>

#include "EngineFixture.h"
#include "WoxText.h"

namespace
{
SInventory Tree(const char* pszId, const char* pszSpecies, double dDbh, double dHeight)
{
    SInventory tree = MakeTestTree(pszSpecies, dDbh, dHeight);
    WoxCopyText(tree.szTree, pszId);
    return tree;
}

class CSubsetInventoryTest : public CEngineTest
{
protected:
    void SetUp() override
    {
        CEngineTest::SetUp();
        ResetTriggerSpec(m_spec);
    }

    std::vector<std::string> Subset(const std::vector<SInventory>& trees)
    {
        IDynamicPtrTemplate<IInventoryExt> pSource = MakeTrees(trees);
        IDynamicPtrTemplate<IInventoryExt> pTarget = MakeTrees({Tree("left over", "PSME", 30, 20)});
        EXPECT_EQ(1, m_pEngine->SubsetInventory(&m_spec, pSource, pTarget));
        return TreeIds(pTarget.Get());
    }

    SScenarioTriggerSpec m_spec = {};
};

TEST_F(CSubsetInventoryTest, BoundsAreInclusiveAndEveryOneApplies)
{
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    m_spec.dHeightMin = 10.0;
    m_spec.dHeightMax = 20.0;
    m_spec.dDbhMin = 30.0;
    m_spec.dDbhMax = 40.0;

    const std::vector<std::string> kept = Subset({
        Tree("at lowest height", "PSME", 35, 10.0),
        Tree("below lowest height", "PSME", 35, 9.999),
        Tree("at highest height", "PSME", 35, 20.0),
        Tree("above highest height", "PSME", 35, 20.001),
        Tree("at smallest dbh", "PSME", 30.0, 15),
        Tree("below smallest dbh", "PSME", 29.999, 15),
        Tree("at largest dbh", "PSME", 40.0, 15),
        Tree("above largest dbh", "PSME", 40.001, 15),
        Tree("height not a number", "PSME", 35, kNaN),
        Tree("dbh not a number", "PSME", kNaN, 15),
        Tree("inside", "TSHE", 35, 15),
    });

    EXPECT_EQ((std::vector<std::string>{"at lowest height", "at highest height", "at smallest dbh", "at largest dbh", "inside"}), kept);
}

TEST_F(CSubsetInventoryTest, DefaultFilterKeepsOrdinaryTreesAndEmptiesTheTarget)
{
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Subset({Tree("a", "PSME", 0.0, 999.0), Tree("b", "", 999.0, 0.0)}));
}

TEST_F(CSubsetInventoryTest, CrossedBoundsLetTheVariableBeComputedOnNoTrees)
{
    m_port.SetTrees("S1", {MakeTestTree("PSME", 30, 20), MakeTestTree("PSME", 35, 20)});
    SScenarioTreatment record = TriggeredRecord(2000, "S1", "thin", false);
    SScenarioTriggerSpec& spec = AddCondition(record, TEST_FUNCTION_STEMS, 1, 0.0);
    spec.dHeightMin = 30.0;
    spec.dHeightMax = 5.0;

    EXPECT_EQ(1, m_pEngine->CheckTrigger(&m_port, &record, 2005));
}

// The species test for one tree: a list, its mode and the tree's code.
struct SSpeciesCase
{
    const char* pszName;
    std::vector<std::string> list;
    int32_t nCount;
    int32_t bInclude;
    std::string code;
    int nExpected;
};

void PrintTo(const SSpeciesCase& c, std::ostream* os) { *os << c.pszName; }

class CSpeciesTest : public CEngineTest, public ::testing::WithParamInterface<SSpeciesCase>
{
};

TEST_P(CSpeciesTest, DecidesKeepOrDrop)
{
    // The list is exactly as long as a condition's (15 codes), on its own heap block, so a
    // read past it is caught.
    auto pList = std::make_unique<char[][10]>(WOX_SCENARIO_MAX_SPECIES);
    for (size_t k = 0; k < GetParam().list.size(); ++k)
        WoxCopyText(pList[k], 10, GetParam().list[k].c_str());
    char szCode[10];
    WoxCopyText(szCode, GetParam().code.c_str());

    EXPECT_EQ(GetParam().nExpected, m_pEngine->SubsetInventorySpp(szCode, pList.get(), GetParam().nCount, GetParam().bInclude) ? 1 : 0);
}

const std::vector<std::string> kFirAndHemlock = {"PSME", "TSHE"};
const std::vector<std::string> kFifteen = {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9", "A10", "A11", "A12", "A13", "A14", "THPL"};

INSTANTIATE_TEST_SUITE_P(
    Modes, CSpeciesTest,
    ::testing::Values(SSpeciesCase{"IncludeKeepsListed", kFirAndHemlock, 2, 1, "TSHE", 1},
                      SSpeciesCase{"IncludeDropsOthers", kFirAndHemlock, 2, 1, "ABGR", 0},
                      SSpeciesCase{"ExcludeDropsListed", kFirAndHemlock, 2, 0, "PSME", 0},
                      SSpeciesCase{"ExcludeKeepsOthers", kFirAndHemlock, 2, 0, "ABGR", 1},
                      SSpeciesCase{"EmptyIncludeListKeepsAll", {}, 0, 1, "ABGR", 1},
                      SSpeciesCase{"NegativeCountKeepsAll", kFirAndHemlock, -4, 1, "ABGR", 1},
                      SSpeciesCase{"CountLimitsTheList", kFirAndHemlock, 1, 1, "TSHE", 0},
                      SSpeciesCase{"PrefixIsNotACode", kFirAndHemlock, 2, 1, "PSM", 0},
                      SSpeciesCase{"FullWidthCodesCompareWhole", {"ABCDEFGHIJ"}, 1, 1, "ABCDEFGHIJ", 1},
                      SSpeciesCase{"FullWidthCodesDifferInLastCharacter", {"ABCDEFGHIJ"}, 1, 1, "ABCDEFGHIK", 0},
                      SSpeciesCase{"DamagedCountUsesFifteenCodes", kFifteen, 40, 1, "THPL", 1},
                      SSpeciesCase{"DamagedCountExcludesFifteenCodes", kFifteen, 40, 0, "ABGR", 1}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(CSubsetInventoryTest, SpeciesListAppliesAfterTheBounds)
{
    m_spec.bInclude = 0;
    m_spec.nSpecies = 1;
    WoxCopyText(m_spec.szSpecies[0], "TSHE");
    m_spec.dDbhMax = 50.0;

    EXPECT_EQ((std::vector<std::string>{"fir"}),
              Subset({Tree("fir", "PSME", 30, 20), Tree("hemlock", "TSHE", 30, 20), Tree("big fir", "PSME", 60, 20)}));
}
}
