#include "host/stylus.h"

#include <algorithm>

#include "gwes/input/focus.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "gwes/windows/scroll_thumb.h"

namespace tovarin::gwes {
namespace {

// A touch that works a scroll bar rather than a window.
struct ScrollTouch {
    HWND hwnd = nullptr;
    bool on_thumb = false;
    int grab_offset = 0;  // from the thumb's top to the point that was pressed
};

struct StylusState {
    HWND target = nullptr;  // the window that got the press
    ScrollTouch scroll;
};

StylusState& State() {
    static StylusState state;  // guarded by the kernel lock
    return state;
}

int PositionAt(const ThumbGeometry& geometry, int thumb_top) {
    const int travel = geometry.track_length - geometry.thumb_length;
    const int span = geometry.largest - geometry.min;
    if (travel <= 0 || span <= 0) {
        return geometry.min;
    }
    // The first position whose thumb lies at or below this place (the inverse of ThumbOf).
    const int offset = std::clamp(thumb_top - geometry.track_top, 0, travel);
    return geometry.min + static_cast<int>((int64_t{offset} * span + travel - 1) / travel);
}

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

// Kernel lock held: the window that a press at the point reaches, or null.
Window* Reached(WindowManager& wm, POINT screen) {
    Window* window = WindowAtPoint(wm, screen);
    if (!window || !ShownAndEnabled(*window)) {
        return nullptr;
    }
    return window;
}

// Kernel lock held.
void PostMouse(WindowManager& wm, Window& window, UINT message, WPARAM keys, POINT screen) {
    POINT origin = ClientOriginOnScreen(window);
    PostToWindow(
        wm, window, message, keys,
        MAKELPARAM(static_cast<WORD>(screen.x - origin.x), static_cast<WORD>(screen.y - origin.y)));
}

void PostScroll(WindowManager& wm, Window& window, int code, int pos) {
    PostToWindow(wm, window, WM_VSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
}

Window* TopLevelOf(Window* window) {
    while (window && window->parent) {
        window = window->parent;
    }
    return window;
}

}  // namespace

HWND StylusTarget(POINT screen) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = Reached(wm, screen);
    return window ? window->handle : nullptr;
}

HWND StylusDown(POINT screen) {
    WindowManager& wm = WindowManager::Current();
    HWND bring_forward = nullptr;
    HWND result = nullptr;
    {
        auto lock = wm.Lock();
        StylusState& state = State();
        state = StylusState{};
        Window* window = Reached(wm, screen);
        if (!window) {
            return nullptr;
        }
        result = window->handle;
        Window* top = TopLevelOf(window);
        // A pop-up that never activates (a combo box's dropped list) leaves the foreground as
        // it is.
        if (wm.foreground() != top->handle && !(top->ex_style & WS_EX_NOACTIVATE)) {
            bring_forward = top->handle;
        }
        if (std::optional<ThumbGeometry> thumb = ThumbOf(*window);
            thumb && Inside(thumb->bar, screen)) {
            state.scroll.hwnd = window->handle;
            const ScrollBarState& bar = window->scroll[SB_VERT];
            if (screen.y < thumb->track_top) {
                PostScroll(wm, *window, SB_LINEUP, 0);
            } else if (screen.y >= thumb->track_top + thumb->track_length) {
                PostScroll(wm, *window, SB_LINEDOWN, 0);
            } else if (screen.y < thumb->thumb_top) {
                PostScroll(wm, *window, SB_PAGEUP, 0);
            } else if (screen.y >= thumb->thumb_top + thumb->thumb_length) {
                PostScroll(wm, *window, SB_PAGEDOWN, 0);
            } else {
                state.scroll.on_thumb = true;
                state.scroll.grab_offset = screen.y - thumb->thumb_top;
                window->scroll[SB_VERT].track_pos = bar.pos;
            }
        } else {
            state.target = window->handle;
            PostMouse(wm, *window, WM_LBUTTONDOWN, MK_LBUTTON, screen);
        }
    }
    if (bring_forward) {
        BringToForeground(bring_forward);
    }
    return result;
}

HWND StylusMove(POINT screen) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    StylusState& state = State();
    if (state.scroll.hwnd) {
        Window* window = wm.windows().Find(state.scroll.hwnd);
        if (!window || !state.scroll.on_thumb) {
            return window ? window->handle : nullptr;
        }
        if (std::optional<ThumbGeometry> thumb = ThumbOf(*window)) {
            int pos = PositionAt(*thumb, screen.y - state.scroll.grab_offset);
            window->scroll[SB_VERT].track_pos = pos;
            PostScroll(wm, *window, SB_THUMBTRACK, pos);
        }
        return window->handle;
    }
    Window* window = wm.windows().Find(wm.capture() ? wm.capture() : state.target);
    if (!window) {
        return nullptr;
    }
    PostMouse(wm, *window, WM_MOUSEMOVE, MK_LBUTTON, screen);
    return window->handle;
}

