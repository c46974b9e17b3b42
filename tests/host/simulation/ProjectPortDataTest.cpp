// The project port data read back at the documented byte offsets, the way the component reads
// the blocks it is given.

#include <gtest/gtest.h>

#include <cstring>

#include "DataController.h"
#include "ProjectPortData.h"
#include "TestHost.h"
#include "Treatments.h"
#include "WoxText.h"

namespace
{
template <class T>
T At(const void* pBlock, size_t nOffset)
{
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(pBlock) + nOffset, sizeof value);
    return value;
}

SProject TwoStands()
{
    SProject project;
    project.name = "Offsets";
    project.nFirstYear = 2031;
    project.nPeriodLength = 7;
    project.stands.push_back({"S-1", 1.0, 30.0, {MakeTree("S-1", "1", "TSHE", 23.5, 19.25, 80.0)}});
    project.stands.push_back({"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 1.0, 30.0, {}});
    return project;
}

class CProjectPortDataTest : public ::testing::Test
{
protected:
    CProjectPortDataTest() : m_forest(TwoStands()), m_portData(m_forest, m_host.CompMgr(), "/data/scenarios", 9) {}

    CTestHost m_host;
    CForest m_forest;
    CProjectPortData m_portData;
};

TEST_F(CProjectPortDataTest, ProjectBlockAndTreeRecordsAtTheirOffsets)
{
    unsigned char block[2144] = {};
    ASSERT_EQ(1, m_portData.GetProjectInfo(reinterpret_cast<SProjectInfo*>(block)));
    EXPECT_STREQ("/data/scenarios", reinterpret_cast<const char*>(block + 50));
    EXPECT_EQ(2031, At<int32_t>(block, 1552));
    EXPECT_EQ(7, At<int32_t>(block, 1556));

    IDynamicPtrTemplate<IInventoryExt> pTrees(WoxCreateInventoryExt(m_host.Heap()));
    ASSERT_EQ(1, m_portData.GetStandInventory(pTrees, 2031, "S-1"));
    ASSERT_EQ(1, pTrees->GetSize());
    const void* pTree = pTrees->GetAt(0);
    EXPECT_EQ(0, std::strncmp("TSHE", static_cast<const char*>(pTree) + 64, 10));
    EXPECT_EQ(23.5, At<double>(pTree, 80));
    EXPECT_EQ(19.25, At<double>(pTree, 96));
    // Only the current year is answered.
    EXPECT_EQ(0, m_portData.GetStandInventory(pTrees, 2032, "S-1"));
    EXPECT_EQ(0, m_portData.GetStandInventory(pTrees, 2031, "S-9"));
}

TEST_F(CProjectPortDataTest, StandsAreFoundOverThirtyCharacters)
{
    // A 30-character identifier comes from a record field without terminator.
    char szField[30];
    std::memcpy(szField, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 30);
    SStandMessage message = {};
    message.nType = 9;
    message.nYear = 2031;
    std::memcpy(message.szStand, szField, 30);
    EXPECT_EQ(1, m_portData.CheckStandMessage(&message));
    message.nYear = 2030;
    EXPECT_EQ(0, m_portData.CheckStandMessage(&message));
    IDynamicPtrTemplate<IStatusExt> pStands(WoxCreateStatusExt(m_host.Heap()));
    ASSERT_EQ(1, m_portData.GetStandList(pStands, 0));
    ASSERT_EQ(2, pStands->GetSize());
    EXPECT_STREQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", pStands->GetAt(1));
}

TEST_F(CProjectPortDataTest, ComponentListHoldsTreatmentGuidsAtByteFour)
{
    auto* pComponent = new CThinAbove(m_host.Heap());
    pComponent->AddReference();
    ASSERT_TRUE(m_host.CompMgr()->AddComponent(pComponent, "test"));
    IDynamicPtrTemplate<IArrayExt2> pList = m_host.MakeArray(32);
    ASSERT_EQ(1, m_portData.GetComponentList(9, pList, 1));
    ASSERT_EQ(1, pList->GetSize());
    GUID guid = At<GUID>(pList->GetAt(0, 0), 4);
    EXPECT_TRUE(guid == g_guidThinAbove);
    pList->RemoveAll(0);
    ASSERT_EQ(1, m_portData.GetComponentList(11, pList, 1));
    EXPECT_EQ(0, pList->GetSize());
}

TEST_F(CProjectPortDataTest, TreatedStandsAndMessagesAreKept)
{
    IWoxPortObject* pTreated = m_portData.GetPortObject(2);
    ASSERT_NE(nullptr, pTreated);
    EXPECT_EQ(nullptr, m_portData.GetPortObject(1));
    pTreated->StandTreated(2031, "S-1");
    ASSERT_EQ(1u, m_portData.Treated().size());
    EXPECT_EQ("S-1", m_portData.Treated()[0].second);

    ASSERT_EQ(1, m_portData.RecordRemoval(2031, "S-1", 40.0, 12.5));
    EXPECT_EQ(0, m_portData.RecordRemoval(2031, "S-1", -1.0, 0.0));
    SStandMessage message = {};
    message.nType = 9;
    message.nYear = 2031;
    WoxCopyText(message.szStand, "S-1");
    WoxCopyText(message.szText, "Clearcut\tHarvest all");
    ASSERT_EQ(1, m_portData.SendStandMessage(message));
    ASSERT_EQ(1u, m_forest.Applied().size());
    EXPECT_EQ("Clearcut", m_forest.Applied()[0].component);
    EXPECT_EQ("Harvest all", m_forest.Applied()[0].treatment);
    EXPECT_EQ(40.0, m_forest.Applied()[0].dRemovedStems);
    EXPECT_EQ(12.5, m_forest.Applied()[0].dRemovedVolume);
    CRunView view;
    view.ShowStandMessage(&message);
    ASSERT_EQ(1u, view.Messages().size());
    EXPECT_EQ(2031, view.Messages()[0].nYear);
}
}

namespace
{
// A stand inventoried ten years before the first year starts the run as the same trees grown
// those ten years would be; a current inventory is left as it is.
TEST(ForestTest, OlderInventoriesAreGrownToTheFirstYear)
{
    SProjectStand stand{"S", 2.0, 33.0, {}};
    for (int i = 0; i < 20; ++i)
        stand.trees.push_back(MakeTree("S", std::to_string(i + 1), i % 3 ? "PSME" : "TSHE", 8.0 + 1.5 * i, 0.0, 60.0));
    SProject reference{"R", 2015, 5, {stand}};
    SProject project{"P", 2025, 5, {stand, stand}};
    project.stands[0].nInventoryYear = 2015;
    project.stands[0].dStandAge = 30.0;
    project.stands[1].id = "Now";

    CForest grown(std::move(reference));
    grown.Grow(10);
    CForest forest(std::move(project));
    EXPECT_EQ(1u, forest.GrownToFirstYear());
    EXPECT_DOUBLE_EQ(40.0, forest.Stand(0).dStandAge);
    ASSERT_EQ(grown.Stand(0).trees.size(), forest.Stand(0).trees.size());
    for (size_t i = 0; i < forest.Stand(0).trees.size(); ++i)
    {
        EXPECT_DOUBLE_EQ(grown.Stand(0).trees[i].dDbh, forest.Stand(0).trees[i].dDbh) << i;
        EXPECT_DOUBLE_EQ(grown.Stand(0).trees[i].dHeight, forest.Stand(0).trees[i].dHeight) << i;
        EXPECT_DOUBLE_EQ(grown.Stand(0).trees[i].dTpha, forest.Stand(0).trees[i].dTpha) << i;
        EXPECT_EQ(2025, forest.Stand(0).trees[i].nYear);
    }
    EXPECT_GT(forest.Stand(0).trees[19].dDbh, forest.Stand(1).trees[19].dDbh);
    EXPECT_DOUBLE_EQ(36.5, forest.Stand(1).trees[19].dDbh);
}
}
