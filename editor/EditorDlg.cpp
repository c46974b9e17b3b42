#include "EditorDlg.h"

#include <QDialog>
#include <QKeySequence>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>
#include <tuple>

#include "AboutDlg.h"
#include "ControlRequests.h"
#include "EditorAddTreatmentTd.h"
#include "EditorLoadViewTd.h"
#include "EndYearDlg.h"
#include "MessageBox.h"
#include "NewScenarioDlg.h"
#include "OpenScenarioDlg.h"
#include "ResourceIds.h"
#include "ScenarioFile.h"
#include "ScenarioResources.h"
#include "TrtSelectDlg.h"
#include "UniqueFileName.h"
#include "WoxText.h"

namespace
{
constexpr const char* kTitle = "Scenario Editor";
constexpr size_t kDisplayLimit = 255;   // texts built for display

std::string Limited(std::string text)
{
    if (text.size() > kDisplayLimit)
        text.resize(kDisplayLimit);
    return text;
}

// The commands that need the tasks; greyed when the tasks could not be made.
constexpr int kTaskCommands[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_ADD_NORMAL, ID_ADD_TRIGGERED, ID_DELETE_TREATMENT, ID_MODIFY_TREATMENT,
                                 ID_CHANGE_END_YEAR, ID_VIEW_BY_YEAR, ID_VIEW_BY_STAND, ID_VIEW_TREE, ID_VIEW_GRID, ID_VIEW_HIDE_UNTREATED};

std::string FieldText(const char* pField, size_t nWidth)
{
    std::string text(nWidth + 1, '\0');
    WoxFieldToString(text.data(), text.size(), pField, nWidth);
    text.resize(std::strlen(text.c_str()));
    return text;
}

const SScenarioTreatment* RecordAt(IArrayExt2* pArray, int nIndex)
{
    return static_cast<const SScenarioTreatment*>(pArray->GetAt(nIndex, 0));
}

// The identity of a record for the editor's lists: year, stand and treatment name.
bool SameEntry(const SScenarioTreatment& a, const SScenarioTreatment& b)
{
    return a.nYear == b.nYear && WoxCompareText(a.szStand, b.szStand, sizeof a.szStand) == 0 &&
           WoxCompareText(a.treatment.szName, b.treatment.szName, sizeof a.treatment.szName) == 0;
}

bool UnderKey(const SScenarioTreatment& record, const SViewKey& key)
{
    if (WoxCompareText(record.szStand, key.szStand, sizeof key.szStand) != 0)
        return false;
    if (key.nYear == -1)
        return true;
    return record.bTriggered ? key.nYear >= record.nYear && key.nYear <= record.nEndYear : key.nYear == record.nYear;
}
} // namespace

CEditorDlg::CEditorDlg(HWOXHEAP hHeap, CWnd* pParent)
    : CDialog(IDD_SCENARIO_EDITOR, pParent), CEditorBase(hHeap), grid(hHeap), history(hHeap)
{
    WoxUseScenarioResources();
    SetMainWindowStyle();
}

CEditorDlg::~CEditorDlg()
{
    if (bFileOpen)
        OnClose();
    pAddTask.reset();
    pLoadTask.reset();
    // The views go before the window's controls, which DestroyWindow hands back first.
    DestroyWindow();
}

int CEditorDlg::Initialize(IWoxLibMgr* pLibMgr, IWoxThreadPool* pThreadPool, ICompMgr* pCompMgr, IWoxRegistry* pRegistry,
                           IWoxErrorReporter* pErrorReporter, ISpeciesMap* pSpeciesMap, IDynamicPtrTemplate<IPortData> pPortData)
{
    if (!CEditorBase::Initialize(pLibMgr, pRegistry, pCompMgr, pThreadPool, pSpeciesMap, pErrorReporter, pPortData))
        return 0;
    if (!m_pRegistry->ReadString("Libraries", "Data Controller Library", m_szDataController, sizeof m_szDataController))
        return 0;
    if (!grid.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter))
        return 0;
    if (!m_pPortData || !m_pPortData->GetProjectInfo(&projectInfo))
        return 0;
    if (!CreateTreatmentArray(m_scenario.pTreatments))
        return 0;
    return 1;
}

