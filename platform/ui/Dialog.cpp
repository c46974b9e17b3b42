#include "Dialog.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include "DialogControls.h"
#include "Menu.h"
#include "Resources.h"

namespace
{
PFN_WoxDialogShown g_pfnShown = nullptr;
}

void WoxSetDialogShownHook(PFN_WoxDialogShown pfnShown)
{
    g_pfnShown = pfnShown;
}

// The Qt window of a CDialog: routes Escape, the close box and button clicks to the dialog.
class CDialogWidget final : public QDialog
{
public:
    CDialogWidget(CDialog* pOwner, QWidget* pParent) : QDialog(pParent), m_pOwner(pOwner) {}

    void reject() override
    {
        if (m_pOwner)
            m_pOwner->OnCancel();
        else
            QDialog::reject();
    }
    void accept() override
    {
        if (m_pOwner)
            m_pOwner->OnOK();
        else
            QDialog::accept();
    }

    CDialog* m_pOwner;
};

// The client area of a main window: reports its size and context-menu requests to the dialog.
class CDialogClientWidget final : public QWidget
{
public:
    CDialogClientWidget(CDialog* pOwner, QWidget* pParent) : QWidget(pParent), m_pOwner(pOwner) {}

    void resizeEvent(QResizeEvent* pEvent) override
    {
        QWidget::resizeEvent(pEvent);
        if (m_pOwner)
            m_pOwner->OnSize(width(), height());
    }
    void contextMenuEvent(QContextMenuEvent* pEvent) override
    {
        if (m_pOwner)
            m_pOwner->OnContextMenu(pEvent->globalPos().x(), pEvent->globalPos().y());
        pEvent->accept();
    }

    CDialog* m_pOwner;
};

CDialog::CDialog(int nTemplateId, CWnd* pParent) : m_nTemplateId(nTemplateId), m_pParent(pParent) {}

CDialog::~CDialog()
{
    DestroyWindow();
}

const CRuntimeClass* CDialog::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CDialog"};
    return &cls;
}

// Template rectangles are made for the fonts of the original platform: a one-line label whose
// text runs wider in this font would wrap into a line it has no room for. Such a label may grow
// to the right, up to the first control beside it or the dialog's edge, keeping its template.
int CDialog::SpareTextWidth(int nIndex, const QWidget& widget, const QFontMetrics& metrics) const
{
    const SWoxControlTemplate& ctl = m_pTemplate->pControls[nIndex];
    if (ctl.nKind != WOX_CTL_LTEXT || ctl.cy > 12 || !ctl.pszText)
        return 0;
    const int nNeeded = metrics.horizontalAdvance(static_cast<const QLabel&>(widget).text()) + 2 - DluToPixelX(ctl.cx);
    if (nNeeded <= 0)
        return 0;
    int nLimit = m_pTemplate->cx - 4;
    for (int i = 0; i < m_pTemplate->nControls; ++i)
    {
        const SWoxControlTemplate& other = m_pTemplate->pControls[i];
        const bool bSameRow = other.y < ctl.y + ctl.cy && ctl.y < other.y + other.cy;
        if (i != nIndex && bSameRow && other.x >= ctl.x + ctl.cx)
            nLimit = std::min(nLimit, other.x - 2);
    }
    return std::clamp(nNeeded, 0, std::max(0, DluToPixelX(nLimit) - DluToPixelX(ctl.x + ctl.cx)));
}

