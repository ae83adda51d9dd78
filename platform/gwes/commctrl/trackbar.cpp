// The trackbar (msctls_trackbar32): a position within a range, moved by the user along a channel.
//
// A horizontal trackbar reports to its parent with WM_HSCROLL (a vertical one, TBS_VERT, with
// WM_VSCROLL), lParam the trackbar: while the user drags the thumb, TB_THUMBTRACK with each new
// position, then TB_THUMBPOSITION where it is let go and TB_ENDTRACK; a tap on the channel beside
// the thumb pages toward the tap (TB_PAGEUP / TB_PAGEDOWN) and ends with TB_ENDTRACK. A program's
// TBM_SETPOS moves the thumb without any message. The arrow keys move it by a line (TB_LINEUP /
// TB_LINEDOWN, then TB_ENDTRACK).
#include <algorithm>
#include <commctrl.h>

#include "gwes/commctrl/control_classes.h"
#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

constexpr int kThumbLength = 20;  // along the channel, in pixels
constexpr int kMargin = kThumbLength / 2;

struct TrackbarState : ControlState {
    LONG min = 0;
    LONG max = 100;
    LONG pos = 0;
    LONG line = 1;
    LONG page = 20;
    bool dragging = false;
    bool paged = false;
};

bool Vertical(HWND hwnd) {
    return (StyleOf(hwnd) & TBS_VERT) != 0;
}

int Along(HWND hwnd, POINT point) {
    return Vertical(hwnd) ? point.y : point.x;
}

int ChannelLength(HWND hwnd) {
    const SIZE size = ClientSize(hwnd);
    return std::max(1, (Vertical(hwnd) ? size.cy : size.cx) - 2 * kMargin);
}

// The thumb's centre along the channel.
int ThumbCentre(HWND hwnd, const TrackbarState& state) {
    const LONG span = state.max - state.min;
    if (span <= 0) {
        return kMargin;
    }
    return kMargin + static_cast<int>(static_cast<long long>(state.pos - state.min) *
                                      ChannelLength(hwnd) / span);
}

LONG PositionAt(HWND hwnd, const TrackbarState& state, int along) {
    const LONG span = state.max - state.min;
    const int length = ChannelLength(hwnd);
    const int offset = std::clamp(along - kMargin, 0, length);
    return state.min +
           static_cast<LONG>((static_cast<long long>(offset) * span + length / 2) / length);
}

void Clamp(TrackbarState& state) {
    state.pos = std::clamp(state.pos, state.min, std::max(state.min, state.max));
}

void Report(HWND hwnd, WORD code, LONG pos) {
    if (HWND parent = ParentOf(hwnd)) {
        SendMessageW(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL,
                     MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(hwnd));
    }
}

void Press(HWND hwnd, TrackbarState& state, POINT point) {
    const int along = Along(hwnd, point);
    const int thumb = ThumbCentre(hwnd, state);
    if (std::abs(along - thumb) <= kThumbLength / 2) {
        state.dragging = true;
        return;
    }
    const bool toward_max = along > thumb;
    state.pos += toward_max ? state.page : -state.page;
    Clamp(state);
    state.paged = true;
    Report(hwnd, toward_max ? TB_PAGEDOWN : TB_PAGEUP, state.pos);
}

void Drag(HWND hwnd, TrackbarState& state, POINT point) {
    const LONG pos = PositionAt(hwnd, state, Along(hwnd, point));
    if (pos != state.pos) {
        state.pos = pos;
        Report(hwnd, TB_THUMBTRACK, pos);
    }
}

void Release(HWND hwnd, TrackbarState& state, POINT point) {
    if (state.dragging) {
        Drag(hwnd, state, point);
        state.dragging = false;
        Report(hwnd, TB_THUMBPOSITION, state.pos);
        Report(hwnd, TB_ENDTRACK, 0);
    } else if (state.paged) {
        state.paged = false;
        Report(hwnd, TB_ENDTRACK, 0);
    }
}

RECT AcrossRect(HWND hwnd, int from, int to) {
    const SIZE size = ClientSize(hwnd);
    return Vertical(hwnd) ? RECT{0, from, size.cx, to} : RECT{from, 0, to, size.cy};
}

LRESULT CALLBACK TrackbarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<TrackbarState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    RepaintAfter repaint(hwnd, message);
    switch (message) {
        case WM_LBUTTONDOWN:
            if (IsEnabled(hwnd)) {
                TakeFocus(hwnd);
                Press(hwnd, *state, PointOf(lparam));
            }
            return 0;
        case WM_MOUSEMOVE:
            if (state->dragging) {
                Drag(hwnd, *state, PointOf(lparam));
            }
            return 0;
        case WM_LBUTTONUP:
            Release(hwnd, *state, PointOf(lparam));
            return 0;
        case WM_KEYDOWN: {
            // The arrow keys move the thumb by a line, the page keys by a page.
            LONG step = 0;
            WORD code = 0;
            switch (wparam) {
                case VK_LEFT:
                case VK_UP:
                    step = -state->line;
                    code = TB_LINEUP;
                    break;
                case VK_RIGHT:
                case VK_DOWN:
                    step = state->line;
                    code = TB_LINEDOWN;
                    break;
                default:
                    return 0;
            }
            if (!IsEnabled(hwnd)) {
                return 0;
            }
            state->pos += step;
            Clamp(*state);
            Report(hwnd, code, state->pos);
            Report(hwnd, TB_ENDTRACK, 0);
            return 0;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case TBM_GETPOS:
            return state->pos;
        case TBM_GETRANGEMIN:
            return state->min;
        case TBM_GETRANGEMAX:
            return state->max;
        case TBM_SETPOS:
            state->pos = static_cast<LONG>(lparam);
            Clamp(*state);
            return 0;
        case TBM_SETRANGE:
            state->min = static_cast<SHORT>(LOWORD(lparam));
            state->max = static_cast<SHORT>(HIWORD(lparam));
            Clamp(*state);
            return 0;
        case TBM_SETRANGEMIN:
            state->min = static_cast<LONG>(lparam);
            Clamp(*state);
            return 0;
        case TBM_SETRANGEMAX:
            state->max = static_cast<LONG>(lparam);
            Clamp(*state);
            return 0;
        case TBM_SETPAGESIZE: {
            const LONG previous = state->page;
            state->page = static_cast<LONG>(lparam);
            return previous;
        }
        case TBM_GETPAGESIZE:
            return state->page;
        case TBM_SETLINESIZE: {
            const LONG previous = state->line;
            state->line = static_cast<LONG>(lparam);
            return previous;
        }
        case TBM_GETLINESIZE:
            return state->line;
        case TBM_GETNUMTICS:
            return (StyleOf(hwnd) & TBS_NOTICKS) ? 0 : 2;  // the two ends
        case TBM_GETTHUMBRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lparam)) {
                const int centre = ThumbCentre(hwnd, *state);
                *rect = AcrossRect(hwnd, centre - kThumbLength / 2, centre + kThumbLength / 2);
            }
            return 0;
        case WM_PAINT:
            PaintTrackbar(hwnd);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        case TBM_GETCHANNELRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lparam)) {
                *rect = AcrossRect(hwnd, kMargin, kMargin + ChannelLength(hwnd));
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC TrackbarProcedure() {
    return &TrackbarProc;
}

}  // namespace tovarin::gwes::controls
