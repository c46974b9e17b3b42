// Renders every dialog of the component, filled with sample content, to PNG files, so that the
// user interface can be looked at without a display. Usage: wox_screens OUTPUT_FOLDER
// A new dialog adds one entry to kScreens.

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>
#include <cstdio>
#include <functional>

#include "AboutDlg.h"
#include "ControlRequests.h"
#include "EditorViewScreens.h"
#include "EndYearDlg.h"
#include "MessageBox.h"
#include "NewScenarioDlg.h"
#include "OpenScenarioDlg.h"
#include "ResourceIds.h"
#include "SpeciesMap.h"
#include "TreatmentDlg.h"
#include "TreatmentTypeDlg.h"
#include "TriggerScreens.h"
#include "Treatments.h"
#include "ScenarioFolderPortData.h"
#include "TriggeredScreens.h"
#include "TrtSelectDlg.h"
#include "YearParamDlg.h"

namespace
{

struct SScreen
{
    const char* pszFile;
    std::function<QPixmap()> render;
};

// The window's contents under a drawn caption bar (the offscreen platform has no frames).
QPixmap Grab(QWidget* pWidget)
{
    QApplication::processEvents();
    const QPixmap contents = pWidget->grab();
    const int nCaption = pWidget->fontMetrics().height() + 10;
    QPixmap framed(contents.width() + 2, contents.height() + nCaption + 1);
    framed.fill(QColor(90, 90, 90));
    QPainter painter(&framed);
    painter.fillRect(QRect(1, 1, contents.width(), nCaption - 1), QColor(52, 101, 164));
    QFont font = pWidget->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(10, 1, contents.width() - 20, nCaption - 1), Qt::AlignVCenter | Qt::AlignLeft, pWidget->windowTitle());
    painter.drawPixmap(1, nCaption, contents);
    return framed;
}

QPixmap RenderAbout()
{
    CAboutDlg dialog;
    dialog.Create();
    return Grab(dialog.GetDialogWidget());
}

// The Open Scenario dialog with rows as its load task posts them, the second one chosen.
QPixmap RenderOpenScenario()
{
    COpenScenarioDlg dialog(nullptr);
    dialog.Create();
    const HWOXWND hList = dialog.List().GetSafeHwnd();
    const char* const rows[][2] = {
        {"Thinning from below", "Thin to 25 m2/ha residual basal area every 20 years"},
        {"Commercial thinning 40-60", "Two thinnings from above, clearcut at 80"},
        {"Clearcut and plant PSME", "Clearcut in 2030, plant 1100 Douglas-fir seedlings per ha"},
        {"No management", "Growth only, for comparison"},
        {"Density trigger", "Thin when the stand density index exceeds 450"},
    };
    int nRow = 0;
    for (const auto& row : rows)
    {
        WoxPostListItem(hList, WM_LVM_INSERTITEMEX, WoxNewListItem(nRow, 0, row[0]));
        WoxPostListItem(hList, WM_LVM_SETITEMEX, WoxNewListItem(nRow, 1, row[1]));
        ++nRow;
    }
    QApplication::processEvents();
    dialog.List().SelectItem(1);
    dialog.List().SetFocus();
    return Grab(dialog.GetDialogWidget());
}

// The message box the Open Scenario dialog shows when OK is pressed with no row chosen.
QPixmap RenderNoSelectionBox()
{
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(WoxAppTitle()));
    box.setText(QStringLiteral("You must select a scenario file to open."));
    box.setStandardButtons(QMessageBox::Ok);
    box.show();
    return Grab(&box);
}

// The Treatment Types dialog with the host's four treatment components, the first one chosen.
QPixmap RenderTreatmentTypes()
{
    CTreatmentTypeDlg dialog(nullptr);
    dialog.Create();
    for (const char* pszName : {"Thinning from below", "Thinning from above", "Clearcut", "Planting"})
        dialog.List().InsertItem(dialog.List().GetItemCount(), pszName);
    dialog.List().SelectItem(0);
    dialog.List().SetFocus();
    return Grab(dialog.GetDialogWidget());
}

