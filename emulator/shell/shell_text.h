// Text and taps in the shell's own windows (the Today screen, the call history): one line of
// text in the phone's UI face (Tahoma, a pixel height, regular or bold), and a row that tells its
// parent of a tap as a button would.
#pragma once

#include <windows.h>

#include <string>

namespace tovarin::emulator::phone_shell {

// Draws `text` on one line, vertically centred in `place`, cut with an ellipsis when too long;
// `align` is DT_LEFT, DT_CENTER or DT_RIGHT.
void DrawShellLine(HDC dc, const std::wstring& text, RECT place, int height, bool bold,
                   COLORREF colour, UINT align);

// Posts WM_COMMAND (BN_CLICKED) with the child's id to its parent.
void TellParentOfTap(HWND child);

}  // namespace tovarin::emulator::phone_shell
