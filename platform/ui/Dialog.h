#pragma once
// Dialogs built from templates, with the classic life cycle: the window exists from
// OnInitDialog until the dialog ends; DoModal answers the code given to EndDialog. Enter presses
// the default button (OK), Escape and the close box cancel. User-interface thread only.

#include <map>
#include <memory>

#include "DialogTemplate.h"
#include "Wnd.h"

class QDialog;
class QFontMetrics;
class QMenuBar;
class CDialog;
class CMenu;

// Called on a modal dialog once it is up and its OnInitDialog has run; a dialog the hook leaves
// open is cancelled when it returns. The automation hook (Automation.h) sets it; none = no call.
typedef void (*PFN_WoxDialogShown)(CDialog& dialog);
void WoxSetDialogShownHook(PFN_WoxDialogShown pfnShown);

class CDialog : public CWnd
{
public:
    explicit CDialog(int nTemplateId, CWnd* pParent = nullptr);
    ~CDialog() override;

    // Shows the dialog application-modal and answers the EndDialog code (IDOK, IDCANCEL, ...),
    // -1 when the template is unknown.
    virtual intptr_t DoModal();
    // Makes the window without running it (for rendering and tests): builds the controls,
    // calls OnInitDialog and shows the dialog. False when the template is unknown.
    BOOL Create();
    // Destroys the window made by Create (DoModal does this itself).
    void DestroyWindow();

    void EndDialog(int nResult);
    // True from EndDialog until the next Create or DoModal.
    bool IsEnded() const { return m_bEnded; }

    int GetTemplateId() const { return m_nTemplateId; }
    const SWoxDialogTemplate* GetTemplate() const { return m_pTemplate; }
    // The control with the id, or none.
    CWnd* GetDlgItem(int nId);
    // Binds a control of the template to a window object of the caller's class (its handlers,
    // its messages). The object must outlive the window or be destroyed before it.
    BOOL SubclassDlgItem(int nId, CWnd* pWnd);
    // Every control id of the template that made a widget, in template order.
    std::vector<int> GetControlIds() const;

    QDialog* GetDialogWidget() const;
    CWnd* GetParent() const { return m_pParent; }

    // A main window: before Create or DoModal, makes the window resizable with minimise and
    // maximise boxes, a menu bar above the controls and a client area that follows the window's
    // size (OnSize). The client area starts at the template's size.
    void SetMainWindowStyle() { m_bMainWindow = true; }
    // Shows the menu's pop-ups in the menu bar (none empties it); the menu must outlive its use.
    void SetMenu(CMenu* pMenu);
    QMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // The widget that holds the controls (the dialog itself unless it is a main window).
    QWidget* GetClientWidget() const;
    void SetSmallIcon(int nIconId);

    // Moves the focus to the next control in tab order.
    void NextDlgCtrl();

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // A button other than OK and Cancel; answer false when not handled.
    virtual BOOL OnCommand(int nId);
    // A control's notification (NM_DBLCLK, ...); answer false when not handled.
    virtual BOOL OnNotify(int nIdCtrl, int nCode);
    // The client area of a main window has a new size (pixels).
    virtual void OnSize(int nWidth, int nHeight);
    // A context menu is asked for at a screen point, over the client area or one of its controls.
    virtual void OnContextMenu(int x, int y);

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    const CRuntimeClass* GetRuntimeClass() const override;

    // Pixels of a rectangle in dialog units of this dialog's font.
    int DluToPixelX(int x) const { return (x * m_nBaseX + 2) / 4; }
    int SpareTextWidth(int nIndex, const QWidget& widget, const QFontMetrics& metrics) const;
    int DluToPixelY(int y) const { return (y * m_nBaseY + 4) / 8; }

private:
    friend class CDialogWidget;
    friend class CWnd;
    // A subclassed control object is going away before the dialog's window.
    void ForgetControl(CWnd* pWnd);
    bool BuildWindow();
    // A main window takes its final size once OnInitDialog has attached its menu.
    void SizeMainWindow();
    void CommandFromButton(int nId);

    int m_nTemplateId;
    const SWoxDialogTemplate* m_pTemplate = nullptr;
    CWnd* m_pParent;
    QDialog* m_pDialog = nullptr;
    int m_nBaseX = 6;
    int m_nBaseY = 13;
    bool m_bEnded = false;
    bool m_bModal = false;
    bool m_bMainWindow = false;
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    int m_nResult = IDCANCEL;
    std::vector<int> m_controlIds;
    std::map<int, QWidget*> m_widgets;
    std::map<int, CWnd*> m_bound;                       // subclassed controls (not owned)
    std::map<int, std::unique_ptr<CWnd>> m_generic;     // plain wrappers made on demand
};
