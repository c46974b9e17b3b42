#include "EditorViewScreens.h"

#include <QApplication>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "DemoForest.h"
#include "EditorListCtrlEx.h"
#include "EditorLoadViewTd.h"
#include "EditorTreeCtrlEx.h"
#include "HostObject.h"
#include "ScenarioJson.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{

// The demo forest's project: its stands and years.
class CDemoPortData final : public IPortData
{
public:
    CDemoPortData() : m_project(MakeDemoForest(SDemoForestOptions{})) {}
    void AddReference() override {}
    void Release() override {}
    IWoxPortObject* GetPortObject(int) override { return nullptr; }
    int SendStandMessage(SStandMessage) override { return 0; }
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int GetProjectInfo(SProjectInfo* pInfo) override
    {
        WoxCopyText(pInfo->szProject, "Demo forest");
        pInfo->nFirstYear = SDemoForestOptions{}.nFirstYear;
        pInfo->nPeriodLength = SDemoForestOptions{}.nPeriodLength;
        return 1;
    }
    int GetStandList(IDynamicPtrTemplate<IStatusExt> pStands, int) override
    {
        for (const SProjectStand& stand : m_project.stands)
            pStands->Add(stand.id.c_str());
        return 1;
    }
    int CheckStandMessage(SStandMessage*) override { return 0; }
    int SetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int RecordRemoval(int32_t, const char*, double, double) override { return 0; }

private:
    SProject m_project;
};

struct SDemoScenario
{
    CWoxHost host;
    CDemoPortData port;
    HWOXMODULE hDataController = nullptr;
    char szDataController[WOX_MAX_PATH] = {};
    SScenarioData scenario;
    bool bReady = false;

    SDemoScenario()
    {
        std::string error;
        if (!host.Load(WOX_SCREENS_REGISTRY, &error))
        {
            std::fprintf(stderr, "wox_screens: %s\n", error.c_str());
            return;
        }
        std::ifstream in(WOX_EXAMPLES_DIR "/triggered-thinning.json", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        CScenarioDocument document;
        if (!ScenarioFromJson(text.str(), document, error))
        {
            std::fprintf(stderr, "wox_screens: %s\n", error.c_str());
            return;
        }
        if (!WoxLoadHostLibrary(host.LibMgr(), host.Registry(), "Data Controller Library", szDataController, hDataController) ||
            !WoxCreateArrayExt2(hDataController, host.Heap(), host.LibMgr(), host.Registry(), host.ErrorReporter(), sizeof(SScenarioTreatment),
                                scenario.pTreatments))
            return;
        scenario.info = document.header.info;
        for (const SScenarioTreatment& record : document.records)
            scenario.pTreatments->Add(&record);
        bReady = true;
    }
};

SDemoScenario& Demo()
{
    static SDemoScenario demo;
    return demo;
}

} // namespace

QPixmap RenderEditorView(int nViewType, int nViewBy, int bHideUntreated, const std::function<QPixmap(QWidget*)>& grab)
{
    SDemoScenario& demo = Demo();
    if (!demo.bReady)
        return QPixmap();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Scenario Editor - Triggered Thinning"));
    window.resize(760, 420);
    CEditorTreeCtrlEx tree;
    auto* pTree = new QTreeWidget(&window);
    pTree->setHeaderHidden(true);
    pTree->setGeometry(0, 0, 760, 420);
    tree.Attach(pTree);
    CEditorListCtrlEx grid(demo.host.Heap());
    auto* pTable = new QTableWidget(&window);
    pTable->setGeometry(0, 0, 760, 420);
    grid.Attach(pTable);
    if (!grid.Initialize(demo.host.LibMgr(), demo.host.Registry(), demo.host.ErrorReporter()))
        return QPixmap();
    window.show();

    CEditorLoadViewTd load(demo.host.Heap());
    if (!load.Initialize(demo.host.LibMgr(), demo.host.Registry(), demo.host.ErrorReporter(), &demo.port, grid.GetSafeHwnd(), tree.GetSafeHwnd(),
                         nViewType, nViewBy, bHideUntreated))
        return QPixmap();
    load.SetScenario(demo.scenario);
    load.Submit(demo.host.ThreadPool());
    load.WaitUntilIdle();
    do
        QApplication::processEvents();
    while (WoxPendingPostedMessages() > 0);
    QApplication::processEvents();   // the tree shows its newest leaf once the requests are done

    if (nViewType == 0)
    {
        // The top of the tree, with the first treatment chosen as a forester would.
        pTree->scrollToTop();
        if (QTreeWidgetItem* pTop = pTree->topLevelItem(0))
        {
            QTreeWidgetItem* pItem = pTop;
            while (pItem->childCount() > 0)
                pItem = pItem->child(0);
            pTree->setCurrentItem(pItem);
        }
    }
    else
    {
        // Two cells chosen with Ctrl+click, near the top left.
        pTable->scrollToTop();
        QApplication::processEvents();
        const QRect first = pTable->visualRect(pTable->model()->index(1, 1));
        const QRect second = pTable->visualRect(pTable->model()->index(2, 2));
        QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
    }
    QApplication::processEvents();
    return grab(&window);
}
