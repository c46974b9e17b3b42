#pragma once
// The widgets of a dialog template's controls: one small maker per control kind. User-interface
// thread only.

#include "DialogTemplate.h"

class QButtonGroup;
class QWidget;

// What the makers share while one dialog is built: radio buttons in a row form one group until a
// button with WOX_WS_GROUP starts the next, and any other control ends the row.
struct SWoxControlBuild
{
    QWidget* pParent = nullptr;
    QButtonGroup* pRadioGroup = nullptr;
};

// The widget of one control, made a child of build.pParent; none for an unknown kind. Position,
// size, enabled and hidden states are the caller's.
QWidget* WoxMakeDialogControl(const SWoxControlTemplate& ctl, SWoxControlBuild& build);
