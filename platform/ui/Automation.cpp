#include "Automation.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QListWidget>
#include <QTableWidget>
#include <QThread>
#include <QTreeWidget>

#include "Dialog.h"

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
    pView->clearSelection();
    for (size_t i = 0; i < rows.size(); ++i)
    {
        if (rows[i] < 0 || rows[i] >= GetRowCount(nId))
            return false;
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
