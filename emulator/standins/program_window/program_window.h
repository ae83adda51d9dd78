// The window of a stand-in program that runs until the user (or another program) closes it: a
// shown top-level window of the program's own class, and the message loop that keeps the
// program alive until WM_CLOSE has destroyed the window.
#pragma once

#include <windows.h>

// Shows the window, traces "<program>: <what it shows>", dispatches messages until the window is
// destroyed, traces "<program>: closed" and returns the exit code (0). Returns 1, after a trace
// line, when the window cannot be made.
int RunProgramWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR windowClass, LPCWSTR title,
                     LPCWSTR shown);
