// A window's frame (non-client area): the one pixel border of WS_BORDER, the sunken edge of
// WS_EX_CLIENTEDGE and the window's own scroll bars (arrow buttons at both ends, the grey thumb
// on a light track). Painted after the window's client area.
#pragma once

#include <windows.h>

namespace tovarin::gwes {

void PaintWindowFrame(HWND hwnd);

}  // namespace tovarin::gwes
