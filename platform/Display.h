#pragma once
// Whether the user interface has a screen to show windows on: a display server named in the
// environment, or a Qt platform that draws to a screen. The "offscreen" and "minimal"
// platforms (tests, batch runs) have none, so no one could answer a dialog there.
bool WoxHasDisplay();

// Gives the user interface a private runtime folder when the session names none (batch runs,
// containers, su): XDG_RUNTIME_DIR is set to a folder of this user with mode 0700 under the
// temporary folder, so the toolkit neither complains about its absence nor falls back to a shared
// path. A folder in the way that is not this user's own private folder is left alone. Call before
// the Qt application object is made, while the process has a single thread.
void WoxPrepareRuntimeDir();
