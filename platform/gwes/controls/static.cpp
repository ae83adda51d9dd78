// The STATIC class: a text (left, centred or right aligned as its style says), an icon or a
// bitmap. With SS_NOTIFY a tap on it sends STN_CLICKED to the parent; without, it takes no taps.
#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"
#include "gwes/controls/standard_controls.h"

namespace tovarin::gwes::controls {
namespace {

struct StaticState : ControlState {
    HANDLE image = nullptr;  // SS_ICON / SS_BITMAP
    bool pressed = false;
};

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<StaticState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    RepaintAfter repaint(hwnd, message);
    switch (message) {
        case WM_LBUTTONDOWN:
            state->pressed = IsEnabled(hwnd) && (StyleOf(hwnd) & SS_NOTIFY) != 0;
            return 0;
        case WM_LBUTTONUP:
            if (state->pressed && Inside(hwnd, PointOf(lparam))) {
                NotifyParent(hwnd, STN_CLICKED);
            }
            state->pressed = false;
            return 0;
        case WM_ENABLE:
            if (StyleOf(hwnd) & SS_NOTIFY) {
                NotifyParent(hwnd, wparam ? STN_ENABLE : STN_DISABLE);
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case STM_SETIMAGE: {
            HANDLE previous = state->image;
            state->image = reinterpret_cast<HANDLE>(lparam);
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETIMAGE:
            return reinterpret_cast<LRESULT>(state->image);
        case WM_PAINT:
            PaintStatic(hwnd);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC StaticProcedure() {
    return &StaticProc;
}

}  // namespace tovarin::gwes::controls
