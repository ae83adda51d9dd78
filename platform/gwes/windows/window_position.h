// Moving and sizing windows (SetWindowPos and everything built on it).
#pragma once

#include <windows.h>

namespace tovarin::gwes {

// Without the lock: applies one position with the documented messages.
BOOL ApplyWindowPos(WINDOWPOS position);

// DefWindowProc's answer to WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE for what changed.
void DefaultWindowPosChanged(HWND hwnd, const WINDOWPOS& position);

}  // namespace tovarin::gwes