BOOL CEditorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SubclassDlgItem(IDC_EDITOR_TREE, &tree);
    SubclassDlgItem(IDC_EDITOR_GRID, &grid);
    SetSmallIcon(IDI_SCENARIO_EDITOR);
    // The menu greys the commands that need the tasks, so the tasks are made first.
    const bool bTasks = CreateTasks();
    SetFileMenu(0);
    if (!bTasks)
        return 0;
    grid.ShowWindow(SW_HIDE);
    if (QWidget* pClient = GetClientWidget())
    {
        nClientWidth = pClient->width();
        nClientHeight = pClient->height();
    }
    if (QTableWidget* pTable = grid.Table())
        pTable->setShowGrid(true);
    // Undo and redo have keys only; the menus stay as they are.
    if (QWidget* pWindow = GetDialogWidget())
    {
        auto addKey = [&](const QKeySequence& keys, bool bUndo) {
            auto* pShortcut = new QShortcut(keys, pWindow);
            pShortcut->setContext(Qt::WindowShortcut);
            QObject::connect(pShortcut, &QShortcut::activated, pWindow, [this, bUndo] { StepHistory(bUndo); });
        };
        addKey(QKeySequence(Qt::CTRL | Qt::Key_Z), true);
        addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), false);
        addKey(QKeySequence(Qt::CTRL | Qt::Key_Y), false);
    }
    pAddTask->Submit(m_pThreadPool);
    return 1;
}

bool CEditorDlg::CreateTasks()
{
    auto pLoad = std::make_unique<CEditorLoadViewTd>(m_hHeap);
    if (!pLoad->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, m_pPortData, grid.GetSafeHwnd(), tree.GetSafeHwnd(), nViewType, nViewBy,
                           bHideUntreated))
        return false;
    pLoadTask = std::move(pLoad);
    auto pAdd = std::make_unique<CEditorAddTreatmentTd>(m_hHeap);
    if (!pAdd->Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, m_pPortData, grid.GetSafeHwnd(), tree.GetSafeHwnd(), nViewType, nViewBy,
                          bHideUntreated, m_scenario.pTreatments))
    {
        // Without the add task the load task alone serves nothing: both go, so the commands
        // that need them are greyed.
        pLoadTask.reset();
        return false;
    }
    pAddTask = std::move(pAdd);
    return true;
}

void CEditorDlg::SetModified(int flag)
{
    bModified = flag;
    if (!GetDialogWidget() || !IsWindowVisible())
        return;
    const std::string name = FieldText(m_scenario.info.szName, sizeof m_scenario.info.szName);
    SetWindowText(Limited(std::string("Scenario Editor - [") + name + "]" + (flag ? "*" : "")).c_str());
}

void CEditorDlg::SetFileMenu(int open)
{
    if (!GetDialogWidget())
        return;
    SetMenu(nullptr);
    menu.LoadMenu(open ? IDR_EDITOR_MENU_FILE_OPEN : IDR_EDITOR_MENU_NO_FILE);
    // A command chosen from the menu runs once the menu has closed: a command may replace the
    // menu whose item is being triggered.
    QWidget* pContext = GetDialogWidget();
    menu.SetCommandHandler([this, pContext](int nId) { QTimer::singleShot(0, pContext, [this, nId]() { OnCommand(nId); }); });
    SetMenu(&menu);
    bFileOpen = open;
    UpdateMenuMarks();
}

