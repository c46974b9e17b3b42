#pragma once
// The Scenario Editor's tree and grid filled by the load task from the demo's "Triggered
// Thinning" scenario over the demo forest's stands, for scripts/screens.

#include <QPixmap>
#include <functional>

class QWidget;

// nViewType 0 = tree, 1 = grid; nViewBy 0 = by stand, 1 = by year. grab frames the window.
QPixmap RenderEditorView(int nViewType, int nViewBy, int bHideUntreated, const std::function<QPixmap(QWidget*)>& grab);
