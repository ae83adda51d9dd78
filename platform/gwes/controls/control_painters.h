// The WM_PAINT of each standard control: each paints the whole control from what it shows now
// (asked through the control's own messages), with the colours its parent chooses.
#pragma once

#include <windows.h>

namespace tovarin::gwes::controls {

void PaintButton(HWND hwnd);
void PaintStatic(HWND hwnd);
void PaintEdit(HWND hwnd);
void PaintComboBox(HWND hwnd);
void PaintListBox(HWND hwnd);
void PaintListView(HWND hwnd);
void PaintTrackbar(HWND hwnd);
void PaintTab(HWND hwnd);

// A filled circle (a radio button's dot) and a ring one pixel wide, inside `box`.
void FillCircle(HDC dc, const RECT& box, COLORREF color);
void FrameCircle(HDC dc, const RECT& box, COLORREF color);

}  // namespace tovarin::gwes::controls
