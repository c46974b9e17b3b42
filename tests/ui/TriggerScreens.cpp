#include "TriggerScreens.h"

#include <QApplication>
#include <QDialog>
#include <QItemSelectionModel>
#include <QTableWidget>
#include <QThread>
#include <cstdio>
#include <cstring>

#include "FuncEnum.h"
#include "ResourceIds.h"
#include "ScenarioRecords.h"
#include "SpeciesAddDlg.h"
#include "SpeciesSelectDlg.h"
#include "SpeciesSelectResources.h"
#include "TriggerDefDlg.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{

CWoxHost* Host()
{
    static CWoxHost host;
    static const bool bLoaded = [] {
        std::string error;
        if (host.Load(WOX_SCREENS_REGISTRY, &error))
            return true;
        std::fprintf(stderr, "wox_screens: %s\n", error.c_str());
        return false;
    }();
    return bLoaded ? &host : nullptr;
}

} // namespace

// Searching "fir" over the catalogue, with Douglas-fir already in the condition (greyed) and two
// true firs chosen.
QPixmap RenderSpeciesSelect(const std::function<QPixmap(QWidget*)>& grab)
{
    CSpeciesSelectWindow window;
    if (CWoxHost* pHost = Host())
        window.SetSpecies(pHost->SpeciesMap()->Species(), {"PSME"});
    window.Create();
    window.GetDlgItem(IDC_SPECIES_SEARCH)->SetWindowText("fir");
    QTableWidget* pTable = window.List().Table();
    for (int nRow = 0; nRow < pTable->rowCount(); ++nRow)
    {
        const QString code = pTable->item(nRow, 0)->text();
        if (code == QLatin1String("ABGR") || code == QLatin1String("ABAM"))
            pTable->selectionModel()->select(pTable->model()->index(nRow, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    window.List().SetFocus();
    QPixmap pixmap = grab(window.GetDialogWidget());
    window.DestroyWindow();
    return pixmap;
}

// Two species taken, a third one typed.
QPixmap RenderSpeciesAdd(const std::function<QPixmap(QWidget*)>& grab)
{
    CSpeciesAddDlg dialog(nullptr);
    dialog.Create();
    const char* const rows[][3] = {{"PSME", "Pseudotsuga menziesii", "Douglas-fir"}, {"ABGR", "Abies grandis", "grand fir"}};
    for (const auto& row : rows)
    {
        const int nRow = dialog.List().InsertItem(dialog.List().GetItemCount(), row[0]);
        dialog.List().SetItemText(nRow, 1, row[1]);
        dialog.List().SetItemText(nRow, 2, row[2]);
    }
    dialog.GetDlgItem(IDC_SPECIES_CODE)->SetWindowText("THPL");
    QPixmap pixmap = grab(dialog.GetDialogWidget());
    dialog.DestroyWindow();
    return pixmap;
}

// "Basal area of Douglas-fir and grand fir from 10 cm above 35 m2/ha", reopened: the stand
// variables library lists its variables and the stored one is selected.
QPixmap RenderTriggerDef(const std::function<QPixmap(QWidget*)>& grab)
{
    CWoxHost* pHost = Host();
    SScenarioTriggerSpec spec;
    std::memset(&spec, 0, sizeof spec);
    ResetTriggerSpec(spec);
    char szFolder[WOX_MAX_PATH] = {};
    if (pHost)
        pHost->Registry()->ReadString("General", "Function Directory", szFolder, sizeof szFolder);
    WoxCopyText(spec.szVariable, "Basal Area (m2/ha)");
    WoxCopyText(spec.szLibrary, (std::string(szFolder) + "/libWoxStandVariables.so").c_str());
    spec.nDescriptorA = WOX_FAMILY_STAND_VARIABLE;
    spec.nOperator = 2;
    spec.dValue = 35.0;
    spec.bInclude = 1;
    WoxCopyText(spec.szSpecies[0], "PSME");
    WoxCopyText(spec.szSpecies[1], "ABGR");
    spec.nSpecies = 2;
    spec.dDbhMin = 10.0;

    CTriggerDefDlg dialog(pHost ? pHost->Heap() : nullptr);
    if (pHost)
        dialog.Initialize(pHost->LibMgr(), pHost->Registry(), pHost->ThreadPool(), pHost->SpeciesMap(), pHost->ErrorReporter(), &spec);
    dialog.Create();
    auto* pBox = dialog.GetDlgItem(IDC_TRIGGER_VARIABLE);
    for (int i = 0; i < 500 && pHost; ++i)
    {
        QApplication::processEvents();
        if (pBox && WoxGetWidgetText(pBox->GetWidget()) == "Basal Area (m2/ha)")
            break;
        QThread::msleep(10);
    }
    QPixmap pixmap = grab(dialog.GetDialogWidget());
    dialog.DestroyWindow();
    return pixmap;
}
