// The window that the recorder stand-ins show: a top-level window of the system's dialog class,
// subclassed so that the stand-in sees the messages the services send it, and the message loop
// that keeps the program alive until the window is destroyed. The window fills the screen under
// the taskbar and shows its title, what the recorder does now and for how long.
#pragma once

#include <windows.h>

// Shows a "Dialog" window titled `title` whose messages go to `procedure` first; the procedure
// passes the rest on with CallRecorderDialogProc. Returns NULL, after a trace line naming
// `program`, when the window cannot be made.
HWND ShowRecorderWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR title, WNDPROC procedure);

// Shows what the recorder does now ("Запись сообщения"); the elapsed time starts again from 0.
void ShowRecorderActivity(HWND window, LPCWSTR activity);

// The dialog class's own handling (and the window's painting), for the messages a recorder's
// procedure does not take.
LRESULT CallRecorderDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Dispatches the thread's messages until the window's WM_DESTROY posts WM_QUIT; then traces
// "<program>: <endText>" and returns the exit code.
int RunRecorderMessageLoop(LPCWSTR program, LPCWSTR endText);