bool CDialog::BuildWindow()
{
    DestroyWindow();
    m_pTemplate = WoxFindDialogTemplate(m_nTemplateId);
    if (!m_pTemplate)
        return false;
    QWidget* pParentWidget = m_pParent ? m_pParent->GetWidget() : nullptr;
    if (!pParentWidget)
        pParentWidget = QApplication::activeModalWidget();
    auto* pDialog = new CDialogWidget(this, pParentWidget);
    m_pDialog = pDialog;
    pDialog->setWindowTitle(QString::fromUtf8(m_pTemplate->pszCaption ? m_pTemplate->pszCaption : ""));
    pDialog->setWindowModality(Qt::ApplicationModal);

    QFont font = QApplication::font();
    if (m_pTemplate->pszFont && *m_pTemplate->pszFont)
        font.setFamily(QString::fromUtf8(m_pTemplate->pszFont));
    if (m_pTemplate->nPointSize > 0)
        font.setPointSize(m_pTemplate->nPointSize);
    pDialog->setFont(font);
    // Dialog base units from the font: mean width of the alphabet (rounded) and line height.
    QFontMetrics metrics(font);
    m_nBaseX = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    m_nBaseY = metrics.height();
    SWoxControlBuild build;
    build.pParent = pDialog;
    if (m_bMainWindow)
    {
        pDialog->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                Qt::WindowCloseButtonHint);
        auto* pLayout = new QVBoxLayout(pDialog);
        pLayout->setContentsMargins(0, 0, 0, 0);
        pLayout->setSpacing(0);
        m_pMenuBar = new QMenuBar(pDialog);
        m_pMenuBar->setNativeMenuBar(false);
        pLayout->setMenuBar(m_pMenuBar);
        m_pClient = new CDialogClientWidget(this, pDialog);
        m_pClient->resize(DluToPixelX(m_pTemplate->cx), DluToPixelY(m_pTemplate->cy));
        m_pClient->setMinimumSize(DluToPixelX(60), DluToPixelY(40));
        pLayout->addWidget(m_pClient);
        build.pParent = m_pClient;
    }
    else
        pDialog->setFixedSize(DluToPixelX(m_pTemplate->cx), DluToPixelY(m_pTemplate->cy));
    std::vector<QWidget*> groupBoxes;
    for (int i = 0; i < m_pTemplate->nControls; ++i)
    {
        const SWoxControlTemplate& ctl = m_pTemplate->pControls[i];
        QWidget* pWidget = WoxMakeDialogControl(ctl, build);
        if (!pWidget)
            continue;
        int nHeight = DluToPixelY(ctl.cy);
        if (ctl.nKind == WOX_CTL_COMBOBOX || ctl.nKind == WOX_CTL_COMBOBOXEX)
            nHeight = pWidget->sizeHint().height();   // the template height includes the drop-down
        pWidget->setGeometry(DluToPixelX(ctl.x), DluToPixelY(ctl.y), DluToPixelX(ctl.cx) + SpareTextWidth(i, *pWidget, metrics), nHeight);
        pWidget->setEnabled(!(ctl.nStyle & WOX_WS_DISABLED));
        if (ctl.nStyle & WOX_WS_HIDDEN)
            pWidget->hide();
        if (ctl.nKind == WOX_CTL_GROUPBOX)
            groupBoxes.push_back(pWidget);
        if (ctl.nId > 0)
        {
            m_widgets[ctl.nId] = pWidget;
            m_controlIds.push_back(ctl.nId);
        }
        const int nId = ctl.nId;
        if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget))
            QObject::connect(pButton, &QAbstractButton::clicked, pDialog, [this, nId]() { CommandFromButton(nId); });
        else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
            QObject::connect(pEdit, &QLineEdit::textChanged, pDialog, [this, nId]() { OnNotify(nId, EN_CHANGE); });
        else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget))
            QObject::connect(pCombo, qOverload<int>(&QComboBox::activated), pDialog, [this, nId]() { OnNotify(nId, CBN_SELCHANGE); });
    }
    // Group frames are drawn behind the controls they frame.
    for (QWidget* pBox : groupBoxes)
        pBox->lower();
    Attach(pDialog);
    m_bEnded = false;
    m_nResult = IDCANCEL;
    return true;
}

void CDialog::CommandFromButton(int nId)
{
    if (nId == IDOK)
        OnOK();
    else if (nId == IDCANCEL)
        OnCancel();
    else
        OnCommand(nId);
}

intptr_t CDialog::DoModal()
{
    if (!BuildWindow())
        return -1;
    m_bModal = true;
    OnInitDialog();
    SizeMainWindow();
    if (!m_bEnded)
    {
        if (PFN_WoxDialogShown pfnShown = g_pfnShown)
        {
            QTimer::singleShot(0, m_pDialog, [this, pfnShown]() {
                pfnShown(*this);
                // A hook that leaves the dialog up would stall a batch run: it is cancelled.
                if (!m_bEnded)
                    EndDialog(IDCANCEL);
            });
        }
        m_pDialog->exec();
    }
    m_bModal = false;
    DestroyWindow();
    return m_nResult;
}

BOOL CDialog::Create()
{
    if (!BuildWindow())
        return 0;
    OnInitDialog();
    SizeMainWindow();
    if (m_pDialog && !m_bEnded)
        m_pDialog->show();
    return 1;
}