void CEditorDlg::UpdateMenuMarks()
{
    menu.CheckMenuRadioItem(ID_VIEW_BY_YEAR, ID_VIEW_BY_STAND, nViewBy == 1 ? ID_VIEW_BY_YEAR : ID_VIEW_BY_STAND);
    menu.CheckMenuRadioItem(ID_VIEW_TREE, ID_VIEW_GRID, nViewType == 1 ? ID_VIEW_GRID : ID_VIEW_TREE);
    if (menu.GetMenuState(ID_VIEW_HIDE_UNTREATED) != static_cast<UINT>(-1))
        menu.CheckMenuItem(ID_VIEW_HIDE_UNTREATED, bHideUntreated ? MF_CHECKED : MF_UNCHECKED);
    if (!HasTasks())
        for (int nId : kTaskCommands)
            menu.EnableMenuItem(nId, MF_GRAYED);
}

void CEditorDlg::SubmitTasks()
{
    pAddTask->Submit(m_pThreadPool);
    pLoadTask->Submit(m_pThreadPool);
}

void CEditorDlg::RestartTasks()
{
    pAddTask->StopThread(1);
    pLoadTask->StopThread(1);
    pLoadTask->SetScenario(m_scenario);
    SubmitTasks();
}

void CEditorDlg::WaitForLoad()
{
    if (pLoadTask)
        pLoadTask->WaitUntilIdle();
}

BOOL CEditorDlg::OnCommand(int nId)
{
    // Commands that need the tasks do nothing without them (their menu items are greyed).
    const bool bNeedsTasks = std::find(std::begin(kTaskCommands), std::end(kTaskCommands), nId) != std::end(kTaskCommands);
    if (bNeedsTasks && !HasTasks())
        return 1;
    switch (nId)
    {
    case ID_FILE_NEW: OnNew(); return 1;
    case ID_FILE_OPEN: OnOpen(); return 1;
    case ID_FILE_SAVE:
        if (bFileOpen)
            OnSave();
        return 1;
    case ID_FILE_CLOSE:
        if (bFileOpen)
            OnClose();
        return 1;
    case ID_FILE_EXIT: OnExit(); return 1;
    case ID_HELP_CONTENTS: WoxMessageBox("Not yet implemented.", MB_OK); return 1;
    case ID_HELP_ABOUT:
    {
        CAboutDlg about(this);
        about.DoModal();
        return 1;
    }
    default: break;
    }
    // The treatment and view commands work on an open scenario only.
    if (!bFileOpen)
        return 0;
    switch (nId)
    {
    case ID_ADD_NORMAL: OnAddNormal(); return 1;
    case ID_ADD_TRIGGERED: OnAddTriggered(); return 1;
    case ID_DELETE_TREATMENT: OnDelete(); return 1;
    case ID_MODIFY_TREATMENT: OnModify(); return 1;
    case ID_CHANGE_END_YEAR: OnChangeEndYear(); return 1;
    case ID_VIEW_BY_YEAR:
    case ID_VIEW_BY_STAND:
    case ID_VIEW_TREE:
    case ID_VIEW_GRID:
    case ID_VIEW_HIDE_UNTREATED: OnViewCommand(nId); return 1;
    default: return 0;
    }
}

BOOL CEditorDlg::OnNotify(int nIdCtrl, int nCode)
{
    if (nIdCtrl == IDC_EDITOR_TREE && nCode == NM_DBLCLK)
    {
        if (bFileOpen && HasTasks())
            OnModify();
        return 1;
    }
    return CDialog::OnNotify(nIdCtrl, nCode);
}

void CEditorDlg::OnNew()
{
    if (bFileOpen)
        OnClose();
    CNewScenarioDlg dialog(this);
    dialog.SetYears(projectInfo.nFirstYear, projectInfo.nPeriodLength);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.GetInformation(&m_scenario.info);

    // The file's name comes from the scenario name mapped so that it stays inside the folder.
    const std::string folder = FieldText(projectInfo.szScenarioFolder, sizeof projectInfo.szScenarioFolder);
    const std::string path = UniqueScenarioPath(folder.c_str(), m_scenario.info.szName);
    CScenarioFile file(m_hHeap);
    std::string reason = "no free file name for the scenario in " + folder;
    if (path.empty() || !file.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter) || !file.Save(path.c_str(), &m_scenario, &reason))
    {
        ShowSaveFailure(reason);
        return;
    }
    WoxCopyText(m_scenario.szPath, path.c_str());
    pAddTask->StopThread(1);
    pLoadTask->SetScenario(m_scenario);
    SetFileMenu(1);
    // A new file shows the mark until it is saved, also when undone back to this state.
    history.Clear(false);
    SetModified(1);
    SubmitTasks();
}

