// The device's windows and their tree as the emulator sees them (for the console's "expect window
// CLASS TITLE" and the screen of the web page). Each answer is a snapshot: taken under the window
// manager's lock, it does not change afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windef.h>

namespace tovarin::gwes {

struct WindowInfo {
    HWND hwnd = nullptr;
    std::wstring window_class;
    std::wstring title;
    bool visible = false;    // WS_VISIBLE of the window itself
    uint32_t thread_id = 0;  // the thread that owns it
    HWND owner = nullptr;    // top-level windows: the owner window, if any
};

// Top-level windows in z-order, topmost first (the order of EnumWindows).
std::vector<WindowInfo> TopLevelWindows();

// The children of a window in z-order (the order of GW_CHILD, GW_HWNDNEXT); empty when the
// window has none or is gone.
std::vector<WindowInfo> ChildWindows(HWND parent);

// The window with the keyboard focus in the foreground window, as keys reach it; else the
// foreground window itself; null when nothing is in the foreground.
HWND FocusedWindow();

}  // namespace tovarin::gwes
