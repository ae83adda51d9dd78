// A window's own scroll bars and scrolling: SetScrollInfo, GetScrollInfo, SetScrollPos,
// GetScrollPos, SetScrollRange, GetScrollRange, ShowScrollBar, ScrollWindowEx.
//
// A bar shows (WS_VSCROLL / WS_HSCROLL) while its range is larger than its page and hides when it
// is not, unless SIF_DISABLENOSCROLL keeps it. The position is kept within min .. max - page + 1.
// SB_CTL (scroll bar controls) has no bar of the window's own: those calls fail.
#include <algorithm>

#include <windows.h>

#include "gwes/gdi/window_damage.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "gwes/windows/window_position.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

constexpr int kNullRegion = 1;
constexpr int kSimpleRegion = 2;

int LargestPosition(const ScrollBarState& bar) {
    if (bar.page == 0) {
        return bar.max;
    }
    return std::max(bar.min, bar.max - static_cast<int>(bar.page) + 1);
}

// Kernel lock held: the bar of a window, or null with the last error set.
ScrollBarState* BarOf(WindowManager& wm, HWND hwnd, int bar, Window** window_out = nullptr) {
    Window* window = wm.WindowOrFail(hwnd);
    if (!window) {
        return nullptr;
    }
    if (bar != SB_HORZ && bar != SB_VERT) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (window_out) {
        *window_out = window;
    }
    return &window->scroll[bar];
}

DWORD StyleBitOf(int bar) {
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

// Kernel lock held, after a change to a bar that is to be redrawn: the window gets WM_PAINT for
// the bar (a window's frame is painted with its WM_PAINT). A bar that came or went changed the
// client area as well, so all of the window is repainted then.
void RedrawBar(WindowManager& wm, Window& window, int bar, bool shown_before) {
    const bool shown = (window.style & StyleBitOf(bar)) != 0;
    if (shown != shown_before) {
        Invalidate(wm, window, Region(RECT{0, 0, window.width, window.height}), true);
        return;
    }
    if (!shown) {
        return;
    }
    const RECT client = ClientRectInWindow(window);
    const RECT area = bar == SB_VERT ? VerticalScrollBarInWindow(window)
                                     : RECT{client.left, client.bottom, client.right,
                                            client.bottom + kScrollBarSize};
    Invalidate(wm, window, Region(area), false);
}

}  // namespace

extern "C" {

int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL bRedraw) {
    if (!lpsi) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = nullptr;
    ScrollBarState* bar = BarOf(wm, hwnd, nBar, &window);
    if (!bar) {
        return 0;
    }
    const bool shown_before = (window->style & StyleBitOf(nBar)) != 0;
    if (lpsi->fMask & SIF_RANGE) {
        bar->min = lpsi->nMin;
        bar->max = std::max(lpsi->nMin, lpsi->nMax);
    }
    if (lpsi->fMask & SIF_PAGE) {
        bar->page = std::min<UINT>(lpsi->nPage, static_cast<UINT>(bar->max - bar->min + 1));
    }
    if (lpsi->fMask & SIF_POS) {
        bar->pos = lpsi->nPos;
    }
    bar->pos = std::clamp(bar->pos, bar->min, LargestPosition(*bar));
    if (lpsi->fMask & (SIF_RANGE | SIF_PAGE)) {
        const bool needed =
            bar->max - bar->min + 1 > static_cast<int>(std::max<UINT>(bar->page, 1)) ||
            (bar->page == 0 && bar->max > bar->min);
        if (needed || (lpsi->fMask & SIF_DISABLENOSCROLL)) {
            window->style |= StyleBitOf(nBar);
        } else {
            window->style &= ~StyleBitOf(nBar);
        }
    }
    if (bRedraw) {
        RedrawBar(wm, *window, nBar, shown_before);
    }
    return bar->pos;
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
    if (!lpsi) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    ScrollBarState* bar = BarOf(wm, hwnd, nBar);
    if (!bar) {
        return FALSE;
    }
    if (lpsi->fMask & SIF_RANGE) {
        lpsi->nMin = bar->min;
        lpsi->nMax = bar->max;
    }
    if (lpsi->fMask & SIF_PAGE) {
        lpsi->nPage = bar->page;
    }
    if (lpsi->fMask & SIF_POS) {
        lpsi->nPos = bar->pos;
    }
    if (lpsi->fMask & SIF_TRACKPOS) {
        lpsi->nTrackPos = bar->track_pos;
    }
    return TRUE;
}

