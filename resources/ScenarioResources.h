#pragma once
// The component's dialog, menu and icon templates. Every dialog of the component registers them
// with the user-interface layer before it is shown, so they live in the component module, not in
// the layer.

#include "Resources.h"

// Registers the component's tables with the layer; later calls change nothing.
void WoxUseScenarioResources();

// The component's icons drawn at nSize pixels (a null pixmap for an unknown id).
QPixmap WoxDrawScenarioIcon(int nId, int nSize);
