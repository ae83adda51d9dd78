// Window geometry: GetClientRect, GetWindowRect, MapWindowPoints, ScreenToClient,
// ClientToScreen, WindowFromPoint, ChildWindowFromPoint, MoveWindow, SetWindowPos and the
// DeferWindowPos family, and the rectangle helpers.
//
// Moving or sizing a window sends WM_WINDOWPOSCHANGING (the window may change the WINDOWPOS),
// then WM_WINDOWPOSCHANGED, whose default handling sends WM_MOVE and WM_SIZE for what changed.
#include <algorithm>
#include <memory>
#include <vector>

#include <windows.h>

#include "gwes/gdi/window_damage.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "gwes/windows/window_position.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// A DeferWindowPos batch: the positions to apply, in the order given.
struct DeferredPositions {
    uint32_t magic = 0x44575021;  // tells a batch from any other pointer
    std::vector<WINDOWPOS> positions;
};

DeferredPositions* BatchOf(HDWP handle) {
    auto* batch = reinterpret_cast<DeferredPositions*>(handle);
    return batch && batch->magic == 0x44575021 ? batch : nullptr;
}

// Kernel lock held: the window whose rectangle the caller asks for into `rect`; null, with the
// last error set, for a handle of no window or no rectangle to fill.
const Window* WindowWithRectOut(const WindowManager& wm, HWND hwnd, const RECT* rect) {
    const Window* window = wm.WindowOrFail(hwnd);
    if (window && !rect) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return window;
}

}  // namespace

namespace tovarin::gwes {

BOOL ApplyWindowPos(WINDOWPOS position) {
    WindowManager& wm = WindowManager::Current();
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(position.hwnd);
        if (!window) {
            return FALSE;
        }
        if (position.flags & SWP_NOMOVE) {
            position.x = window->x;
            position.y = window->y;
        }
        if (position.flags & SWP_NOSIZE) {
            position.cx = window->width;
            position.cy = window->height;
        }
        position.cx = std::max(position.cx, 0);
        position.cy = std::max(position.cy, 0);
    }
    if (!(position.flags & SWP_NOSENDCHANGING)) {
        SendMessageW(position.hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
    }
    bool activate = false;
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(position.hwnd);
        if (!window) {
            return FALSE;  // gone while it was told of the change
        }
        // What did not change is reported as not asked for, so that WM_MOVE and WM_SIZE come
        // only for real changes.
        if (position.x == window->x && position.y == window->y) {
            position.flags |= SWP_NOMOVE;
        }
        if (position.cx == window->width && position.cy == window->height) {
            position.flags |= SWP_NOSIZE;
        }
        LayoutChange change(wm, *window);
        window->x = position.x;
        window->y = position.y;
        window->width = position.cx;
        window->height = position.cy;
        if (!(position.flags & SWP_NOZORDER)) {
            HWND after = position.hwndInsertAfter;
            if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
                wm.windows().BringToTop(*window);
            } else if (after == HWND_BOTTOM) {
                wm.windows().SendToBottom(*window);
            } else if (Window* anchor = wm.windows().Find(after);
                       anchor && anchor->parent == window->parent) {
                wm.windows().PlaceBelow(*window, *anchor);
            }
        }
        if (position.flags & SWP_SHOWWINDOW) {
            window->style |= WS_VISIBLE;
            activate = !window->parent && !(position.flags & SWP_NOACTIVATE) &&
                       window->thread_id == CurrentThreadId();
        }
        if (position.flags & SWP_HIDEWINDOW) {
            window->style &= ~WS_VISIBLE;
        }
    }
    SendMessageW(position.hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    if (activate) {
        SetActiveWindow(position.hwnd);
    }
    NotifyScreenObservers();
    return TRUE;
}

void DefaultWindowPosChanged(HWND hwnd, const WINDOWPOS& position) {
    WindowManager& wm = WindowManager::Current();
    LPARAM origin = 0;
    LPARAM size = 0;
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(hwnd);
        if (!window) {
            return;
        }
        RECT client = ClientRectInWindow(*window);
        origin = MAKELPARAM(window->x + client.left, window->y + client.top);
        size = MAKELPARAM(client.right - client.left, client.bottom - client.top);
    }
    if (!(position.flags & SWP_NOMOVE)) {
        SendMessageW(hwnd, WM_MOVE, 0, origin);
    }
    if (!(position.flags & SWP_NOSIZE)) {
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, size);
    }
}

}  // namespace tovarin::gwes