HWND StylusUp(POINT screen) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    StylusState& state = State();
    StylusState touch = state;
    state = StylusState{};
    if (touch.scroll.hwnd) {
        Window* window = wm.windows().Find(touch.scroll.hwnd);
        if (!window) {
            return nullptr;
        }
        if (touch.scroll.on_thumb) {
            if (std::optional<ThumbGeometry> thumb = ThumbOf(*window)) {
                int pos = PositionAt(*thumb, screen.y - touch.scroll.grab_offset);
                window->scroll[SB_VERT].track_pos = pos;
                PostScroll(wm, *window, SB_THUMBPOSITION, pos);
            }
        }
        PostScroll(wm, *window, SB_ENDSCROLL, 0);
        return window->handle;
    }
    Window* window = wm.windows().Find(wm.capture() ? wm.capture() : touch.target);
    if (!window) {
        return nullptr;
    }
    PostMouse(wm, *window, WM_LBUTTONUP, 0, screen);
    return window->handle;
}

HWND StylusTap(POINT screen) {
    HWND down = StylusDown(screen);
    if (!down) {
        return nullptr;
    }
    StylusUp(screen);
    return down;
}

std::optional<POINT> VerticalThumbPoint(HWND hwnd, int pos) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = wm.windows().Find(hwnd);
    if (!window) {
        return std::nullopt;
    }
    std::optional<ThumbGeometry> thumb = ThumbOf(*window);
    if (!thumb) {
        return std::nullopt;
    }
    pos = std::clamp(pos, thumb->min, std::max(thumb->min, thumb->largest));
    const int travel = thumb->track_length - thumb->thumb_length;
    const int span = thumb->largest - thumb->min;
    const int top = thumb->track_top +
                    (span > 0 ? static_cast<int>(int64_t{pos - thumb->min} * travel / span) : 0);
    return POINT{(thumb->bar.left + thumb->bar.right) / 2, top + thumb->thumb_length / 2};
}

std::optional<VerticalBarPoints> VerticalBarPointsOf(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = wm.windows().Find(hwnd);
    if (!window) {
        return std::nullopt;
    }
    std::optional<ThumbGeometry> thumb = ThumbOf(*window);
    if (!thumb) {
        return std::nullopt;
    }
    const LONG x = (thumb->bar.left + thumb->bar.right) / 2;
    VerticalBarPoints points;
    points.line_up = POINT{x, thumb->bar.top + kScrollBarSize / 2};
    points.line_down = POINT{x, thumb->bar.bottom - kScrollBarSize / 2 - 1};
    points.page_up = POINT{x, thumb->track_top + (thumb->thumb_top - thumb->track_top) / 2};
    points.page_down = POINT{
        x,
        thumb->thumb_top + thumb->thumb_length +
            (thumb->track_top + thumb->track_length - thumb->thumb_top - thumb->thumb_length) / 2};
    return points;
}

}  // namespace tovarin::gwes
