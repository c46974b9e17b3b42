#include "EditorViewScreens.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "Automation.h"
#include "DemoForest.h"
#include "EditorDlg.h"
#include "ResourceIds.h"
#include "ScenarioDocument.h"
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
        WoxCopyText(pInfo->szScenarioFolder, m_scenarioFolder.c_str());
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

    std::string m_scenarioFolder;

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

namespace
{

// Picks the scenario of the given name in the Open Scenario dialog.
class CScenarioPicker final : public IWoxAutomation
{
public:
    explicit CScenarioPicker(const char* pszName) : m_pszName(pszName) { m_pPrevious = WoxSetAutomation(this); }
    ~CScenarioPicker() { WoxSetAutomation(m_pPrevious); }
    void OnDialog(CWoxDialogDriver& driver) override
    {
        driver.WaitUntil([&] { return driver.GetRowCount(IDC_OPEN_SCENARIO_LIST) > 0; }, 5000);
        for (int i = 0; i < driver.GetRowCount(IDC_OPEN_SCENARIO_LIST); ++i)
            if (driver.GetRowText(IDC_OPEN_SCENARIO_LIST, i, 0) == m_pszName)
            {
                driver.SelectRow(IDC_OPEN_SCENARIO_LIST, i);
                driver.PressButton(IDOK);
            }
    }
    int OnMessageBox(const char*, const char*, UINT) override { return IDNO; }

private:
    const char* m_pszName;
    IWoxAutomation* m_pPrevious = nullptr;
};

// The editor window with the context menu drawn into the picture instead of run.
class CScreenEditorDlg final : public CEditorDlg
{
public:
    using CEditorDlg::CEditorDlg;
    QPixmap m_menu;
    QPoint m_at;

protected:
    int TrackContextMenu(CMenu& popup, int x, int y) override
    {
        QMenu* pMenu = popup.GetQMenu();
        pMenu->popup(QPoint(x, y));
        QApplication::processEvents();
        m_menu = pMenu->grab();
        m_at = QPoint(x, y);
        pMenu->hide();
        return 0;
    }
};

void SettleEditor(CEditorDlg& editor)
{
    editor.WaitForLoad();
    do
        QApplication::processEvents();
    while (WoxPendingPostedMessages() > 0);
    QApplication::processEvents();
}

} // namespace

QPixmap RenderEditorWindow(EEditorScreen screen, const std::function<QPixmap(QWidget*)>& grab)
{
    SDemoScenario& demo = Demo();
    QTemporaryDir folder;
    if (!demo.bReady || !folder.isValid())
        return QPixmap();
    // The demo's "Fixed Thinning" in a scenario folder of its own.
    std::ifstream in(WOX_EXAMPLES_DIR "/fixed-thinning.json", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    CScenarioDocument document;
    std::string error;
    const std::string path = folder.filePath(QStringLiteral("Fixed Thinning.scenario")).toStdString();
    if (!ScenarioFromJson(text.str(), document, error) ||
        !WriteScenarioFile(path.c_str(), demo.host.Heap(), demo.host.LibMgr(), demo.host.Registry(), demo.host.ErrorReporter(), document))
        return QPixmap();
    demo.port.m_scenarioFolder = folder.path().toStdString();

    CScreenEditorDlg editor(demo.host.Heap());
    if (!editor.Initialize(demo.host.LibMgr(), demo.host.ThreadPool(), demo.host.CompMgr(), demo.host.Registry(), demo.host.ErrorReporter(),
                           demo.host.SpeciesMap(), &demo.port) ||
        !editor.Create())
        return QPixmap();
    editor.GetDialogWidget()->resize(800, 480);
    if (screen != EEditorScreen::NoFile)
    {
        CScenarioPicker picker("Fixed Thinning");
        editor.OnCommand(ID_FILE_OPEN);
    }
    if (screen == EEditorScreen::GridByStand || screen == EEditorScreen::AllStands)
    {
        editor.OnCommand(ID_VIEW_GRID);
        editor.OnCommand(ID_VIEW_BY_STAND);
    }
    if (screen == EEditorScreen::AllStands)
        editor.OnCommand(ID_VIEW_HIDE_UNTREATED);
    SettleEditor(editor);
    // The tree shows its newest leaf after a fill; a forester starts reading at the top.
    static_cast<QTreeWidget*>(editor.Tree().GetWidget())->scrollToTop();
    QApplication::processEvents();
    QPixmap picture;
    if (screen == EEditorScreen::ContextMenu)
    {
        QTreeWidget* pTree = static_cast<QTreeWidget*>(editor.Tree().GetWidget());
        pTree->expandAll();
        QApplication::processEvents();
        const QPoint at = pTree->viewport()->mapToGlobal(QPoint(120, 60));
        editor.OnContextMenu(at.x(), at.y());
        picture = grab(editor.GetDialogWidget());
        QPainter painter(&picture);
        const QPoint origin = editor.GetDialogWidget()->mapFromGlobal(editor.m_at);
        // The window's frame (if any) shifts the picture against the client coordinates.
        const int nFrame = (picture.width() - editor.GetDialogWidget()->width()) / 2;
        painter.drawPixmap(origin + QPoint(nFrame, picture.height() - editor.GetDialogWidget()->height() - nFrame), editor.m_menu);
    }
    else
        picture = grab(editor.GetDialogWidget());
    {
        CScenarioPicker answerNo("");
        editor.OnCommand(ID_FILE_EXIT);
    }
    return picture;
}

std::string DemoDeleteConfirmation()
{
    SDemoScenario& demo = Demo();
    if (!demo.bReady || demo.scenario.pTreatments->GetSize() < 3)
        return std::string();
    IDynamicPtrTemplate<IArrayExt2> pChosen;
    if (!WoxCreateArrayExt2(demo.hDataController, demo.host.Heap(), demo.host.LibMgr(), demo.host.Registry(), demo.host.ErrorReporter(),
                            sizeof(SScenarioTreatment), pChosen))
        return std::string();
    for (int i = 0; i < 3; ++i)
        pChosen->Add(demo.scenario.pTreatments->GetAt(i, 0));
    return CEditorDlg::DeleteConfirmationText(pChosen.Get());
}