void CEditorDlg::OnOpen()
{
    if (bFileOpen)
        OnClose();
    COpenScenarioDlg dialog(m_hHeap, this);
    CScenarioFile file(m_hHeap);
    if (!dialog.Initialize(m_pLibMgr, m_pThreadPool, m_pRegistry, m_pErrorReporter, m_pPortData) ||
        !file.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter))
        return;
    if (dialog.DoModal() != IDOK)
        return;
    WoxCopyText(m_scenario.szPath, dialog.GetChosenPath());
    if (!file.Open(m_scenario.szPath) || !file.ReadRecords(&m_scenario))
    {
        // A damaged file changes nothing: the editor stays without a file.
        file.Close();
        EmptyScenario();
        const std::string text = std::string("The scenario file ") + dialog.GetChosenPath() + " could not be read.";
        WoxMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    pAddTask->StopThread(1);
    pLoadTask->SetScenario(m_scenario);
    SubmitTasks();
    SetFileMenu(1);
    history.Clear(true);
    SetModified(0);
    file.Close();
}

void CEditorDlg::WaitForAdds()
{
    // Records just added are appended to the scenario by the add task; a save right after Add
    // must hold them. The task takes each record off its queue only once it is appended.
    using namespace std::chrono;
    const auto end = steady_clock::now() + seconds(60);
    while (pAddTask && pAddTask->QueuedCount() > 0 && steady_clock::now() < end)
        std::this_thread::sleep_for(milliseconds(2));
}

bool CEditorDlg::OnSave()
{
    WaitForAdds();
    CScenarioFile file(m_hHeap);
    std::string reason = "the scenario file object cannot be made";
    if (!file.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter) || !file.Save(m_scenario.szPath, &m_scenario, &reason))
        return ShowSaveFailure(reason);
    history.MarkSaved();
    SetModified(0);
    return true;
}

bool CEditorDlg::ShowSaveFailure(const std::string& reason)
{
    const std::string text = "The scenario file could not be saved: " + reason + ".\n\nThe file on disk is unchanged.";
    WoxMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
    return false;
}

void CEditorDlg::OnClose()
{
    // Records still queued belong to this scenario: appended now, they are saved or freed with it
    // instead of reaching the next one.
    WaitForAdds();
    if (bModified && WoxMessageBox("Would you like to save the scenario file?", MB_YESNO | MB_ICONQUESTION) == IDYES)
        OnSave();
    SetWindowText(kTitle);
    if (pAddTask)
        pAddTask->StopThread(1);
    if (pLoadTask)
        pLoadTask->StopThread(1);
    SetFileMenu(0);
    if (GetDialogWidget() && IsWindowVisible())
    {
        if (nViewType == 1)
        {
            grid.DeleteAllItems();
            grid.DeleteAllColumns();
        }
        else
            tree.DeleteAllItems();
    }
    // Items the stopped runs posted before they ended arrive after the direct clear: a clear
    // posted behind them empties the view once they are carried out.
    if (nViewType == 1)
    {
        grid.PostMessage(WM_LVM_DELETEALLITEMSEX, 0, 0);
        grid.PostMessage(WM_LVM_DELETEALLCOLUMNSEX, 0, 0);
    }
    else
        tree.PostMessage(WM_TVM_DELETEALLITEMSEX, 0, 0);
    EmptyScenario();
}