// A treatment component's dialog as the editor opens it: new normal treatments over a project of
// 2025 with five-year periods and a dozen stands (two selected in the view), the triggered part,
// or a modification of a treatment with its own texts.
template <class T>
QPixmap RenderTreatment(ETreatmentDlgMode mode)
{
    static CWoxSpeciesMap speciesMap;
    static const bool bSpecies = speciesMap.Load(WOX_SPECIES_CATALOGUE, nullptr);
    IDynamicPtrTemplate<CTreatmentComponent> pComponent = new T(nullptr);
    CTreatmentDlg dialog(*pComponent, mode, bSpecies ? &speciesMap : nullptr);
    if (mode == ETreatmentDlgMode::NewNormal)
    {
        std::vector<int32_t> years;
        for (int32_t nYear = 2025; nYear <= 2075; nYear += 5)
            years.push_back(nYear);
        std::vector<std::string> stands;
        for (int i = 1; i <= 12; ++i)
            stands.push_back("North Ridge " + std::to_string(i));
        dialog.SetChoices(years, stands, {"North Ridge 2", "North Ridge 3"});
    }
    if (mode == ETreatmentDlgMode::Modify)
        dialog.SetTreatment(std::string(pComponent->Name()) + " at mid-rotation", "Second entry, after the stand closed",
                            pComponent->ParametersOf(nullptr, 0));
    dialog.Create();
    if (mode == ETreatmentDlgMode::NewNormal)
        dialog.Years().SetCheck(2, 1);
    return Grab(dialog.GetDialogWidget());
}

// The new-scenario dialog with a name, a description and an end year filled in.
QPixmap RenderNewScenario()
{
    CNewScenarioDlg dialog;
    dialog.SetYears(2025, 5);
    dialog.Create();
    dialog.GetDlgItem(IDC_SCENARIO_NAME)->SetWindowText("Spring plan");
    dialog.GetDlgItem(IDC_SCENARIO_DESCRIPTION)->SetWindowText("Thin from below to 25 m2/ha, twice");
    dialog.GetDlgItem(IDC_END_YEAR)->SetWindowText("2060");
    return Grab(dialog.GetDialogWidget());
}

QPixmap RenderEndYear()
{
    CEndYearDlg dialog(nullptr);
    dialog.SetYears(2025, 5, 2060);
    dialog.Create();
    return Grab(dialog.GetDialogWidget());
}

// The treatment selection dialog for a delete, with records as the editor offers them and two
// rows picked.
QPixmap RenderTrtSelect()
{
    CTrtSelectDlg dialog(nullptr, CTrtSelectDlg::MODE_DELETE);
    dialog.Create();
    const char* const rows[][3] = {
        {"2030", "North 12", "Thinning from below"},
        {"2030", "North 14", "Thinning from below"},
        {"2035 - 2070", "North 12", "Thinning from above"},
        {"2045", "Creek 3", "Clearcut"},
        {"2050", "Creek 3", "Planting"},
    };
    CListCtrl& list = dialog.List();
    for (const auto& row : rows)
    {
        const int nRow = list.InsertItem(list.GetItemCount(), row[0]);
        list.SetItemText(nRow, 1, row[1]);
        list.SetItemText(nRow, 2, row[2]);
    }
    list.SelectItem(0);
    QTableWidget* pTable = list.Table();
    pTable->selectionModel()->select(pTable->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.SetFocus();
    return Grab(dialog.GetDialogWidget());
}

// The year parameters dialog of a project starting in 2025 with 5-year periods, scenario ending
// in 2060, for a record tested from 2030 to the end.
QPixmap RenderYearParam()
{
    CScenarioFolderPortData portData("");
    portData.m_nFirstYear = 2025;
    SScenarioData scenario;
    scenario.info.nEndYear = 2060;
    SScenarioTreatment record = {};
    record.nYear = 2030;
    CYearParamDlg dialog;
    dialog.Initialize(&portData, &scenario, &record);
    dialog.Create();
    QPixmap pixmap = Grab(dialog.GetDialogWidget());
    dialog.DestroyWindow();
    return pixmap;
}

// The delete confirmation as the editor words it for three records of the demo scenario.
QPixmap RenderDeleteConfirmation()
{
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(WoxAppTitle()));
    box.setText(QString::fromStdString(DemoDeleteConfirmation()));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.show();
    return Grab(&box);
}

