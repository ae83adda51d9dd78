// The sheet of TestPanel.cpl's applet 0: four pages, the first of which opens a modal dialog
// and lays itself out again from a wide template when the screen turns to landscape.
#pragma once

#include <windows.h>

// Runs the sheet modally, owned by `owner`, starting at `startPage` (the last page when beyond).
// Returns 1 once the sheet has run, 0 when it could not be shown.
LONG ShowTestSheet(HINSTANCE instance, HWND owner, int startPage);