int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = nullptr;
    ScrollBarState* bar = BarOf(wm, hWnd, nBar, &window);
    if (!bar) {
        return 0;
    }
    const int old = bar->pos;
    bar->pos = std::clamp(nPos, bar->min, LargestPosition(*bar));
    if (bRedraw && bar->pos != old) {
        RedrawBar(wm, *window, nBar, (window->style & StyleBitOf(nBar)) != 0);
    }
    return old;
}

int WINAPI GetScrollPos(HWND hWnd, int nBar) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    ScrollBarState* bar = BarOf(wm, hWnd, nBar);
    return bar ? bar->pos : 0;
}

BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    if (nMinPos == nMaxPos) {
        info.nMax = nMinPos;  // an empty range hides the bar
    }
    WindowManager& wm = WindowManager::Current();
    {
        auto lock = wm.Lock();
        if (!BarOf(wm, hWnd, nBar)) {
            return FALSE;
        }
    }
    SetScrollInfo(hWnd, nBar, &info, bRedraw);
    return TRUE;
}

BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    ScrollBarState* bar = BarOf(wm, hWnd, nBar);
    if (!bar || !lpMinPos || !lpMaxPos) {
        return FALSE;
    }
    *lpMinPos = bar->min;
    *lpMaxPos = bar->max;
    return TRUE;
}

BOOL WINAPI ShowScrollBar(HWND hWnd, int wBar, BOOL bShow) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = wm.WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    DWORD bits = wBar == SB_BOTH   ? (WS_VSCROLL | WS_HSCROLL)
                 : wBar == SB_VERT ? WS_VSCROLL
                 : wBar == SB_HORZ ? WS_HSCROLL
                                   : 0;
    if (bShow) {
        window->style |= bits;
    } else {
        window->style &= ~bits;
    }
    return TRUE;
}

int WINAPI ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip,
                          HANDLE, LPRECT prcUpdate, UINT flags) {
    WindowManager& wm = WindowManager::Current();
    RECT area{};
    std::vector<std::pair<HWND, POINT>> moves;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return 0;  // ERROR
        }
        RECT client = ClientRectInWindow(*window);
        area = RECT{0, 0, client.right - client.left, client.bottom - client.top};
        if (prcScroll) {
            IntersectRect(&area, &area, prcScroll);
        }
        if (prcClip) {
            IntersectRect(&area, &area, prcClip);
        }
        if (flags & SW_SCROLLCHILDREN) {
            for (const Window* child : window->children) {
                RECT rect{child->x, child->y, child->x + child->width, child->y + child->height};
                RECT overlap{};
                // Without a scroll rectangle every child moves; with one, those it touches.
                if (!prcScroll || IntersectRect(&overlap, &rect, prcScroll)) {
                    moves.emplace_back(child->handle, POINT{child->x + dx, child->y + dy});
                }
            }
        }
    }
    for (const auto& [child, to] : moves) {
        SetWindowPos(child, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The part of the area that the scroll uncovered.
    RECT uncovered{};
    if (dx == 0 && dy == 0) {
        uncovered = RECT{};
    } else if (dy != 0 && dx == 0) {
        uncovered =
            dy < 0 ? RECT{area.left, std::max(area.top, area.bottom + dy), area.right, area.bottom}
                   : RECT{area.left, area.top, area.right, std::min(area.bottom, area.top + dy)};
    } else if (dx != 0 && dy == 0) {
        uncovered =
            dx < 0 ? RECT{std::max(area.left, area.right + dx), area.top, area.right, area.bottom}
                   : RECT{area.left, area.top, std::min(area.right, area.left + dx), area.bottom};
    } else {
        uncovered = area;  // both ways: the bounding rectangle of what was uncovered
    }
    if (prcUpdate) {
        *prcUpdate = uncovered;
    }
    // The screen keeps no copy of the window to move, so the whole scrolled area is drawn again.
    InvalidateRect(hWnd, &area, (flags & SW_ERASE) != 0);
    return IsRectEmpty(&uncovered) ? kNullRegion : kSimpleRegion;
}

}  // extern "C"
