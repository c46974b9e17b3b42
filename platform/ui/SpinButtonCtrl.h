#pragma once
// The up-down control: two arrow buttons that step an integer position within a range and, with
// a buddy edit, show the position as the buddy's text. Before each step the owner dialog gets
// UDN_DELTAPOS through WM_NOTIFY and may change the step or refuse it. User-interface thread
// only.

#include <cstdint>

#include "Wnd.h"

class QWidget;

inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr int UDN_DELTAPOS = -722;

// Header of a notification sent with WM_NOTIFY (wParam: the control id, lParam: the header).
struct NMHDR
{
    HWOXWND hwndFrom;
    uintptr_t idFrom;
    int code;
};

// UDN_DELTAPOS: the position before the step and the requested change, which the handler may
// replace. The handler answers non-zero in *pResult to refuse the step.
struct NMUPDOWN
{
    NMHDR hdr;
    int iPos;
    int iDelta;
};

// Template styles of the up-down control.
enum : uint32_t
{
    WOX_UDS_SETBUDDYINT = 0x0002,   // the buddy's text shows the position
    WOX_UDS_ARROWKEYS = 0x0020,     // Up and Down keys in the buddy step too
    WOX_UDS_NOTHOUSANDS = 0x0080,   // no thousands separators in the buddy's text
};

class CSpinButtonCtrl : public CWnd
{
public:
    // The edit whose text shows the position; it must outlive this control's window.
    void SetBuddy(CWnd* pBuddy);
    CWnd* GetBuddy() const { return m_pBuddy; }
    void SetBase(int nBase) { m_nBase = nBase == 16 ? 16 : 10; }
    int GetBase() const { return m_nBase; }
    // The range, lower limit first; a step never leaves it.
    void SetRange32(int nLower, int nUpper);
    void GetRange32(int& nLower, int& nUpper) const;
    // Sets the position as given (an owner may show a value outside the range) and writes it to
    // the buddy. Answers the old one.
    int SetPos32(int nPos);
    // The position, read from the buddy's text when it holds a number.
    int GetPos32() const;

    // One click on an arrow: nDirection +1 up, -1 down. Notifies the owner and moves.
    void Step(int nDirection);

    const CRuntimeClass* GetRuntimeClass() const override;

protected:
    void OnAttached() override;

private:
    uint32_t Style() const;
    void WriteBuddy();

    CWnd* m_pBuddy = nullptr;
    QPointer<QObject> m_pKeyFilter;
    int m_nBase = 10;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};

// The widget of an up-down template control: an up and a down arrow button (object names "up"
// and "down"), stepping the CSpinButtonCtrl bound to it.
QWidget* WoxMakeUpDownWidget(QWidget* pParent, uint32_t nStyle);
