#include "SpinButtonCtrl.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include "Dialog.h"

namespace
{

// Steps the up-down control that holds the handle; false when it is gone.
bool StepSpin(HWOXWND hSpin, int nDirection)
{
    auto* pSpin = dynamic_cast<CSpinButtonCtrl*>(CWnd::FromHandle(hSpin));
    if (pSpin)
        pSpin->Step(nDirection);
    return pSpin != nullptr;
}

class CUpDownWidget final : public QWidget
{
public:
    explicit CUpDownWidget(QWidget* pParent) : QWidget(pParent)
    {
        auto* pLayout = new QVBoxLayout(this);
        pLayout->setContentsMargins(0, 0, 0, 0);
        pLayout->setSpacing(0);
        for (const auto& [arrow, pszName, nDirection] : {std::tuple{Qt::UpArrow, "up", 1}, std::tuple{Qt::DownArrow, "down", -1}})
        {
            auto* pButton = new QToolButton(this);
            pButton->setObjectName(QString::fromLatin1(pszName));
            pButton->setArrowType(arrow);
            pButton->setAutoRepeat(true);
            pButton->setFocusPolicy(Qt::NoFocus);
            pButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            const int nStep = nDirection;
            QObject::connect(pButton, &QToolButton::clicked, this, [this, nStep]() { StepSpin(m_hSpin, nStep); });
            pLayout->addWidget(pButton);
        }
    }

    HWOXWND m_hSpin = 0;
};

// Up and Down in the buddy edit step the up-down control.
class CArrowKeyFilter final : public QObject
{
public:
    CArrowKeyFilter(HWOXWND hSpin, QObject* pParent) : QObject(pParent), m_hSpin(hSpin) {}

    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() != QEvent::KeyPress)
            return false;
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey != Qt::Key_Up && nKey != Qt::Key_Down)
            return false;
        // Without its up-down control the edit keeps the keys.
        return StepSpin(m_hSpin, nKey == Qt::Key_Up ? 1 : -1);
    }

private:
    HWOXWND m_hSpin;
};

// The position as text, with a comma between groups of three digits unless bPlain.
std::string FormatPosition(int nPos, int nBase, bool bPlain)
{
    if (nBase == 16)
    {
        char szHex[16];
        std::snprintf(szHex, sizeof szHex, "0x%04X", static_cast<unsigned>(nPos));
        return szHex;
    }
    std::string digits = std::to_string(static_cast<long long>(nPos) < 0 ? -static_cast<long long>(nPos) : nPos);
    if (!bPlain)
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
            digits.insert(static_cast<size_t>(i), 1, ',');
    return nPos < 0 ? "-" + digits : digits;
}

} // namespace

QWidget* WoxMakeUpDownWidget(QWidget* pParent, uint32_t nStyle)
{
    auto* p = new CUpDownWidget(pParent);
    p->setProperty("woxStyle", static_cast<uint>(nStyle));
    return p;
}

const CRuntimeClass* CSpinButtonCtrl::GetRuntimeClass() const
{
    static const CRuntimeClass cls{"CSpinButtonCtrl"};
    return &cls;
}

void CSpinButtonCtrl::OnAttached()
{
    if (auto* pWidget = dynamic_cast<CUpDownWidget*>(GetWidget()))
        pWidget->m_hSpin = GetSafeHwnd();
}

uint32_t CSpinButtonCtrl::Style() const
{
    QWidget* pWidget = GetWidget();
    return pWidget ? pWidget->property("woxStyle").toUInt() : 0;
}

void CSpinButtonCtrl::SetBuddy(CWnd* pBuddy)
{
    delete m_pKeyFilter.data();
    m_pBuddy = pBuddy;
    QWidget* pBuddyWidget = pBuddy ? pBuddy->GetWidget() : nullptr;
    if (pBuddyWidget && (Style() & WOX_UDS_ARROWKEYS))
    {
        // Owned by the buddy's widget, so it goes with it; it finds this control by its handle.
        m_pKeyFilter = new CArrowKeyFilter(GetSafeHwnd(), pBuddyWidget);
        pBuddyWidget->installEventFilter(m_pKeyFilter.data());
    }
}

void CSpinButtonCtrl::SetRange32(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
}

void CSpinButtonCtrl::GetRange32(int& nLower, int& nUpper) const
{
    nLower = m_nLower;
    nUpper = m_nUpper;
}

int CSpinButtonCtrl::SetPos32(int nPos)
{
    const int nOld = GetPos32();
    m_nPos = nPos;
    WriteBuddy();
    return nOld;
}

int CSpinButtonCtrl::GetPos32() const
{
    if (!m_pBuddy || !(Style() & WOX_UDS_SETBUDDYINT))
        return m_nPos;
    std::string text = m_pBuddy->GetWindowText();
    std::erase(text, ',');
    const char* pszBegin = text.c_str();
    char* pszEnd = nullptr;
    errno = 0;
    const long long nValue = std::strtoll(pszBegin, &pszEnd, m_nBase);
    // Text that is not a whole number, or one out of the integer's range, keeps the position.
    if (pszEnd == pszBegin || *pszEnd != 0 || errno == ERANGE || nValue < INT32_MIN || nValue > INT32_MAX)
        return m_nPos;
    return static_cast<int>(nValue);
}

void CSpinButtonCtrl::Step(int nDirection)
{
    NMUPDOWN notify{{GetSafeHwnd(), static_cast<uintptr_t>(GetDlgCtrlID()), UDN_DELTAPOS}, GetPos32(), nDirection};
    if (CDialog* pOwner = GetOwnerDialog())
    {
        if (pOwner->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&notify)) != 0)
            return;
    }
    const long long nNext = static_cast<long long>(notify.iPos) + notify.iDelta;
    m_nPos = static_cast<int>(std::clamp<long long>(nNext, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper)));
    WriteBuddy();
}

void CSpinButtonCtrl::WriteBuddy()
{
    if (m_pBuddy && (Style() & WOX_UDS_SETBUDDYINT))
        m_pBuddy->SetWindowText(FormatPosition(m_nPos, m_nBase, Style() & WOX_UDS_NOTHOUSANDS).c_str());
}
