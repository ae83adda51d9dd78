// The stylus, host side: what a touch of the screen delivers, as the phone's touch driver does.
//
// The window under the point is found by hit-testing shown windows in z-order (a disabled child
// passes the touch to its parent; a touch on a disabled top-level window or a window inside one
// goes nowhere). Pressing posts WM_LBUTTONDOWN (MK_LBUTTON, client coordinates) to it, brings its
// top-level window to the foreground, and keeps that window as the one that gets the stylus
// (WM_MOUSEMOVE, WM_LBUTTONUP) until it is lifted, unless a window has taken the capture
// (SetCapture). A touch on a window's vertical scroll bar works the bar instead and sends
// WM_VSCROLL: the arrows SB_LINEUP / SB_LINEDOWN, the track above or below the thumb SB_PAGEUP /
// SB_PAGEDOWN, a drag of the thumb SB_THUMBTRACK while it moves and SB_THUMBPOSITION where it is
// let go; each touch ends with SB_ENDSCROLL.
#pragma once

#include <optional>

#include <windows.h>

namespace tovarin::gwes {

// The window that a touch at this screen point reaches; null when none.
HWND StylusTarget(POINT screen);

// Each returns the window the stylus acts on (null: the touch reached no window).
HWND StylusDown(POINT screen);
HWND StylusMove(POINT screen);
HWND StylusUp(POINT screen);

// Down and up at one point.
HWND StylusTap(POINT screen);

// The screen point of the thumb's middle at scroll position `pos` of a window's vertical bar;
// nullopt when the window shows no such bar.
std::optional<POINT> VerticalThumbPoint(HWND hwnd, int pos);
// The screen points of the bar's up and down arrows and of the track just above and below the
// thumb (for page-up and page-down taps).
struct VerticalBarPoints {
    POINT line_up;
    POINT line_down;
    POINT page_up;
    POINT page_down;
};
std::optional<VerticalBarPoints> VerticalBarPointsOf(HWND hwnd);

}  // namespace tovarin::gwes
