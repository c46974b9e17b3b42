#pragma once
// The editor's views on real widgets with the real host: a tree and a grid in one window, a port
// data object with a project of stands, the load and add tasks, treatment records, and text dumps
// of what each view shows.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTreeWidget>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EditorAddTreatmentTd.h"
#include "EditorListCtrlEx.h"
#include "EditorLoadViewTd.h"
#include "EditorTreeCtrlEx.h"
#include "EditorViewText.h"
#include "ScenarioRecords.h"
#include "TestHost.h"
#include "UiTestSupport.h"
#include "WoxText.h"

// A project of stands: first year 2000, periods of 5 years. Any thread.
class CStandsPortData final : public IPortData
{
public:
    explicit CStandsPortData(std::vector<std::string> stands) : m_stands(std::move(stands)) {}

    void AddReference() override { ++m_nRef; }
    void Release() override { --m_nRef; }
    IWoxPortObject* GetPortObject(int) override { return nullptr; }
    int SendStandMessage(SStandMessage) override { return 0; }
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int GetProjectInfo(SProjectInfo* pInfo) override
    {
        WoxCopyText(pInfo->szProject, "Views");
        pInfo->nFirstYear = 2000;
        pInfo->nPeriodLength = 5;
        return 1;
    }
    int GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int) override
    {
        for (const std::string& stand : m_stands)
        {
            if (!pStands->Add(stand.c_str()))
                return 0;
        }
        return 1;
    }
    int CheckStandMessage(SStandMessage*) override { return 0; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 0; }
    int RefCount() const { return m_nRef.load(); }

private:
    std::vector<std::string> m_stands;
    std::atomic<int> m_nRef{0};
};

// A normal record, or a triggered one from nYear to nEndYear.
inline SScenarioTreatment MakeRecord(int nYear, const char* pszStand, const char* pszName, const char* pszDescription,
                                     bool bTriggered = false, int nEndYear = -1)
{
    SScenarioTreatment record{};
    ResetTriggerPart(record);
    record.nYear = nYear;
    WoxCopyText(record.szStand, pszStand);
    WoxCopyText(record.treatment.szName, pszName);
    WoxCopyText(record.treatment.szDescription, pszDescription);
    record.bTriggered = bTriggered ? 1 : 0;
    if (bTriggered)
        record.nEndYear = nEndYear;
    return record;
}

class EditorViewFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Loaded());
        m_window.resize(600, 400);
        m_pTree = std::make_unique<CEditorTreeCtrlEx>();
        m_pTree->Attach(new QTreeWidget(&m_window));
        m_pTree->Tree()->setHeaderHidden(true);
        m_pGrid = std::make_unique<CEditorListCtrlEx>(m_host.Heap());
        m_pGrid->Attach(new QTableWidget(&m_window));
        m_pGrid->Table()->setGeometry(0, 0, 600, 400);
        m_pTree->Tree()->setGeometry(0, 0, 600, 400);
        ASSERT_TRUE(m_pGrid->Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter()));
        m_pTreatments = m_host.MakeArray(sizeof(SScenarioTreatment));
        ASSERT_TRUE(m_pTreatments);
    }

    void TearDown() override
    {
        m_pAdd.reset();
        m_pLoad.reset();
        PumpQueued();
    }

    void AddRecord(const SScenarioTreatment& record) { ASSERT_TRUE(m_pTreatments->Add(&record)); }

    // A load task over the fixture's views and treatments with the end year given.
    CEditorLoadViewTd& Load(int nViewType, int nViewBy, int bHideUntreated, int nEndYear = 2015)
    {
        if (!m_pLoad)
        {
            m_pLoad = std::make_unique<CEditorLoadViewTd>(m_host.Heap());
            EXPECT_EQ(m_pLoad->Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter(), &m_portData, m_pGrid->GetSafeHwnd(),
                                          m_pTree->GetSafeHwnd(), 0, 1, 1),
                      1);
        }
        m_pLoad->StopThread(1);
        m_pLoad->SetViewType(nViewType);
        m_pLoad->SetViewBy(nViewBy);
        m_pLoad->SetHideUntreated(bHideUntreated);
        SScenarioData scenario;
        scenario.info.nEndYear = nEndYear;
        scenario.pTreatments = m_pTreatments;
        m_pLoad->SetScenario(scenario);
        return *m_pLoad;
    }

    // Submits the load task and lets the views carry out everything it posts.
    void RunLoad()
    {
        ASSERT_TRUE(m_pLoad->Submit(m_host.ThreadPoolService()));
        m_pLoad->WaitUntilIdle();
        PumpQueued();
    }

    CEditorAddTreatmentTd& Add(int nViewType, int nViewBy)
    {
        m_pAdd = std::make_unique<CEditorAddTreatmentTd>(m_host.Heap());
        EXPECT_EQ(m_pAdd->Initialize(m_host.LibMgr(), m_host.Registry(), m_host.ErrorReporter(), &m_portData, m_pGrid->GetSafeHwnd(),
                                     m_pTree->GetSafeHwnd(), nViewType, nViewBy, 1, m_pTreatments),
                  1);
        return *m_pAdd;
    }

    // "top/middle: leaf, leaf" for every second-level node, "top" for a node without children,
    // "top: leaf" for leaves directly under a first-level node.
    std::vector<std::string> TreeDump() const
    {
        std::vector<std::string> lines;
        QTreeWidget* pTree = m_pTree->Tree();
        for (int t = 0; t < pTree->topLevelItemCount(); ++t)
        {
            QTreeWidgetItem* pTop = pTree->topLevelItem(t);
            const std::string top = pTop->text(0).toStdString();
            if (pTop->childCount() == 0)
                lines.push_back(top);
            for (int m = 0; m < pTop->childCount(); ++m)
            {
                QTreeWidgetItem* pMiddle = pTop->child(m);
                std::string line = top + "/" + pMiddle->text(0).toStdString();
                for (int l = 0; l < pMiddle->childCount(); ++l)
                    line += (l ? ", " : ": ") + pMiddle->child(l)->text(0).toStdString();
                lines.push_back(line);
            }
        }
        return lines;
    }

    // The headings joined by "|", then each row's cells joined by "|".
    std::vector<std::string> GridDump() const
    {
        std::vector<std::string> lines;
        std::string header;
        for (int c = 0; c < m_pGrid->GetColumnCount(); ++c)
            header += (c ? "|" : "") + m_pGrid->GetColumnText(c);
        lines.push_back(header);
        for (int r = 0; r < m_pGrid->GetItemCount(); ++r)
        {
            std::string row;
            for (int c = 0; c < m_pGrid->GetColumnCount(); ++c)
                row += (c ? "|" : "") + m_pGrid->GetItemText(r, c);
            lines.push_back(row);
        }
        return lines;
    }

    CTestHost m_host;
    CStandsPortData m_portData{{"S1", "S2", "S3"}};
    QWidget m_window;
    std::unique_ptr<CEditorTreeCtrlEx> m_pTree;
    std::unique_ptr<CEditorListCtrlEx> m_pGrid;
    IDynamicPtrTemplate<IArrayExt2> m_pTreatments;
    std::unique_ptr<CEditorLoadViewTd> m_pLoad;
    std::unique_ptr<CEditorAddTreatmentTd> m_pAdd;
};
