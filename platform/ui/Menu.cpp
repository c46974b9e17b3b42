#include "Menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

#include "Automation.h"
#include "Resources.h"

CMenu::CMenu() : m_pMenu(std::make_unique<QMenu>()) {}

CMenu::~CMenu() = default;

BOOL CMenu::LoadMenu(int nId)
{
    const SWoxMenuTemplate* pTemplate = WoxFindMenuTemplate(nId);
    if (!pTemplate)
        return 0;
    m_pMenu = std::make_unique<QMenu>();
    m_subMenus.clear();
    m_commands.clear();

    std::vector<CMenu*> stack{this};
    for (int i = 0; i < pTemplate->nItems; ++i)
    {
        const SWoxMenuItem& item = pTemplate->pItems[i];
        CMenu* pCurrent = stack.back();
        if (item.nFlags & WOX_MF_END)
        {
            if (stack.size() > 1)
                stack.pop_back();
            continue;
        }
        if (item.nFlags & WOX_MF_SEPARATOR)
        {
            pCurrent->m_pMenu->addSeparator();
            continue;
        }
        const QString text = QString::fromUtf8(item.pszText ? item.pszText : "");
        if (item.nFlags & WOX_MF_POPUP)
        {
            auto pSub = std::make_unique<CMenu>();
            pSub->m_pMenu->setTitle(text);
            pCurrent->m_pMenu->addMenu(pSub->m_pMenu.get());
            CMenu* pRaw = pSub.get();
            pCurrent->m_subMenus.push_back(std::move(pSub));
            stack.push_back(pRaw);
            continue;
        }
        QAction* pAction = pCurrent->m_pMenu->addAction(text);
        pAction->setCheckable((item.nFlags & (WOX_MF_CHECKED | WOX_MF_RADIOCHECK)) != 0);
        pAction->setChecked(item.nFlags & WOX_MF_CHECKED);
        pAction->setEnabled(!(item.nFlags & WOX_MF_GRAYED));
        const int nCommand = item.nId;
        pAction->setData(nCommand);   // the command id, for automation over a menu bar
        QObject::connect(pAction, &QAction::triggered, pAction, [this, nCommand]() {
            if (m_onCommand)
                m_onCommand(nCommand);
        });
        for (CMenu* pLevel : stack)
            pLevel->m_commands[nCommand] = pAction;
    }
    return 1;
}

CMenu* CMenu::GetSubMenu(int nPos)
{
    return nPos >= 0 && nPos < static_cast<int>(m_subMenus.size()) ? m_subMenus[nPos].get() : nullptr;
}

int CMenu::GetMenuItemCount() const
{
    return static_cast<int>(m_pMenu->actions().size());
}

QAction* CMenu::Find(int nId) const
{
    auto it = m_commands.find(nId);
    return it == m_commands.end() ? nullptr : it->second;
}

UINT CMenu::CheckMenuItem(int nId, UINT nCheck)
{
    QAction* pAction = Find(nId);
    if (!pAction)
        return static_cast<UINT>(-1);
    UINT nOld = pAction->isChecked() ? MF_CHECKED : MF_UNCHECKED;
    pAction->setCheckable(true);
    pAction->setChecked(nCheck & MF_CHECKED);
    return nOld;
}

UINT CMenu::EnableMenuItem(int nId, UINT nEnable)
{
    QAction* pAction = Find(nId);
    if (!pAction)
        return static_cast<UINT>(-1);
    UINT nOld = pAction->isEnabled() ? MF_ENABLED : MF_GRAYED;
    pAction->setEnabled(!(nEnable & MF_GRAYED));
    return nOld;
}

BOOL CMenu::CheckMenuRadioItem(int nFirst, int nLast, int nId)
{
    if (!Find(nId))
        return 0;
    for (auto& [nCommand, pAction] : m_commands)
    {
        if (nCommand < nFirst || nCommand > nLast)
            continue;
        pAction->setCheckable(true);
        pAction->setChecked(nCommand == nId);
    }
    return 1;
}

UINT CMenu::GetMenuState(int nId) const
{
    QAction* pAction = Find(nId);
    if (!pAction)
        return static_cast<UINT>(-1);
    return (pAction->isChecked() ? MF_CHECKED : 0) | (pAction->isEnabled() ? 0 : MF_GRAYED);
}

std::string CMenu::GetMenuString(int nId) const
{
    QAction* pAction = Find(nId);
    if (!pAction)
        return std::string();
    QString text = pAction->text();
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.toStdString();
}

void CMenu::SetCommandHandler(std::function<void(int)> onCommand)
{
    m_onCommand = std::move(onCommand);
    for (auto& pSub : m_subMenus)
        pSub->SetCommandHandler(m_onCommand);
}

void CMenu::FillMenuBar(QMenuBar* pBar)
{
    for (auto& pSub : m_subMenus)
        pBar->addMenu(pSub->m_pMenu.get());
}

int CMenu::TrackPopupMenu(int x, int y, QWidget*)
{
    int nAutomated = 0;
    if (WoxAutomatePopupMenu(*this, &nAutomated))
    {
        QAction* pAction = Find(nAutomated);
        if (!pAction || !pAction->isEnabled())
            return 0;
        pAction->trigger();
        return nAutomated;
    }
    QAction* pChosen = m_pMenu->exec(QPoint(x, y));
    if (!pChosen)
        return 0;
    for (auto& [nCommand, pAction] : m_commands)
    {
        if (pAction == pChosen)
            return nCommand;
    }
    return 0;
}
