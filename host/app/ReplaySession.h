#pragma once
// A replayable editor session: a list of steps read from a JSON file, each naming windows,
// controls and commands by the system's own ids and texts, carried out on the modal windows as
// they come up.
//
// The model: the session is one queue of steps, consumed strictly in order. Running it opens the
// top window modally; every modal dialog, message box and pop-up menu that comes up reaches the
// session through the automation hook and takes the next step, which must be the matching
// "dialog" or "messageBox" step (a pop-up menu is answered by the right click that opened it).
// A dialog, once taken, carries out the steps after it (menu commands, selections, control
// settings, presses, checks) until it ends; a step of it that opens another dialog or message box
// runs that one's steps nested, inside the call, as a user's modal answer would. A "dialog" or
// "messageBox" step reached while nothing has come up is a failure, as is a window that comes up
// unexpected. The first step that cannot be carried out stops the session: every window still up
// is cancelled (boxes answered Cancel or No) and the session answers its one line. The session
// succeeds when every step was carried out and the top window has closed.
//
// User-interface thread only.

#include <QByteArray>
#include <functional>
#include <string>
#include <vector>

#include "Automation.h"

enum class EReplayStep
{
    Dialog,
    MessageBox,
    Menu,
    Select,
    RightClick,
    Set,
    Check,
    Choose,
    Spin,
    Press,
    Expect,
};

// A stand and year key of the editor's views; an empty stand or year 0 leaves that part out.
struct SReplayKey
{
    std::string stand;
    int nYear = 0;
};

struct SReplayStep
{
    EReplayStep nKind = EReplayStep::Menu;
    int nId = 0;                     // dialog template, command or control id
    std::string text;                // set, messageBox, expect
    std::string caption;             // dialog, messageBox, expect
    bool bCaption = false;           // a caption is given
    bool bText = false;              // a text is given (expect)
    bool bChecked = false;           // check
    int nRows = -1;                  // expect: the control's row count, -1 unchecked
    int nAnswer = 0;                 // messageBox: IDOK, IDCANCEL, IDYES or IDNO
    int nDirection = 1;              // spin: +1 up, -1 down
    int nTimes = 1;                  // spin
    std::vector<std::string> rows;   // choose
    std::vector<SReplayKey> keys;    // select; rightClick (one)
    int nView = 0;                   // select, rightClick: the view control, 0 = the one shown
    bool bAt = false;                // rightClick at (nX, nY) of the view
    int nX = 0, nY = 0;
    int nCommand = 0;                // rightClick: the context-menu command, 0 = dismiss it
};

class CReplaySession final : public IWoxAutomation
{
public:
    // Bounds of an untrusted session.
    static constexpr qint64 kMaxFileBytes = 1 << 20;
    static constexpr size_t kMaxSteps = 10000;
    static constexpr int kMaxText = 4096;

    // Reads a session file; false with one line naming the file (and the step) otherwise.
    bool Load(const std::string& path, std::string& error);
    bool Parse(const QByteArray& json, std::string& error);
    const std::vector<SReplayStep>& Steps() const { return m_steps; }

    // Writes DIR/step-NNN.png after each step (and step-NNN-menu.png of a context menu).
    void SetScreens(const std::string& dir) { m_screens = dir; }

    // Installs the session as the automation handler, calls openTopWindow (which shows the first
    // window modally and returns once it has closed) and answers 0 when every step was carried
    // out, else 1 with Error() naming the step.
    int Run(const std::function<void()>& openTopWindow);
    const std::string& Error() const { return m_error; }

    void OnDialog(CWoxDialogDriver& driver) override;
    int OnMessageBox(const char* pszText, const char* pszCaption, UINT nType) override;
    int OnPopupMenu(CMenu& menu) override;

private:
    void Fail(size_t nStep, const std::string& what);
    // Carries out a step on the dialog; false with the reason.
    bool Carry(const SReplayStep& step, CWoxDialogDriver& driver, std::string& why);
    bool CarryViewClick(const SReplayStep& step, CWoxDialogDriver& driver, std::string& why);
    void Screen(size_t nStep);

    std::vector<SReplayStep> m_steps;
    size_t m_nNext = 0;
    bool m_bFailed = false;
    std::string m_error;
    std::string m_screens;
    std::vector<CWoxDialogDriver*> m_windows;   // the dialogs up, innermost last
    size_t m_nPopupStep = 0;                    // the right click waiting for its menu, 0 = none
    bool m_bPopupSeen = false;
};