void CEditorDlg::EmptyScenario()
{
    history.Clear(false);
    m_scenario.nRunYear = -1;
    std::memset(m_scenario.szPath, 0, sizeof m_scenario.szPath);
    if (m_scenario.pTreatments)
    {
        FreeTreatmentBlocks(m_hHeap, m_scenario.pTreatments.Get());
        m_scenario.pTreatments->RemoveAll(0);
    }
}

void CEditorDlg::OnExit()
{
    if (bFileOpen)
        OnClose();
    OnOK();
}

void CEditorDlg::OnChangeEndYear()
{
    CEndYearDlg dialog(m_hHeap, this);
    dialog.SetYears(projectInfo.nFirstYear, projectInfo.nPeriodLength, m_scenario.info.nEndYear);
    if (dialog.DoModal() != IDOK)
        return;
    history.Begin(m_scenario.pTreatments->GetSize());
    history.RecordEndYear(m_scenario.info.nEndYear, dialog.GetEndYear());
    history.Commit(m_scenario.pTreatments->GetSize());
    m_scenario.info.nEndYear = dialog.GetEndYear();
    RestartTasks();
    SetModified(1);
}

void CEditorDlg::OnViewCommand(int nId)
{
    switch (nId)
    {
    case ID_VIEW_BY_STAND: nViewBy = 0; break;
    case ID_VIEW_BY_YEAR: nViewBy = 1; break;
    case ID_VIEW_GRID: nViewType = 1; break;
    case ID_VIEW_TREE: nViewType = 0; break;
    // From the editor's own state: a checkable menu item has already flipped its mark when
    // the command arrives.
    default: bHideUntreated = bHideUntreated ? 0 : 1; break;
    }
    UpdateMenuMarks();
    pAddTask->StopThread(1);
    pLoadTask->StopThread(1);
    switch (nId)
    {
    case ID_VIEW_BY_STAND:
    case ID_VIEW_BY_YEAR:
        pAddTask->SetViewBy(nViewBy);
        pLoadTask->SetViewBy(nViewBy);
        break;
    case ID_VIEW_GRID:
    case ID_VIEW_TREE:
        pAddTask->SetViewType(nViewType);
        pLoadTask->SetViewType(nViewType);
        break;
    default:
        pAddTask->SetHideUntreated(bHideUntreated);
        pLoadTask->SetHideUntreated(bHideUntreated);
        break;
    }
    SubmitTasks();
}

void CEditorDlg::OnContextMenu(int x, int y)
{
    if (nViewType == 1)
        grid.SelectAtPoint(x, y);
    else
        tree.SelectAtPoint(x, y);
    QWidget* pView = tree.GetWidget();
    if (!pView || !pView->rect().contains(pView->mapFromGlobal(QPoint(x, y))))
        return;
    CMenu popup;
    if (!popup.LoadMenu(IDR_EDITOR_CONTEXT_MENU))
        return;
    // The commands work on an open scenario with its tasks; otherwise the menu shows them greyed.
    if (!bFileOpen || !HasTasks())
        for (int nCommand : {ID_ADD_NORMAL, ID_ADD_TRIGGERED, ID_DELETE_TREATMENT, ID_MODIFY_TREATMENT, ID_CHANGE_END_YEAR})
            popup.EnableMenuItem(nCommand, MF_GRAYED);
    if (int nCommand = TrackContextMenu(popup, x, y))
        OnCommand(nCommand);
}

int CEditorDlg::TrackContextMenu(CMenu& popup, int x, int y)
{
    return popup.TrackPopupMenu(x, y, GetDialogWidget());
}

