// The paint cycle: InvalidateRect, ValidateRect, GetUpdateRect, UpdateWindow, RedrawWindow,
// BeginPaint and EndPaint.
//
// A window's update region collects what needs drawing; while it is not empty the window's
// thread gets WM_PAINT (after sent and posted messages and input, before timers). BeginPaint
// takes the region: it sends WM_ERASEBKGND first when the background is to be erased, and gives
// a device context clipped to the region.
#include <windows.h>

#include "gwes/gdi/device_contexts.h"
#include "gwes/gdi/window_damage.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// The client area, or a rectangle of it, in window coordinates.
Region ClientArea(const Window& window, const RECT* client_rect) {
    const RECT client = ClientRectInWindow(window);
    Region area(client);
    if (client_rect) {
        RECT rect = *client_rect;
        OffsetRect(&rect, client.left, client.top);
        area.Intersect(rect);
    }
    return area;
}

// Every shown window of the device: what InvalidateRect(NULL) repaints.
void InvalidateAll(WindowManager& wm, Window& window, bool erase) {
    Invalidate(wm, window, Region(RECT{0, 0, window.width, window.height}), erase);
    for (Window* child : window.children) {
        InvalidateAll(wm, *child, erase);
    }
}

}  // namespace

extern "C" {

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    if (!hWnd) {
        for (Window* top : wm.windows().top_level()) {
            InvalidateAll(wm, *top, bErase != FALSE);
        }
        return TRUE;
    }
    Window* window = wm.WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    Invalidate(wm, *window, ClientArea(*window, lpRect), bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = wm.WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    // Without a rectangle the whole window is valid, its frame included.
    Validate(wm, *window,
             lpRect ? std::optional<Region>(ClientArea(*window, lpRect)) : std::nullopt);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    WindowManager& wm = WindowManager::Current();
    HDC erase_dc = nullptr;
    RECT bounds{};
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return FALSE;
        }
        Region client_part = window->update;
        const RECT client = ClientRectInWindow(*window);
        client_part.Intersect(client);
        bounds = client_part.Bounds();
        if (!IsRectEmpty(&bounds)) {
            OffsetRect(&bounds, -client.left, -client.top);
        }
        if (bErase && window->erase_pending && !client_part.Empty()) {
            const RECT frame = WindowRectOnScreen(*window);
            client_part.Offset(frame.left, frame.top);
            erase_dc = MakeWindowDc(wm, window, /*whole_window=*/false, client_part);
            window->erase_pending = false;
        }
    }
    if (erase_dc) {
        SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(erase_dc), 0);
        ReleaseDC(hWnd, erase_dc);
    }
    if (lpRect) {
        *lpRect = bounds;
    }
    return IsRectEmpty(&bounds) ? FALSE : TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    {
        auto lock = wm.Lock();
        const Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return FALSE;
        }
        if (window->update.Empty()) {
            return TRUE;
        }
    }
    // WM_PAINT goes straight to the window procedure, past the queue.
    SendMessageW(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN, UINT flags) {
    if (flags & (RDW_INVALIDATE | RDW_VALIDATE)) {
        WindowManager& wm = WindowManager::Current();
        auto lock = wm.Lock();
        Window* window = hWnd ? wm.WindowOrFail(hWnd) : nullptr;
        if (hWnd && !window) {
            return FALSE;
        }
        std::vector<Window*> targets;
        if (window) {
            targets.push_back(window);
        } else {
            targets = wm.windows().top_level();
        }
        for (size_t i = 0; i < targets.size(); ++i) {
            Window* target = targets[i];
            if ((flags & RDW_ALLCHILDREN) || !window) {
                targets.insert(targets.end(), target->children.begin(), target->children.end());
            }
            const bool given = lprcUpdate && target == window;
            Region area = given ? ClientArea(*target, lprcUpdate)
                                : Region(RECT{0, 0, target->width, target->height});
            if (flags & RDW_INVALIDATE) {
                Invalidate(wm, *target, area, (flags & RDW_ERASE) != 0);
            } else {
                Validate(wm, *target, area);
            }
        }
    }
    if (flags & RDW_UPDATENOW) {
        if (hWnd) {
            UpdateWindow(hWnd);
        }
    }
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT lpPaint) {
    if (!lpPaint) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    WindowManager& wm = WindowManager::Current();
    HDC hdc = nullptr;
    bool erase = false;
    RECT paint_rect{};
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hwnd);
        if (!window) {
            return nullptr;
        }
        Region update = window->update;
        erase = window->erase_pending;
        Validate(wm, *window, std::nullopt);
        const RECT client = ClientRectInWindow(*window);
        update.Intersect(client);
        paint_rect = update.Bounds();
        if (!IsRectEmpty(&paint_rect)) {
            OffsetRect(&paint_rect, -client.left, -client.top);
        }
        const RECT frame = WindowRectOnScreen(*window);
        update.Offset(frame.left, frame.top);
        hdc = MakeWindowDc(wm, window, /*whole_window=*/false, std::move(update));
    }
    if (!hdc) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = paint_rect;
    // fErase: the background still needs erasing (WM_ERASEBKGND returned 0).
    lpPaint->fErase =
        erase && SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (!lpPaint) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ReleaseDC(hWnd, lpPaint->hdc) ? TRUE : FALSE;
}

}  // extern "C"
