// Window geometry with the kernel lock held: where a window's frame and client area lie.
//
// A child window's position is kept in its parent's client coordinates, a top-level window's
// in screen coordinates. The non-client area is the border (WS_BORDER without a caption: 1 px;
// WS_EX_CLIENTEDGE: 2 px more) and the window's own scroll bars. A top-level window's caption is
// not part of it: the phone shows a top-level window's title in the taskbar.
#pragma once

#include <windows.h>

#include "gwes/windows/window.h"

namespace tovarin::gwes {

class WindowManager;

inline constexpr int kScrollBarSize = 26;  // SM_CXVSCROLL / SM_CYHSCROLL at 192 dpi
inline constexpr int kTaskbarHeight = 52;
inline constexpr int kMenuBarHeight = 52;

// The client rectangle's offset in the window and its size.
RECT ClientRectInWindow(const Window& window);
// The window rectangle in screen coordinates.
RECT WindowRectOnScreen(const Window& window);

// A group box only frames the controls inside it: it is transparent to the stylus (the hit test
// answers HTTRANSPARENT) and covers none of its siblings on the screen, whatever the z-order.
bool IsGroupBox(const Window& window);
// The screen position of the client area's top-left corner.
POINT ClientOriginOnScreen(const Window& window);
// The rectangle of the vertical scroll bar in window coordinates; empty when it has none.
RECT VerticalScrollBarInWindow(const Window& window);

// The deepest shown window under a screen point, top-level windows in z-order, children in
// z-order. A disabled child is not entered: the point belongs to its parent, as nothing reaches
// a disabled window. Null when the point is on no shown window.
Window* WindowAtPoint(WindowManager& wm, POINT screen);

// Whether the window and every window above it are shown and enabled.
bool ShownAndEnabled(const Window& window);

// The work area: the screen without the taskbar and the menu bar.
RECT WorkArea(const WindowManager& wm);

}  // namespace tovarin::gwes
