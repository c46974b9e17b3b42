#include "Automation.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QListWidget>
#include <QTableWidget>
#include <QThread>
#include <QTreeWidget>

#include "Dialog.h"
#include "Menu.h"

namespace
{
IWoxAutomation* g_pAutomation = nullptr;

// The dialogs' shown hook while a handler is installed.
void RunDialogAutomation(CDialog& dialog)
{
    if (!g_pAutomation)
        return;
    CWoxDialogDriver driver(dialog);
    g_pAutomation->OnDialog(driver);
}
}

IWoxAutomation* WoxSetAutomation(IWoxAutomation* pHandler)
{
    IWoxAutomation* pOld = g_pAutomation;
    g_pAutomation = pHandler;
    WoxSetDialogShownHook(pHandler ? RunDialogAutomation : nullptr);
    return pOld;
}

bool WoxAutomateMessageBox(const char* pszText, const char* pszCaption, UINT nType, int* pnAnswer)
{
    if (!g_pAutomation)
        return false;
    *pnAnswer = g_pAutomation->OnMessageBox(pszText ? pszText : "", pszCaption ? pszCaption : "", nType);
    return true;
}

bool WoxAutomatePopupMenu(CMenu& menu, int* pnCommand)
{
    if (!g_pAutomation)
        return false;
    *pnCommand = g_pAutomation->OnPopupMenu(menu);
    return true;
}

QWidget* CWoxDialogDriver::Control(int nId) const
{
    CWnd* pWnd = m_dialog.GetDlgItem(nId);
    return pWnd ? pWnd->GetWidget() : nullptr;
}

int CWoxDialogDriver::TemplateId() const
{
    return m_dialog.GetTemplateId();
}

std::string CWoxDialogDriver::Caption() const
{
    QDialog* pDialog = m_dialog.GetDialogWidget();
    return pDialog ? pDialog->windowTitle().toStdString() : std::string();
}

bool CWoxDialogDriver::HasControl(int nId) const
{
    return Control(nId) != nullptr;
}

std::string CWoxDialogDriver::GetText(int nId) const
{
    QWidget* p = Control(nId);
    return p ? WoxGetWidgetText(p) : std::string();
}

bool CWoxDialogDriver::SetText(int nId, const char* pszText)
{
    QWidget* p = Control(nId);
    if (!p)
        return false;
    WoxSetWidgetText(p, pszText);
    return true;
}

bool CWoxDialogDriver::IsEnabled(int nId) const
{
    QWidget* p = Control(nId);
    return p && p->isEnabled();
}

bool CWoxDialogDriver::IsVisible(int nId) const
{
    QWidget* p = Control(nId);
    return p && !p->isHidden();
}

bool CWoxDialogDriver::PressButton(int nId)
{
    auto* p = qobject_cast<QAbstractButton*>(Control(nId));
    if (!p || !p->isEnabled())
        return false;
    p->click();
    return true;
}

bool CWoxDialogDriver::GetCheck(int nId) const
{
    auto* p = qobject_cast<QAbstractButton*>(Control(nId));
    return p && p->isChecked();
}

int CWoxDialogDriver::GetRowCount(int nId) const
{
    QWidget* p = Control(nId);
    if (auto* pTable = qobject_cast<QTableWidget*>(p))
        return pTable->rowCount();
    if (auto* pList = qobject_cast<QListWidget*>(p))
        return pList->count();
    if (auto* pTree = qobject_cast<QTreeWidget*>(p))
        return pTree->topLevelItemCount();
    if (auto* pCombo = qobject_cast<QComboBox*>(p))
        return pCombo->count();
    return 0;
}

std::string CWoxDialogDriver::GetRowText(int nId, int nRow, int nColumn) const
{
    QWidget* p = Control(nId);
    QString text;
    if (auto* pTable = qobject_cast<QTableWidget*>(p))
    {
        if (QTableWidgetItem* pItem = pTable->item(nRow, nColumn))
            text = pItem->text();
    }
    else if (auto* pList = qobject_cast<QListWidget*>(p))
    {
        if (QListWidgetItem* pItem = pList->item(nRow))
            text = pItem->text();
    }
    else if (auto* pTree = qobject_cast<QTreeWidget*>(p))
    {
        if (QTreeWidgetItem* pItem = pTree->topLevelItem(nRow))
            text = pItem->text(0);
    }
    else if (auto* pCombo = qobject_cast<QComboBox*>(p))
        text = pCombo->itemText(nRow);
    return text.toStdString();
}

