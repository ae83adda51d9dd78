// The window of a stand-in program that runs until the user (or another program) closes it: a
// full-screen window of the program's own class between the taskbar and an empty menu bar, with
// the shell's OK button in its caption, showing a page of text that scrolls when it is longer
// than the window; and the message loop that keeps the program alive until the window is gone.
#pragma once

#include <windows.h>

#include "text_page.h"

// Shows the window with its page, traces "<program>: <what it shows>", dispatches messages until
// the window is destroyed (WM_CLOSE, or a tap on the caption's OK), traces "<program>: closed"
// and returns the exit code (0). Returns 1, after a trace line, when the window cannot be made.
// The blocks must outlive the window.
int RunProgramWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR windowClass, LPCWSTR title,
                     LPCWSTR shown, const PageBlock* blocks, int blockCount);