void CDialog::DestroyWindow()
{
    if (!m_pDialog)
        return;
    m_generic.clear();
    for (auto& [nId, pWnd] : m_bound)
    {
        pWnd->Detach();
        pWnd->SetDialogInfo(nullptr, nId);
    }
    m_bound.clear();
    m_widgets.clear();
    m_controlIds.clear();
    Detach();
    if (m_pClient)
        static_cast<CDialogClientWidget*>(m_pClient)->m_pOwner = nullptr;
    m_pClient = nullptr;
    m_pMenuBar = nullptr;
    QDialog* pDialog = m_pDialog;
    m_pDialog = nullptr;
    static_cast<CDialogWidget*>(pDialog)->m_pOwner = nullptr;
    delete pDialog;
}

void CDialog::EndDialog(int nResult)
{
    m_nResult = nResult;
    m_bEnded = true;
    if (m_pDialog)
    {
        if (m_bModal)
            m_pDialog->done(nResult);
        else
            m_pDialog->hide();
    }
}

CWnd* CDialog::GetDlgItem(int nId)
{
    if (auto it = m_bound.find(nId); it != m_bound.end())
        return it->second;
    if (auto it = m_generic.find(nId); it != m_generic.end())
        return it->second.get();
    auto itWidget = m_widgets.find(nId);
    if (itWidget == m_widgets.end())
        return nullptr;
    auto pWnd = std::make_unique<CWnd>();
    pWnd->Attach(itWidget->second);
    pWnd->SetDialogInfo(this, nId);
    return (m_generic[nId] = std::move(pWnd)).get();
}

BOOL CDialog::SubclassDlgItem(int nId, CWnd* pWnd)
{
    auto itWidget = m_widgets.find(nId);
    if (!pWnd || itWidget == m_widgets.end())
        return 0;
    m_generic.erase(nId);
    if (auto it = m_bound.find(nId); it != m_bound.end() && it->second != pWnd)
        it->second->Detach();
    pWnd->SetDialogInfo(this, nId);
    pWnd->Attach(itWidget->second);
    m_bound[nId] = pWnd;
    return 1;
}

void CDialog::ForgetControl(CWnd* pWnd)
{
    for (auto it = m_bound.begin(); it != m_bound.end(); ++it)
    {
        if (it->second == pWnd)
        {
            m_bound.erase(it);
            return;
        }
    }
}

std::vector<int> CDialog::GetControlIds() const
{
    return m_controlIds;
}

QDialog* CDialog::GetDialogWidget() const
{
    return m_pDialog;
}

void CDialog::NextDlgCtrl()
{
    if (!m_pDialog)
        return;
    QWidget* pStart = m_pDialog->focusWidget();
    if (!pStart)
        pStart = m_pDialog;
    for (QWidget* p = pStart->nextInFocusChain(); p && p != pStart; p = p->nextInFocusChain())
    {
        if (p != m_pDialog && m_pDialog->isAncestorOf(p) && (p->focusPolicy() & Qt::TabFocus) && p->isEnabled() &&
            p->isVisibleTo(m_pDialog))
        {
            p->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::SizeMainWindow()
{
    if (!m_pDialog || !m_pClient)
        return;
    const QSize client = m_pClient->size();
    m_pDialog->resize(client.width(), client.height() + m_pMenuBar->sizeHint().height());
    if (QLayout* pLayout = m_pDialog->layout())
        pLayout->activate();
}

void CDialog::SetMenu(CMenu* pMenu)
{
    if (!m_pMenuBar)
        return;
    m_pMenuBar->clear();
    if (pMenu)
        pMenu->FillMenuBar(m_pMenuBar);
}

QWidget* CDialog::GetClientWidget() const
{
    return m_pClient ? m_pClient : m_pDialog;
}

void CDialog::SetSmallIcon(int nIconId)
{
    if (!m_pDialog)
        return;
    QPixmap icon = WoxLoadIconPixmap(nIconId, 16);
    if (!icon.isNull())
        m_pDialog->setWindowIcon(QIcon(icon));
}

void CDialog::OnSize(int, int) {}

void CDialog::OnContextMenu(int, int) {}

BOOL CDialog::OnInitDialog()
{
    return 1;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(int)
{
    return 0;
}

BOOL CDialog::OnNotify(int, int)
{
    return 0;
}

bool CDialog::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (nMsg == WM_NEXTDLGCTL)
    {
        NextDlgCtrl();
        *pResult = 0;
        return true;
    }
    return CWnd::OnWndMsg(nMsg, wParam, lParam, pResult);
}