bool CWoxDialogDriver::SelectRow(int nId, int nRow)
{
    QWidget* p = Control(nId);
    if (auto* pView = qobject_cast<QAbstractItemView*>(p))
    {
        if (nRow < 0)
        {
            pView->clearSelection();
            return true;
        }
        if (nRow >= GetRowCount(nId))
            return false;
        QModelIndex index = pView->model()->index(nRow, 0);
        pView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    if (auto* pCombo = qobject_cast<QComboBox*>(p))
    {
        if (nRow >= pCombo->count())
            return false;
        pCombo->setCurrentIndex(nRow);
        return true;
    }
    return false;
}

bool CWoxDialogDriver::SelectRows(int nId, const std::vector<int>& rows)
{
    auto* pView = qobject_cast<QAbstractItemView*>(Control(nId));
    if (!pView || (rows.size() > 1 && pView->selectionMode() == QAbstractItemView::SingleSelection))
        return false;
    const int nCount = GetRowCount(nId);
    for (int nRow : rows)
    {
        if (nRow < 0 || nRow >= nCount)
            return false;
    }
    pView->clearSelection();
    QAbstractItemModel* pModel = pView->model();
    for (size_t i = 0; i < rows.size(); ++i)
    {
        // In a check list the user chooses a row by its check box.
        const QModelIndex item = pModel->index(rows[i], 0);
        if (pModel->flags(item) & Qt::ItemIsUserCheckable)
            pModel->setData(item, Qt::Checked, Qt::CheckStateRole);
        const QModelIndex index = pView->model()->index(rows[i], 0);
        const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        if (i == 0)
            pView->selectionModel()->setCurrentIndex(index, flags);
        else
            pView->selectionModel()->select(index, flags);
    }
    return true;
}

int CWoxDialogDriver::GetSelectedRow(int nId) const
{
    QWidget* p = Control(nId);
    if (auto* pView = qobject_cast<QAbstractItemView*>(p))
    {
        int nFirst = -1;
        for (const QModelIndex& index : pView->selectionModel()->selectedIndexes())
        {
            if (nFirst < 0 || index.row() < nFirst)
                nFirst = index.row();
        }
        return nFirst;
    }
    if (auto* pCombo = qobject_cast<QComboBox*>(p))
        return pCombo->currentIndex();
    return -1;
}

bool CWoxDialogDriver::WaitUntil(const std::function<bool()>& condition, int nMaxMs)
{
    QDeadlineTimer deadline(nMaxMs);
    while (!condition())
    {
        if (deadline.hasExpired() || m_dialog.IsEnded())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void CWoxDialogDriver::ProcessEvents()
{
    QCoreApplication::processEvents();
}

bool CWoxDialogDriver::ChooseRow(int nId, int nRow)
{
    auto* pCombo = qobject_cast<QComboBox*>(Control(nId));
    if (!pCombo || !pCombo->isEnabled() || nRow < 0 || nRow >= pCombo->count())
        return false;
    pCombo->setCurrentIndex(nRow);
    emit pCombo->activated(nRow);
    return true;
}

bool CWoxDialogDriver::ClickSpin(int nId, int nDirection)
{
    QWidget* p = Control(nId);
    if (!p || !p->isEnabled())
        return false;
    auto* pArrow = p->findChild<QToolButton*>(QLatin1String(nDirection > 0 ? "up" : "down"));
    if (!pArrow || !pArrow->isEnabled())
        return false;
    pArrow->click();
    return true;
}

bool CWoxDialogDriver::SetCheck(int nId, bool bChecked)
{
    auto* p = qobject_cast<QAbstractButton*>(Control(nId));
    if (!p || !p->isEnabled() || !p->isCheckable())
        return false;
    if (p->isChecked() != bChecked)
        p->click();
    return p->isChecked() == bChecked;
}

namespace
{
QAction* FindMenuAction(const QList<QAction*>& actions, int nId)
{
    for (QAction* pAction : actions)
    {
        if (QMenu* pSub = pAction->menu())
        {
            if (QAction* pFound = FindMenuAction(pSub->actions(), nId))
                return pFound;
        }
        else if (!pAction->isSeparator() && pAction->data().isValid() && pAction->data().toInt() == nId)
            return pAction;
    }
    return nullptr;
}

QAction* FindMenuBarAction(QWidget* pDialog, int nId)
{
    QMenuBar* pBar = pDialog ? pDialog->findChild<QMenuBar*>() : nullptr;
    return pBar ? FindMenuAction(pBar->actions(), nId) : nullptr;
}

// Sends a press and a release at a point of a view's viewport, as the mouse would.
void ClickViewport(QAbstractItemView* pView, QPoint point, bool bAdd, bool bRight)
{
    QWidget* pViewport = pView->viewport();
    const Qt::MouseButton button = bRight ? Qt::RightButton : Qt::LeftButton;
    const Qt::KeyboardModifiers modifiers = bAdd ? Qt::ControlModifier : Qt::NoModifier;
    const QPointF local(point);
    const QPointF global(pViewport->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, modifiers);
    QApplication::sendEvent(pViewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, modifiers);
    QApplication::sendEvent(pViewport, &release);
}
}

int CWoxDialogDriver::MenuCommandState(int nId) const
{
    QAction* pAction = FindMenuBarAction(m_dialog.GetDialogWidget(), nId);
    if (!pAction)
        return -1;
    return (pAction->isChecked() ? MF_CHECKED : 0) | (pAction->isEnabled() ? 0 : MF_GRAYED);
}

bool CWoxDialogDriver::ChooseMenuCommand(int nId)
{
    QAction* pAction = FindMenuBarAction(m_dialog.GetDialogWidget(), nId);
    if (!pAction || !pAction->isEnabled())
        return false;
    pAction->trigger();
    return true;
}

QModelIndex CWoxDialogDriver::FindViewItem(int nId, const std::string& first, const std::string& second) const
{
    QWidget* p = Control(nId);
    const QString firstText = QString::fromStdString(first);
    const QString secondText = QString::fromStdString(second);
    if (auto* pTree = qobject_cast<QTreeWidget*>(p))
    {
        for (int i = 0; i < pTree->topLevelItemCount(); ++i)
        {
            QTreeWidgetItem* pTop = pTree->topLevelItem(i);
            if (pTop->text(0) != firstText)
                continue;
            if (second.empty())
                return pTree->model()->index(i, 0);
            for (int j = 0; j < pTop->childCount(); ++j)
            {
                if (pTop->child(j)->text(0) == secondText)
                    return pTree->model()->index(j, 0, pTree->model()->index(i, 0));
            }
        }
    }
    else if (auto* pTable = qobject_cast<QTableWidget*>(p))
    {
        for (int c = 0; c < pTable->columnCount(); ++c)
        {
            QTableWidgetItem* pHeader = pTable->horizontalHeaderItem(c);
            if (!pHeader || pTable->isColumnHidden(c) || pHeader->text() != secondText)
                continue;
            for (int r = 0; r < pTable->rowCount(); ++r)
            {
                QTableWidgetItem* pKey = pTable->item(r, 0);
                if (pKey && pKey->text() == firstText)
                    return pTable->model()->index(r, c);
            }
        }
    }
    return QModelIndex();
}

bool CWoxDialogDriver::HasViewItem(int nId, const std::string& first, const std::string& second) const
{
    return FindViewItem(nId, first, second).isValid();
}

bool CWoxDialogDriver::ClickViewItem(int nId, const std::string& first, const std::string& second, bool bAdd, bool bRight)
{
    auto* pView = qobject_cast<QAbstractItemView*>(Control(nId));
    const QModelIndex index = FindViewItem(nId, first, second);
    if (!pView || !index.isValid() || !pView->isEnabled())
        return false;
    if (auto* pTree = qobject_cast<QTreeWidget*>(pView); pTree && index.parent().isValid())
        pTree->expand(index.parent());
    // Item positions are laid out lazily after a fill; a user clicks what has been laid out.
    pView->doItemsLayout();
    pView->scrollTo(index);
    QCoreApplication::processEvents();
    const QRect rect = pView->visualRect(index);
    if (rect.isEmpty())
        return false;
    ClickViewport(pView, rect.center(), bAdd, bRight);
    return true;
}

bool CWoxDialogDriver::ClickViewAt(int nId, int x, int y, bool bRight)
{
    auto* pView = qobject_cast<QAbstractItemView*>(Control(nId));
    if (!pView || !pView->isEnabled())
        return false;
    ClickViewport(pView, QPoint(x, y), false, bRight);
    return true;
}

std::vector<int> CWoxDialogDriver::VisibleViews() const
{
    std::vector<int> views;
    for (int nId : m_dialog.GetControlIds())
    {
        QWidget* p = Control(nId);
        if ((qobject_cast<QTreeWidget*>(p) || qobject_cast<QTableWidget*>(p)) && !p->isHidden())
            views.push_back(nId);
    }
    return views;
}

bool CWoxDialogDriver::SaveScreen(const std::string& path) const
{
    QDialog* pDialog = m_dialog.GetDialogWidget();
    return pDialog && pDialog->grab().save(QString::fromStdString(path), "PNG");
}
