#pragma once
// The port data of a simulation over a CForest, and the view that keeps the run's stand
// messages. Both are owned by the run (stack or member objects): references are counted so that
// misuse shows, but the last Release does not delete them.
//
// Applied treatments: a treatment component writes "<component name>\t<treatment name>" into the
// stand message's text before it answers; SendStandMessage books the treatment with what the
// component removed through RecordRemoval since the stand's previous message.

#include <atomic>
#include <string>
#include <vector>

#include "Forest.h"
#include "PortData.h"

class CProjectPortData final : public IPortData
{
public:
    // pCompMgr lists the installed components; scenarioFolder is the project's scenarios/ folder.
    CProjectPortData(CForest& forest, ICompMgr* pCompMgr, std::string scenarioFolder, int nPeriods);
    CProjectPortData(const CProjectPortData&) = delete;
    CProjectPortData& operator=(const CProjectPortData&) = delete;
    ~CProjectPortData() = default;

    void AddReference() override { ++m_nRef; }
    void Release() override { --m_nRef; }
    int References() const { return m_nRef; }

    IWoxPortObject* GetPortObject(int nObject) override;
    int SendStandMessage(SStandMessage message) override;
    int GetComponentList(int nType, IDynamicPtrTemplate<IArrayExt2> pList, int nReserved) override;
    // Answers the stand's trees for the forest's current year only.
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand) override;
    int GetProjectInfo(SProjectInfo* pInfo) override;
    int GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int nReserved) override;
    // Accepts messages for known stands in the current year; remembers the last stand refused.
    int CheckStandMessage(SStandMessage* pMessage) override;
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt> pTrees, int32_t nYear, const char* pszStand) override;
    int RecordRemoval(int32_t nYear, const char* pszStand, double dStemsPerHa, double dVolumePerHa) override;

    // (year, stand) pairs told to the treated-stands object, in order.
    const std::vector<std::pair<int, std::string>>& Treated() const { return m_treated.m_treated; }
    // The stand of the last message refused because the project has no such stand ("" = none).
    const std::string& UnknownStand() const { return m_unknownStand; }

private:
    class CTreatedStands final : public IWoxPortObject
    {
    public:
        int StandTreated(int32_t nYear, const char* pszStand) override;
        std::vector<std::pair<int, std::string>> m_treated;
    };

    CForest& m_forest;
    ICompMgr* m_pCompMgr;
    std::string m_scenarioFolder;
    int m_nPeriods;
    CTreatedStands m_treated;
    std::string m_unknownStand;
    std::atomic<int> m_nRef{0};
};

class CRunView final : public IWoxView
{
public:
    CRunView() = default;
    CRunView(const CRunView&) = delete;
    CRunView& operator=(const CRunView&) = delete;

    void AddReference() override { ++m_nRef; }
    void Release() override { --m_nRef; }
    int ShowStandMessage(SStandMessage* pMessage) override;

    const std::vector<SStandMessage>& Messages() const { return m_messages; }

private:
    std::vector<SStandMessage> m_messages;
    std::atomic<int> m_nRef{0};
};
