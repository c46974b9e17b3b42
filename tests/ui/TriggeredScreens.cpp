#include "TriggeredScreens.h"

#include <QApplication>
#include <QDialog>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>

#include "DemoForest.h"
#include "HostObject.h"
#include "ProgressDlg.h"
#include "ResourceIds.h"
#include "TriggeredDlg.h"
#include "WoxHost.h"
#include "WoxText.h"

namespace
{

// The demo forest's stands and years.
class CForestPortData final : public IPortData
{
public:
    CForestPortData() : m_project(MakeDemoForest(SDemoForestOptions{})) {}
    void AddReference() override {}
    void Release() override {}
    IWoxPortObject* GetPortObject(int) override { return nullptr; }
    int SendStandMessage(SStandMessage) override { return 0; }
    int GetComponentList(int, IDynamicPtrTemplate<IArrayExt2>, int) override { return 0; }
    int GetStandInventory(IDynamicPtrTemplate<IInventoryExt>, int32_t, const char*) override { return 0; }
    int GetProjectInfo(SProjectInfo* pInfo) override
    {
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

    const SProject& Project() const { return m_project; }

private:
    SProject m_project;
};

struct SHost
{
    CWoxHost host;
    CForestPortData port;
    bool bReady = false;
    SHost()
    {
        std::string error;
        bReady = host.Load(WOX_SCREENS_REGISTRY, &error);
        if (!bReady)
            std::fprintf(stderr, "wox_screens: %s\n", error.c_str());
    }
};

SHost& Host()
{
    static SHost host;
    return host;
}

SScenarioTriggerSpec Condition(const char* pszVariable, int nOperator, double dValue, const char* pszSpecies, double dDbhMin)
{
    SScenarioTriggerSpec spec = {};
    WoxCopyText(spec.szVariable, pszVariable);
    spec.nOperator = nOperator;
    spec.dValue = dValue;
    spec.dDbhMin = dDbhMin;
    spec.dDbhMax = 999.0;
    spec.dHeightMax = 999.0;
    if (pszSpecies)
    {
        spec.bInclude = 1;
        spec.nSpecies = 1;
        WoxCopyText(spec.szSpecies[0], pszSpecies);
    }
    return spec;
}

// The records of a triggered treatment: two conditions and three treatments on one stand.
void AddRecords(IArrayExt2& records, const char* pszStand)
{
    const char* const treatments[][2] = {
        {"Thinning from below", "Thin from below to 25 m2/ha residual basal area"},
        {"Thinning from above", "Remove 20% of the basal area, largest trees first"},
        {"Planting", "Underplant 400 western redcedar per ha"},
    };
    for (const auto& treatment : treatments)
    {
        SScenarioTreatment record = {};
        record.nYear = 2030;
        record.nEndYear = 2070;
        record.bTriggered = 1;
        WoxCopyText(record.szStand, pszStand);
        record.nTriggers = 2;
        record.triggers[0] = Condition("Basal area", TRIGGER_GREATER, 35.0, "PSME", 10.0);
        record.triggers[1] = Condition("Stems per hectare", TRIGGER_GREATER, 600.0, nullptr, 0.0);
        WoxCopyText(record.treatment.szName, treatment[0]);
        WoxCopyText(record.treatment.szDescription, treatment[1]);
        records.Add(&record);
    }
}

} // namespace

QPixmap RenderTriggered(int bEditMode, const std::function<QPixmap(QWidget*)>& grab)
{
    SHost& host = Host();
    if (!host.bReady)
        return QPixmap();
    CWoxHost& h = host.host;
    SScenarioData scenario;
    scenario.info.nEndYear = 2070;
    IDynamicPtrTemplate<IArrayExt2> pRecords;
    HWOXMODULE hDataController = nullptr;
    char szDataController[WOX_MAX_PATH] = {};
    if (!WoxLoadHostLibrary(h.LibMgr(), h.Registry(), "Data Controller Library", szDataController, hDataController) ||
        !WoxCreateArrayExt2(hDataController, h.Heap(), h.LibMgr(), h.Registry(), h.ErrorReporter(), sizeof(SScenarioTreatment), pRecords))
        return QPixmap();
    const std::string stand = host.port.Project().stands.at(3).id;
    AddRecords(*pRecords, stand.c_str());

    // A new treatment starts from the same conditions and treatments, as if the user had added
    // them, and three stands are chosen.
    CTriggeredDlg dialog(h.Heap());
    if (!dialog.Initialize(h.LibMgr(), h.Registry(), h.CompMgr(), h.ThreadPool(), h.SpeciesMap(), h.ErrorReporter(), &host.port, &scenario,
                           pRecords.Get(), bEditMode))
        return QPixmap();
    dialog.Create();
    const int nStands = static_cast<int>(host.port.Project().stands.size());
    auto* pStands = qobject_cast<QTableWidget*>(dialog.GetDlgItem(IDC_TRIGGERED_STANDS)->GetWidget());
    for (int nTurn = 0; nTurn < 2000 && pStands->rowCount() < nStands; ++nTurn)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!bEditMode)
    {
        for (int nRow : {1, 3, 4})
            pStands->selectionModel()->select(pStands->model()->index(nRow, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        auto* pTriggers = qobject_cast<QTableWidget*>(dialog.GetDlgItem(IDC_TRIGGERED_TRIGGERS)->GetWidget());
        pTriggers->selectRow(0);
        pStands->setFocus();
    }
    QPixmap pixmap = grab(dialog.GetDialogWidget());
    dialog.DestroyWindow();
    return pixmap;
}

QPixmap RenderProgress(const std::function<QPixmap(QWidget*)>& grab)
{
    IDynamicPtrTemplate<IProgressDlg> pProgress(WoxCreateProgressDlg(0));
    if (!pProgress->Create(IDynamicPtrTemplate<IDynamic>()))
        return QPixmap();
    pProgress->SetRange(0, 150);
    pProgress->SetText("North Ridge 7");
    for (int i = 0; i < 64; ++i)
        pProgress->StepIt();
    QPixmap pixmap;
    QTimer::singleShot(50, [&]() {
        if (QWidget* pWindow = QApplication::activeModalWidget())
            pixmap = grab(pWindow);
        pProgress->Close();
    });
    pProgress->DoModal();
    return pixmap;
}