void CEditorDlg::OnSize(int nWidth, int nHeight)
{
    CDialog::OnSize(nWidth, nHeight);
    QWidget* pGrid = grid.GetWidget();
    QWidget* pTree = tree.GetWidget();
    if (nClientWidth == -1 || !pGrid || !pTree)
        return;
    QRect rect = pGrid->geometry();
    rect.setRight(rect.right() + nWidth - nClientWidth);
    rect.setBottom(rect.bottom() + nHeight - nClientHeight);
    for (QWidget* pView : {pGrid, pTree})
    {
        pView->setGeometry(rect.normalized());
        pView->lower();
    }
    nClientWidth = nWidth;
    nClientHeight = nHeight;
}

bool CEditorDlg::SelectedKeys(IDynamicPtrTemplate<IArrayExt2>& pKeys)
{
    if (!CreateStandArray(pKeys))
        return false;
    if (nViewType == 1)
        grid.GetSelectedKeys(nViewBy, pKeys);
    else
        tree.GetSelectedKey(nViewBy, pKeys);
    return true;
}

bool CEditorDlg::SelectedTreatments(IDynamicPtrTemplate<IArrayExt2>& pFound)
{
    WaitForAdds();
    IDynamicPtrTemplate<IArrayExt2> pKeys;
    if (!SelectedKeys(pKeys) || !CreateTreatmentArray(pFound))
        return false;
    IArrayExt2* pTreatments = m_scenario.pTreatments.Get();
    for (int k = 0, nKeys = pKeys->GetSize(); k < nKeys; ++k)
    {
        const auto* pKey = static_cast<const SViewKey*>(pKeys->GetAt(k, 0));
        for (int i = 0, n = pKey ? pTreatments->GetSize() : 0; i < n; ++i)
        {
            const SScenarioTreatment* pRecord = RecordAt(pTreatments, i);
            if (!pRecord || !UnderKey(*pRecord, *pKey))
                continue;
            bool bListed = false;
            for (int j = 0, nFound = pFound->GetSize(); j < nFound && !bListed; ++j)
                bListed = SameEntry(*RecordAt(pFound.Get(), j), *pRecord);
            if (!bListed)
                pFound->Add(pRecord);
        }
    }
    return true;
}

std::string CEditorDlg::DeleteConfirmationText(IArrayExt2* pChosen)
{
    // Each step of the list and the whole text are cut at 255 characters, as fixed buffers would.
    std::string list;
    for (int i = 0, n = pChosen ? pChosen->GetSize() : 0; i < n; ++i)
    {
        const SScenarioTreatment* pRecord = RecordAt(pChosen, i);
        const std::string entry = FieldText(pRecord->treatment.szName, sizeof pRecord->treatment.szName) + " (" +
                                  std::to_string(pRecord->nYear) + ", " + FieldText(pRecord->szStand, sizeof pRecord->szStand) + ")";
        list = Limited(i == 0 ? entry : list + ", " + entry);
    }
    return Limited("The following treatments will be deleted:\n\n" + list + "\n\nPress 'OK' to continue.");
}

