#pragma once
// Whether the user interface has a screen to show windows on: a display server named in the
// environment, or a Qt platform that draws to a screen. The "offscreen" and "minimal"
// platforms (tests, batch runs) have none, so no one could answer a dialog there.
bool WoxHasDisplay();
