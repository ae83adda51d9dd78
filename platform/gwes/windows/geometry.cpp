#include "gwes/windows/geometry.h"

#include <algorithm>

#include "gwes/controls/standard_controls.h"
#include "gwes/window_manager.h"
#include "gwes/windows/window_class.h"

namespace tovarin::gwes {
namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

RECT ClientRectOnScreen(const Window& window);

Window* DeepestAt(Window& window, POINT screen) {
    // Children are clipped to the client area: a point on the frame or on a scroll bar is the
    // window's own, whatever child reaches under it.
    if (!Contains(ClientRectOnScreen(window), screen)) {
        return &window;
    }
    Window* transparent = nullptr;
    for (Window* child : window.children) {
        if (!child->Visible() || !Contains(WindowRectOnScreen(*child), screen)) {
            continue;
        }
        // A tap reaches the sibling under a group box (the radio button it frames), and the box
        // only when nothing else is there.
        if (IsGroupBox(*child)) {
            transparent = transparent ? transparent : child;
            continue;
        }
        if (child->style & WS_DISABLED) {
            return &window;
        }
        return DeepestAt(*child, screen);
    }
    if (transparent && !(transparent->style & WS_DISABLED)) {
        return DeepestAt(*transparent, screen);
    }
    return &window;
}

}  // namespace

bool IsGroupBox(const Window& window) {
    // A built-in class keeps the name it was registered with, so an exact comparison will do
    // (this is asked for every sibling of every window that is painted).
    return window.window_class && window.window_class->built_in &&
           window.window_class->name == controls::kButtonClass &&
           (window.style & 0x0F) == BS_GROUPBOX;
}

RECT ClientRectInWindow(const Window& window) {
    int border = 0;
    if ((window.style & WS_CAPTION) == WS_BORDER) {
        border += 1;
    }
    if (window.ex_style & WS_EX_CLIENTEDGE) {
        border += 2;
    }
    RECT client{border, border, window.width - border, window.height - border};
    if (window.style & WS_VSCROLL) {
        client.right -= kScrollBarSize;
    }
    if (window.style & WS_HSCROLL) {
        client.bottom -= kScrollBarSize;
    }
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

POINT ClientOriginOnScreen(const Window& window) {
    RECT frame = WindowRectOnScreen(window);
    RECT client = ClientRectInWindow(window);
    return POINT{frame.left + client.left, frame.top + client.top};
}

namespace {

RECT ClientRectOnScreen(const Window& window) {
    const POINT origin = ClientOriginOnScreen(window);
    const RECT client = ClientRectInWindow(window);
    return RECT{origin.x, origin.y, origin.x + client.right - client.left,
                origin.y + client.bottom - client.top};
}

}  // namespace

RECT WindowRectOnScreen(const Window& window) {
    POINT origin{window.x, window.y};
    if (window.parent) {
        POINT parent = ClientOriginOnScreen(*window.parent);
        origin.x += parent.x;
        origin.y += parent.y;
    }
    return RECT{origin.x, origin.y, origin.x + window.width, origin.y + window.height};
}

RECT VerticalScrollBarInWindow(const Window& window) {
    if (!(window.style & WS_VSCROLL)) {
        return RECT{};
    }
    RECT client = ClientRectInWindow(window);
    return RECT{client.right, client.top, client.right + kScrollBarSize, client.bottom};
}

Window* WindowAtPoint(WindowManager& wm, POINT screen) {
    for (Window* top : wm.windows().top_level()) {
        if (top->Visible() && Contains(WindowRectOnScreen(*top), screen)) {
            return DeepestAt(*top, screen);
        }
    }
    return nullptr;
}

bool ShownAndEnabled(const Window& window) {
    for (const Window* each = &window; each; each = each->parent) {
        if (!each->Visible() || (each->style & WS_DISABLED)) {
            return false;
        }
    }
    return true;
}

RECT WorkArea(const WindowManager& wm) {
    return RECT{0, kTaskbarHeight, wm.screen_width(), wm.screen_height() - kMenuBarHeight};
}

}  // namespace tovarin::gwes