bool CEditorDlg::ChooseTreatments(int nMode, IDynamicPtrTemplate<IArrayExt2>& pChosen)
{
    IDynamicPtrTemplate<IArrayExt2> pFound;
    if (!SelectedTreatments(pFound))
        return false;
    const int nFound = pFound->GetSize();
    if (nFound == 0)
    {
        WoxMessageBox(nMode == 0 ? "There are no treatments to delete for the selected stand(s)."
                                 : "There are no treatments to edit for the selected stand(s).",
                      MB_OK);
        return false;
    }
    if (nFound > 1)
    {
        if (!CreateTreatmentArray(pChosen))
            return false;
        CTrtSelectDlg dialog(m_hHeap, nMode, this);
        if (!dialog.Initialize(m_pLibMgr, m_pRegistry, m_pErrorReporter, pFound, pChosen) || dialog.DoModal() != IDOK)
            return false;
    }
    else
        pChosen = pFound;
    if (pChosen->GetSize() == 0)
        return false;
    if (nMode == 0)
        return WoxMessageBox(DeleteConfirmationText(pChosen.Get()).c_str(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
    return true;
}

void CEditorDlg::ReloadRecordYears(const SScenarioTreatment& record)
{
    char szStand[sizeof record.szStand + 1];
    WoxFieldToString(szStand, sizeof szStand, record.szStand, sizeof record.szStand);
    const int nStep = projectInfo.nPeriodLength > 0 ? projectInfo.nPeriodLength : 1;
    const int nLast = record.bTriggered ? record.nEndYear : record.nYear;
    for (int64_t nYear = record.nYear; nYear <= nLast; nYear += nStep)
    {
        // Each reload runs before the next one is set: a setter waiting for the run mutex would
        // otherwise overwrite a reload that has not started yet.
        pLoadTask->SetPartialReload(static_cast<int>(nYear), szStand);
        pLoadTask->Submit(m_pThreadPool);
        pLoadTask->WaitUntilIdle();
    }
}

void CEditorDlg::OnDelete()
{
    IDynamicPtrTemplate<IArrayExt2> pChosen;
    if (!ChooseTreatments(0, pChosen))
        return;
    IArrayExt2* pTreatments = m_scenario.pTreatments.Get();
    const int nChosen = pChosen->GetSize();
    history.Begin(m_scenario.pTreatments->GetSize());
    for (int i = pTreatments->GetSize() - 1; i >= 0; --i)
    {
        const SScenarioTreatment* pStored = RecordAt(pTreatments, i);
        for (int c = 0; pStored && c < nChosen; ++c)
        {
            if (!SameEntry(*pStored, *RecordAt(pChosen.Get(), c)))
                continue;
            const SScenarioTreatment removed = *pStored;
            if (!pTreatments->RemoveAt(i, 1))
                break;
            history.RecordRemove(i, removed);
            if (removed.treatment.pData)
                m_hHeap->Free(removed.treatment.pData);
            ReloadRecordYears(removed);
            break;
        }
    }
    history.Commit(m_scenario.pTreatments->GetSize());
    SetModified(1);
}

void CEditorDlg::OnModify()
{
    IDynamicPtrTemplate<IArrayExt2> pChosen;
    if (!ChooseTreatments(1, pChosen))
        return;
    // The views follow each change as it is made (OnRecordReplaced, OnRecordRemoved): a
    // triggered change reaches every stand of its group.
    history.Begin(m_scenario.pTreatments->GetSize());
    bReloadAll = 0;
    const int nHandled = ModifyTreatments(pChosen.Get());
    history.Commit(m_scenario.pTreatments->GetSize());
    if (bReloadAll)
        RestartTasks();
    if (!nHandled)
        return;
    SetModified(1);
}

void CEditorDlg::OnAddNormal()
{
    IDynamicPtrTemplate<IArrayExt2> pKeys;
    IDynamicPtrTemplate<IArrayExt2> pStands;
    if (!SelectedKeys(pKeys) || !CreateStandArray(pStands))
        return;
    // A stand selected under several years is one stand of the selection.
    std::set<std::string> seen;
    for (int i = 0, n = pKeys->GetSize(); i < n; ++i)
    {
        const auto* pKey = static_cast<const SViewKey*>(pKeys->GetAt(i, 0));
        if (pKey && pKey->szStand[0] && seen.insert(FieldText(pKey->szStand, sizeof pKey->szStand)).second)
            pStands->Add(pKey);
    }
    STreatmentData selection;
    if (!SelectNormalTreatments(&selection, pStands))
        return;
    WaitForAdds();
    const int nFrom = m_scenario.pTreatments->GetSize();
    if (pAddTask->AddNormalTreatments(selection))
        SetModified(1);
    RecordAdded(nFrom);
    // The add task gave every record its own copy of the parameter block.
    for (int i = 0, n = selection.pTreatments ? selection.pTreatments->GetSize() : 0; i < n; ++i)
    {
        auto* pTreatment = static_cast<STreatmentDataTreatment*>(selection.pTreatments->GetAt(i, 0));
        if (pTreatment && pTreatment->pData)
            m_hHeap->Free(pTreatment->pData);
    }
}

void CEditorDlg::OnAddTriggered()
{
    IDynamicPtrTemplate<IArrayExt2> pNew;
    if (DefineTriggeredTreatments(pNew) != 1 || !pNew)
        return;
    // The dialog's records share one parameter block per listed treatment; each scenario record
    // gets its own copy, as Add normal gives it, so deleting one record never frees another's.
    std::set<uint32_t> shared;
    for (int i = 0, n = pNew->GetSize(); i < n; ++i)
    {
        auto* pRecord = static_cast<SScenarioTreatment*>(pNew->GetAt(i, 0));
        if (!pRecord || !pRecord->treatment.pData)
            continue;
        SScenarioTreatment record = *pRecord;
        shared.insert(record.treatment.pData);
        record.treatment.pData = CopyTreatmentBlock(m_hHeap, record.treatment.pData);
        pNew->SetAt(i, 0, &record);
    }
    for (uint32_t pData : shared)
        m_hHeap->Free(pData);
    WaitForAdds();
    const int nFrom = m_scenario.pTreatments->GetSize();
    if (pAddTask->AddTreatments(pNew))
        SetModified(1);
    RecordAdded(nFrom);
}

void CEditorDlg::RecordAdded(int nFrom)
{
    WaitForAdds();
    IArrayExt2* pTreatments = m_scenario.pTreatments.Get();
    history.Begin(nFrom);
    for (int i = nFrom, n = pTreatments->GetSize(); i < n; ++i)
        if (const SScenarioTreatment* pRecord = RecordAt(pTreatments, i))
            history.RecordInsert(i, *pRecord);
    history.Commit(m_scenario.pTreatments->GetSize());
}

void CEditorDlg::OnRecordReplaced(int nIndex, const SScenarioTreatment& old, const SScenarioTreatment& now)
{
    history.RecordReplace(nIndex, old, now);
    CEditorBase::OnRecordReplaced(nIndex, old, now);
    // A triggered record spans several years, which a partial reload does not fill: the whole
    // view is reloaded once the command is done.
    if (old.bTriggered || now.bTriggered)
        bReloadAll = 1;
    else
        ReloadRecordYears(now);
}

void CEditorDlg::OnRecordRemoved(int nIndex, const SScenarioTreatment& old)
{
    history.RecordRemove(nIndex, old);
    CEditorBase::OnRecordRemoved(nIndex, old);
    if (old.bTriggered)
        bReloadAll = 1;
    else
        ReloadRecordYears(old);
}

bool CEditorDlg::StepHistory(bool bUndo)
{
    // Only between commands, on an open file with its tasks (a modal dialog up takes the keys).
    if (!bFileOpen || !HasTasks())
        return false;
    WaitForAdds();
    // A full reload still queued (the last end-year step) runs first: a partial reload set
    // before it started would take its place.
    pLoadTask->WaitUntilIdle();
    std::vector<SScenarioTreatment> touched;
    bool bEndYear = false;
    const bool bDone = bUndo ? history.Undo(m_scenario, &touched, &bEndYear) : history.Redo(m_scenario, &touched, &bEndYear);
    // A partial reload fills a triggered record into its first year only: one of those, or a new
    // end year, reloads the whole view.
    const bool bTriggered = std::any_of(touched.begin(), touched.end(), [](const SScenarioTreatment& r) { return r.bTriggered != 0; });
    if (bEndYear || bTriggered)
        RestartTasks();
    else
    {
        std::set<std::tuple<int, int, std::string>> reloaded;
        for (const SScenarioTreatment& record : touched)
            if (reloaded.emplace(record.nYear, record.bTriggered ? record.nEndYear : record.nYear, FieldText(record.szStand, sizeof record.szStand)).second)
                ReloadRecordYears(record);
    }
    if (bDone)
        SetModified(history.IsAtSaved() ? 0 : 1);
    return bDone;
}