const SScreen kScreens[] = {
    {"treatment-types.png", RenderTreatmentTypes},
    {"thin-below-new.png", [] { return RenderTreatment<CThinBelow>(ETreatmentDlgMode::NewNormal); }},
    {"thin-below-triggered.png", [] { return RenderTreatment<CThinBelow>(ETreatmentDlgMode::TriggeredPart); }},
    {"thin-below-modify.png", [] { return RenderTreatment<CThinBelow>(ETreatmentDlgMode::Modify); }},
    {"thin-above-new.png", [] { return RenderTreatment<CThinAbove>(ETreatmentDlgMode::NewNormal); }},
    {"thin-above-triggered.png", [] { return RenderTreatment<CThinAbove>(ETreatmentDlgMode::TriggeredPart); }},
    {"thin-above-modify.png", [] { return RenderTreatment<CThinAbove>(ETreatmentDlgMode::Modify); }},
    {"clearcut-new.png", [] { return RenderTreatment<CClearcut>(ETreatmentDlgMode::NewNormal); }},
    {"clearcut-triggered.png", [] { return RenderTreatment<CClearcut>(ETreatmentDlgMode::TriggeredPart); }},
    {"clearcut-modify.png", [] { return RenderTreatment<CClearcut>(ETreatmentDlgMode::Modify); }},
    {"planting-new.png", [] { return RenderTreatment<CPlanting>(ETreatmentDlgMode::NewNormal); }},
    {"planting-triggered.png", [] { return RenderTreatment<CPlanting>(ETreatmentDlgMode::TriggeredPart); }},
    {"planting-modify.png", [] { return RenderTreatment<CPlanting>(ETreatmentDlgMode::Modify); }},
    {"about.png", RenderAbout},
    {"open-scenario.png", RenderOpenScenario},
    {"open-scenario-no-selection.png", RenderNoSelectionBox},
    {"editor-tree-by-year.png", [] { return RenderEditorView(0, 1, 1, Grab); }},
    {"editor-tree-by-year-all.png", [] { return RenderEditorView(0, 1, 0, Grab); }},
    {"editor-tree-by-stand.png", [] { return RenderEditorView(0, 0, 1, Grab); }},
    {"editor-tree-by-stand-all.png", [] { return RenderEditorView(0, 0, 0, Grab); }},
    {"editor-grid-by-year.png", [] { return RenderEditorView(1, 1, 1, Grab); }},
    {"editor-grid-by-year-all.png", [] { return RenderEditorView(1, 1, 0, Grab); }},
    {"editor-grid-by-stand.png", [] { return RenderEditorView(1, 0, 1, Grab); }},
    {"editor-grid-by-stand-all.png", [] { return RenderEditorView(1, 0, 0, Grab); }},
    {"editor-window-no-file.png", [] { return RenderEditorWindow(EEditorScreen::NoFile, Grab); }},
    {"editor-window-tree-by-year.png", [] { return RenderEditorWindow(EEditorScreen::TreeByYear, Grab); }},
    {"editor-window-grid-by-stand.png", [] { return RenderEditorWindow(EEditorScreen::GridByStand, Grab); }},
    {"editor-window-all-stands.png", [] { return RenderEditorWindow(EEditorScreen::AllStands, Grab); }},
    {"editor-window-context-menu.png", [] { return RenderEditorWindow(EEditorScreen::ContextMenu, Grab); }},
    {"delete-confirmation.png", RenderDeleteConfirmation},
    {"new-scenario.png", RenderNewScenario},
    {"end-year.png", RenderEndYear},
    {"treatment-selection.png", RenderTrtSelect},
    {"year-parameters.png", RenderYearParam},
    {"triggered-new.png", [] { return RenderTriggered(0, Grab); }},
    {"triggered-edit.png", [] { return RenderTriggered(1, Grab); }},
    {"progress.png", [] { return RenderProgress(Grab); }},
    {"species-select.png", [] { return RenderSpeciesSelect(Grab); }},
    {"species-add.png", [] { return RenderSpeciesAdd(Grab); }},
    {"trigger-definition.png", [] { return RenderTriggerDef(Grab); }},
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: wox_screens OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
    {
        std::fprintf(stderr, "wox_screens: cannot make %s\n", argv[1]);
        return 1;
    }
    int nFailed = 0;
    for (const SScreen& screen : kScreens)
    {
        const QString path = folder.filePath(QString::fromUtf8(screen.pszFile));
        if (screen.render().save(path))
            std::printf("%s\n", path.toLocal8Bit().constData());
        else
        {
            std::fprintf(stderr, "wox_screens: cannot write %s\n", path.toLocal8Bit().constData());
            ++nFailed;
        }
    }
    return nFailed == 0 ? 0 : 1;
}
