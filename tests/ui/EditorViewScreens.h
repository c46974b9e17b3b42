#pragma once
// The Scenario Editor's tree and grid filled by the load task from the demo's "Triggered
// Thinning" scenario over the demo forest's stands, for scripts/screens.

#include <QPixmap>
#include <functional>
#include <string>

class QWidget;

// nViewType 0 = tree, 1 = grid; nViewBy 0 = by stand, 1 = by year. grab frames the window.
QPixmap RenderEditorView(int nViewType, int nViewBy, int bHideUntreated, const std::function<QPixmap(QWidget*)>& grab);

enum class EEditorScreen
{
    NoFile,        // the window as it opens
    TreeByYear,    // the demo's "Fixed Thinning" open
    GridByStand,
    AllStands,     // grid by stand with untreated stands shown
    ContextMenu,   // over the tree by year
};

// The Scenario Editor window itself on the demo forest.
QPixmap RenderEditorWindow(EEditorScreen screen, const std::function<QPixmap(QWidget*)>& grab);
// The delete confirmation the editor asks for three records of the demo scenario.
std::string DemoDeleteConfirmation();
