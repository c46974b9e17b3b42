#include "ProgressDlg.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <new>

#include "CommonControlResources.h"
#include "Dialog.h"
#include "Resources.h"

namespace
{
// Asks the progress window to show the latest state; carries no block.
constexpr UINT WM_WOX_PROGRESS_REFRESH = WM_USER + 200;
}

// The window of one DoModal. User-interface thread.
class CProgressWnd final : public CDialog
{
public:
    CProgressWnd(CWoxProgressDlg& owner, CWnd* pParent) : CDialog(IDD_WOX_PROGRESS, pParent), m_owner(owner) {}

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        // The bar takes the place the template keeps for it.
        if (CWnd* pPlace = GetDlgItem(IDC_WOX_PROGRESS_BAR); pPlace && pPlace->GetWidget())
        {
            QWidget* pPlaceWidget = pPlace->GetWidget();
            m_pBar = new QProgressBar(pPlaceWidget->parentWidget());
            m_pBar->setGeometry(pPlaceWidget->geometry());
            m_pBar->setTextVisible(false);
            m_pBar->show();
        }
        m_owner.WindowUp(GetSafeHwnd());
        Refresh();
        return 1;
    }
    // Neither Enter nor Escape nor the close box ends the window: only Close does.
    void OnOK() override {}
    void OnCancel() override {}

    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (nMsg != WM_WOX_PROGRESS_REFRESH)
            return CDialog::OnWndMsg(nMsg, wParam, lParam, pResult);
        Refresh();
        *pResult = 0;
        return true;
    }

    QEventLoop* m_pLoop = nullptr;

private:
    void Refresh()
    {
        const CWoxProgressDlg::SState state = m_owner.TakeState();
        if (CWnd* pText = GetDlgItem(IDC_WOX_PROGRESS_TEXT))
            pText->SetWindowText(state.text.c_str());
        if (m_pBar)
        {
            // An empty range would make Qt show a busy bar.
            m_pBar->setRange(state.nLow, state.nHigh > state.nLow ? state.nHigh : state.nLow + 1);
            m_pBar->setValue(state.nPos);
        }
        if (state.bClosed && !IsEnded())
        {
            EndDialog(IDOK);
            if (m_pLoop)
                m_pLoop->quit();
        }
    }

    CWoxProgressDlg& m_owner;
    QPointer<QProgressBar> m_pBar;   // a child of the window, gone with it
};

CWoxProgressDlg::CWoxProgressDlg(HWOXWND hParent) : m_hParent(hParent) {}

void CWoxProgressDlg::AddReference()
{
    m_nReferences.fetch_add(1, std::memory_order_relaxed);
}

void CWoxProgressDlg::Release()
{
    if (m_nReferences.fetch_sub(1, std::memory_order_acq_rel) <= 1)
        delete this;
}

int CWoxProgressDlg::Create(IDynamicPtrTemplate<IDynamic>)
{
    WoxUseCommonControlResources();
    return WoxFindDialogTemplate(IDD_WOX_PROGRESS) ? 1 : 0;
}

void CWoxProgressDlg::Close()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_state.bClosed = true;
    RequestRefreshLocked();
}

int CWoxProgressDlg::DoModal()
{
    WoxUseCommonControlResources();
    // Shown by hand rather than through CDialog::DoModal: the window has nothing to answer, so
    // automation must not end it before the work it shows is done.
    CProgressWnd window(*this, CWnd::FromHandle(m_hParent));
    const bool bShown = window.Create() != 0;
    if (bShown && !window.IsEnded())
    {
        QEventLoop loop;
        window.m_pLoop = &loop;
        loop.exec();
        window.m_pLoop = nullptr;
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_hWnd = 0;
        m_bReady = true;
    }
    window.DestroyWindow();
    return bShown ? 1 : 0;
}

int CWoxProgressDlg::IsReady()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bReady ? 1 : 0;
}

void CWoxProgressDlg::SetText(const char* pszText)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_state.text = pszText ? pszText : "";
    RequestRefreshLocked();
}

void CWoxProgressDlg::SetRange(int nLow, int nHigh)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_state.nLow = nLow;
    m_state.nHigh = nHigh;
    m_state.nPos = nLow;
    RequestRefreshLocked();
}

void CWoxProgressDlg::StepIt()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_state.nPos < m_state.nHigh)
        ++m_state.nPos;
    RequestRefreshLocked();
}

void CWoxProgressDlg::WindowUp(HWOXWND hWnd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_hWnd = hWnd;
    m_bReady = true;
}

CWoxProgressDlg::SState CWoxProgressDlg::TakeState()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bRefreshPending = false;
    return m_state;
}

void CWoxProgressDlg::RequestRefreshLocked()
{
    // One refresh at a time is enough: it shows whatever the state is when it runs. A window gone
    // meanwhile drops the message.
    if (m_hWnd && !m_bRefreshPending)
        m_bRefreshPending = ::PostMessage(m_hWnd, WM_WOX_PROGRESS_REFRESH, 0, 0) != 0;
}

IProgressDlg* WoxCreateProgressDlg(HWOXWND hParent)
{
    return new (std::nothrow) CWoxProgressDlg(hParent);
}
