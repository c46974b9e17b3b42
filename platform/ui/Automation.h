#pragma once
// The automation hook: lets a caller act on a modal dialog once it is up (find it by template id,
// read and select list rows, set texts, press buttons) and answer message boxes. Tests use it,
// and batch runs use it to pick a scenario. Off unless a handler is installed. User-interface
// thread only.

#include <functional>
#include <string>
#include <vector>

#include "WoxUi.h"

class CDialog;
class CMenu;
class QModelIndex;
class QWidget;

// What a handler can do with the dialog that is up. Controls are addressed by id; list, list
// box, tree (first-level items) and combo controls have rows.
class CWoxDialogDriver
{
public:
    explicit CWoxDialogDriver(CDialog& dialog) : m_dialog(dialog) {}

    CDialog& Dialog() { return m_dialog; }
    int TemplateId() const;
    std::string Caption() const;

    bool HasControl(int nId) const;
    std::string GetText(int nId) const;
    bool SetText(int nId, const char* pszText);
    bool IsEnabled(int nId) const;
    bool IsVisible(int nId) const;
    // Clicks a button (an enabled one; false otherwise).
    bool PressButton(int nId);
    bool GetCheck(int nId) const;

    int GetRowCount(int nId) const;
    std::string GetRowText(int nId, int nRow, int nColumn = 0) const;
    // Selects one row (and makes it current); -1 clears the selection.
    bool SelectRow(int nId, int nRow);
    // Selects exactly these rows of a list that allows several (the first becomes current).
    bool SelectRows(int nId, const std::vector<int>& rows);
    // The first selected row, -1 when none.
    int GetSelectedRow(int nId) const;

    // Chooses a row of a drop-down as a user does: selects it and sends the owner CBN_SELCHANGE.
    bool ChooseRow(int nId, int nRow);
    // Clicks the up (+1) or down (-1) arrow of an up-down control.
    bool ClickSpin(int nId, int nDirection);
    // Clicks a check box or radio button unless it already shows the state.
    bool SetCheck(int nId, bool bChecked);

    // The state of a command of the dialog's menu bar: -1 when it has none, else MF_GRAYED and
    // MF_CHECKED bits. ChooseMenuCommand triggers an enabled one as a user's choice does.
    int MenuCommandState(int nId) const;
    bool ChooseMenuCommand(int nId);

    // Clicks an item of a tree or a cell of a grid (QTableWidget) control, named by the texts
    // of its path: a tree's first-level and second-level node texts (second empty: the
    // first-level node), a grid's row key (first column) and column heading. bAdd holds Ctrl,
    // bRight clicks the right button. False when there is no such item.
    bool ClickViewItem(int nId, const std::string& first, const std::string& second, bool bAdd, bool bRight);
    bool HasViewItem(int nId, const std::string& first, const std::string& second) const;
    // Clicks at a point of a view's client area.
    bool ClickViewAt(int nId, int x, int y, bool bRight);
    // The visible tree and grid controls of the dialog, in template order.
    std::vector<int> VisibleViews() const;

    // Writes a PNG of the dialog; false when it cannot be written.
    bool SaveScreen(const std::string& path) const;

    // Lets queued messages run until the condition holds; false when it still does not hold
    // after nMaxMs milliseconds or the dialog has ended.
    bool WaitUntil(const std::function<bool()>& condition, int nMaxMs = 10000);
    // Lets the messages queued so far run.
    void ProcessEvents();

private:
    QWidget* Control(int nId) const;
    QModelIndex FindViewItem(int nId, const std::string& first, const std::string& second) const;
    CDialog& m_dialog;
};

class IWoxAutomation
{
public:
    // A modal dialog is up and its OnInitDialog has run. A dialog the handler leaves open is
    // cancelled when the handler returns.
    virtual void OnDialog(CWoxDialogDriver& driver) = 0;
    // A message box would be shown: answer the button (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int OnMessageBox(const char* pszText, const char* pszCaption, UINT nType) = 0;
    // A pop-up menu would be tracked: answer the command to choose, 0 to dismiss it. The
    // command is triggered as a user's choice would be.
    virtual int OnPopupMenu(CMenu& menu)
    {
        (void)menu;
        return 0;
    }

protected:
    ~IWoxAutomation() = default;
};

// Installs the handler (none uninstalls). Answers the one it replaces.
IWoxAutomation* WoxSetAutomation(IWoxAutomation* pHandler);

// Called by the layer itself.
bool WoxAutomateMessageBox(const char* pszText, const char* pszCaption, UINT nType, int* pnAnswer);
bool WoxAutomatePopupMenu(CMenu& menu, int* pnCommand);