extern "C" {

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = WindowWithRectOut(wm, hWnd, lpRect);
    if (!window) {
        return FALSE;
    }
    RECT client = ClientRectInWindow(*window);
    *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = WindowWithRectOut(wm, hWnd, lpRect);
    if (!window) {
        return FALSE;
    }
    *lpRect = WindowRectOnScreen(*window);
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    POINT from{0, 0};
    POINT to{0, 0};
    if (hWndFrom) {
        const Window* window = wm.WindowOrFail(hWndFrom);
        if (!window) {
            return 0;
        }
        from = ClientOriginOnScreen(*window);
    }
    if (hWndTo) {
        const Window* window = wm.WindowOrFail(hWndTo);
        if (!window) {
            return 0;
        }
        to = ClientOriginOnScreen(*window);
    }
    const LONG dx = from.x - to.x;
    const LONG dy = from.y - to.y;
    for (UINT index = 0; lpPoints && index < cPoints; ++index) {
        lpPoints[index].x += dx;
        lpPoints[index].y += dy;
    }
    SetError(0);  // a zero result is a valid shift of nothing
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    if (!lpPoint) {
        return FALSE;
    }
    return ReadWindow(hWnd, FALSE, [lpPoint](WindowManager&, const Window& window) {
        const POINT origin = ClientOriginOnScreen(window);
        lpPoint->x -= origin.x;
        lpPoint->y -= origin.y;
        return TRUE;
    });
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    if (!lpPoint) {
        return FALSE;
    }
    return ReadWindow(hWnd, FALSE, [lpPoint](WindowManager&, const Window& window) {
        const POINT origin = ClientOriginOnScreen(window);
        lpPoint->x += origin.x;
        lpPoint->y += origin.y;
        return TRUE;
    });
}

HWND WINAPI WindowFromPoint(POINT Point) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = WindowAtPoint(wm, Point);
    return window ? window->handle : nullptr;
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* parent = wm.windows().Find(hWndParent);
    if (!parent) {
        return nullptr;
    }
    POINT origin = ClientOriginOnScreen(*parent);
    POINT screen{Point.x + origin.x, Point.y + origin.y};
    RECT frame = WindowRectOnScreen(*parent);
    if (screen.x < frame.left || screen.x >= frame.right || screen.y < frame.top ||
        screen.y >= frame.bottom) {
        return nullptr;
    }
    for (const Window* child : parent->children) {
        RECT rect = WindowRectOnScreen(*child);
        if (screen.x >= rect.left && screen.x < rect.right && screen.y >= rect.top &&
            screen.y < rect.bottom) {
            return child->handle;  // hidden and disabled children too, as documented
        }
    }
    return parent->handle;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    return ApplyWindowPos(
        WINDOWPOS{hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE});
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    return ApplyWindowPos(WINDOWPOS{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags});
}

HDWP WINAPI BeginDeferWindowPos(int nNumWindows) {
    if (nNumWindows < 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* batch = new (std::nothrow) DeferredPositions();
    if (!batch) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    batch->positions.reserve(static_cast<size_t>(nNumWindows));
    return reinterpret_cast<HDWP>(batch);
}

HDWP WINAPI DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx,
                           int cy, UINT uFlags) {
    DeferredPositions* batch = BatchOf(hWinPosInfo);
    if (!batch) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!IsWindowOrFail(hWnd)) {
        // The batch is given up, as documented: the caller must not end it.
        delete batch;
        return nullptr;
    }
    batch->positions.push_back(WINDOWPOS{hWnd, hWndInsertAfter, x, y, cx, cy, uFlags});
    return hWinPosInfo;
}

BOOL WINAPI EndDeferWindowPos(HDWP hWinPosInfo) {
    std::unique_ptr<DeferredPositions> batch(BatchOf(hWinPosInfo));
    if (!batch) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    BOOL all = TRUE;
    for (const WINDOWPOS& position : batch->positions) {
        if (!ApplyWindowPos(position)) {
            all = FALSE;
        }
    }
    batch->magic = 0;
    return all;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) {
        return FALSE;
    }
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) {
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) {
        return FALSE;
    }
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) {
        return FALSE;
    }
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top &&
           pt.y < lprc->bottom;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) {
    return !lprc || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (!lprcDst || !lprcSrc1 || !lprcSrc2) {
        return FALSE;
    }
    RECT both{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
              std::min(lprcSrc1->right, lprcSrc2->right),
              std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
    if (IsRectEmpty(&both)) {
        *lprcDst = RECT{};
        return FALSE;
    }
    *lprcDst = both;
    return TRUE;
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
    return lprc1 && lprc2 && lprc1->left == lprc2->left && lprc1->top == lprc2->top &&
           lprc1->right == lprc2->right && lprc1->bottom == lprc2->bottom;
}

}  // extern "C"
