#pragma once
// The trigger condition's dialogs for scripts/screens, filled over the built host (wox.ini): the
// Species Map Library's selection dialog with a search, the species subset dialog with species
// to add, and the trigger definition dialog with the stand variables listed.

#include <QPixmap>
#include <functional>

class QWidget;

QPixmap RenderSpeciesSelect(const std::function<QPixmap(QWidget*)>& grab);
QPixmap RenderSpeciesAdd(const std::function<QPixmap(QWidget*)>& grab);
QPixmap RenderTriggerDef(const std::function<QPixmap(QWidget*)>& grab);
