#pragma once
// The triggered treatment dialog over the demo forest's stands, and the host's progress window,
// for scripts/screens.

#include <QPixmap>
#include <functional>

class QWidget;

// bEditMode 0: a new triggered treatment with three stands chosen; 1: an existing one opened for
// modification. grab frames the window.
QPixmap RenderTriggered(int bEditMode, const std::function<QPixmap(QWidget*)>& grab);
// The progress window as the save task shows it, part way through.
QPixmap RenderProgress(const std::function<QPixmap(QWidget*)>& grab);
