// Enabling, activation and focus: EnableWindow, IsWindowEnabled, SetActiveWindow,
// GetActiveWindow, SetFocus, GetFocus, GetLastActivePopup, SetForegroundWindow,
// GetForegroundWindow, SetCapture, ReleaseCapture, GetCapture, IsChild.
//
// Each thread has its own active window and focus window. Activating a window sends
// WM_ACTIVATE (WA_INACTIVE, the new window) to the window that was active and WM_ACTIVATE
// (WA_ACTIVE, the old window) to the new one; the default procedure then gives the focus to the
// window (a dialog to its remembered control). Moving the focus sends WM_KILLFOCUS (the new
// focus) to the old focus window, then WM_SETFOCUS (the old focus) to the new one.
#include "gwes/input/focus.h"

#include <windows.h>

#include "gwes/gdi/window_damage.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// The calling thread's active or focus window; none before the thread has had either.
HWND CallerInput(HWND WindowManager::ThreadInput::*which) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return wm.InputOf(CurrentThreadId()).*which;
}

Window* TopLevelOf(Window* window) {
    while (window && window->parent) {
        window = window->parent;
    }
    return window;
}

Window* RootOwnerOf(WindowManager& wm, Window* window) {
    window = TopLevelOf(window);
    while (window && window->owner) {
        Window* owner = wm.windows().Find(window->owner);
        if (!owner) {
            break;
        }
        window = owner;
    }
    return window;
}

bool IsWithin(const Window* window, const Window* ancestor) {
    for (; window; window = window->parent) {
        if (window == ancestor) {
            return true;
        }
    }
    return false;
}

bool IsLowBitSet(HWND hwnd) {
    return (reinterpret_cast<uintptr_t>(hwnd) & 1u) != 0;
}

HWND WithoutLowBit(HWND hwnd) {
    return reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(hwnd) & ~uintptr_t{1});
}

// Kernel lock held.
HWND LastActivePopupOf(WindowManager& wm, Window& window) {
    Window* root = RootOwnerOf(wm, &window);
    if (root && root->last_active_popup) {
        Window* popup = wm.windows().Find(root->last_active_popup);
        if (popup && popup->Visible() && !(popup->style & WS_DISABLED)) {
            return popup->handle;
        }
    }
    return root ? root->handle : window.handle;
}

}  // namespace

namespace tovarin::gwes {

void ForgetWindowInput(WindowManager& wm, const Window& window) {
    wm.ForgetInputWindow(window.handle);
    for (Window* top : wm.windows().top_level()) {
        if (top->last_active_popup == window.handle) {
            top->last_active_popup = nullptr;
        }
    }
}

void RunPendingActivation(WindowManager& wm) {
    HWND pending = nullptr;
    {
        auto lock = wm.Lock();
        pending = wm.TakePendingActivation(CurrentThreadId());
        // The foreground moved on since the activation was asked for (the thread brought a
        // window of its own to the front): the request is stale.
        if (pending && wm.foreground() != pending) {
            pending = nullptr;
        }
    }
    if (pending) {
        SetActiveWindow(pending);
    }
}

void ForegroundToNextWindow(WindowManager& wm) {
    if (wm.ForegroundWindow()) {
        return;
    }
    wm.set_foreground(nullptr);
    for (Window* top : wm.windows().top_level()) {
        if (top->alive && !top->destroying && top->Visible() && !(top->style & WS_DISABLED) &&
            !(top->ex_style & WS_EX_NOACTIVATE)) {
            wm.set_foreground(top->handle);
            wm.AskActivation(top->thread_id, top->handle);
            PostToWindow(wm, *top, WM_NULL, 0, 0);  // wakes the thread's message loop
            return;
        }
    }
}

BOOL BringToForeground(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    HWND top_handle = nullptr;
    bool own_thread = false;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hwnd);
        if (!window) {
            return FALSE;
        }
        Window* top = TopLevelOf(window);
        top_handle = top->handle;
        wm.set_foreground(top_handle);
        {
            LayoutChange change(wm, *top);
            wm.windows().BringToTop(*top);
        }
        // The pop-ups it owns stay in front of it.
        for (Window* owned : wm.windows().OwnedBy(*top)) {
            if (owned->Visible()) {
                LayoutChange change(wm, *owned);
                wm.windows().BringToTop(*owned);
            }
        }
        own_thread = top->thread_id == CurrentThreadId();
        if (!own_thread) {
            wm.AskActivation(top->thread_id, top_handle);
            PostToWindow(wm, *top, WM_NULL, 0, 0);  // wakes the thread's message loop
        }
    }
    if (own_thread) {
        SetActiveWindow(top_handle);
    }
    return TRUE;
}

}  // namespace tovarin::gwes

extern "C" {

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    WindowManager& wm = WindowManager::Current();
    bool was_disabled = false;
    bool focus_inside = false;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return FALSE;
        }
        was_disabled = (window->style & WS_DISABLED) != 0;
        if (was_disabled == !bEnable) {
            return was_disabled ? TRUE : FALSE;
        }
        if (bEnable) {
            window->style &= ~WS_DISABLED;
        } else {
            window->style |= WS_DISABLED;
            focus_inside =
                IsWithin(wm.windows().Find(wm.InputOf(window->thread_id).focus), window) &&
                window->thread_id == CurrentThreadId();
            if (IsWithin(wm.windows().Find(wm.capture()), window)) {
                wm.set_capture(nullptr);
            }
        }
    }
    if (focus_inside) {
        SetFocus(nullptr);  // a disabled window cannot keep the keyboard
    }
    SendMessageW(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return was_disabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    return ReadWindow(hWnd, FALSE, [](WindowManager&, const Window& window) {
        return (window.style & WS_DISABLED) ? FALSE : TRUE;
    });
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    HWND old = nullptr;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return nullptr;
        }
        window = TopLevelOf(window);
        if (window->thread_id != self) {
            lock.unlock();
            SetError(ERROR_ACCESS_DENIED);  // another thread's window: SetForegroundWindow
            return nullptr;
        }
        hWnd = window->handle;
        old = wm.InputOf(self).active;
        if (old == hWnd) {
            return old;
        }
        wm.SetActiveWindowOf(self, hWnd);
        if (Window* root = RootOwnerOf(wm, window); root && root != window) {
            root->last_active_popup = hWnd;
        }
        if (const Window* foreground = wm.ForegroundWindow();
            foreground && foreground->thread_id == self) {
            wm.set_foreground(hWnd);  // the foreground thread's active window is the foreground
        }
    }
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hWnd));
    }
    SendMessageW(hWnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    return old;
}

HWND WINAPI GetActiveWindow(void) {
    return CallerInput(&WindowManager::ThreadInput::active);
}

HWND WINAPI SetFocus(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    HWND activate = nullptr;
    HWND previous = nullptr;  // what the caller had, before any activation moved the focus
    {
        auto lock = wm.Lock();
        previous = wm.InputOf(self).focus;
        if (hWnd) {
            Window* window = wm.WindowOrFail(hWnd);
            if (!window) {
                return nullptr;
            }
            if (window->thread_id != self) {
                lock.unlock();
                SetError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
            Window* top = TopLevelOf(window);
            if (wm.InputOf(self).active != top->handle) {
                activate = top->handle;
            }
        }
    }
    if (activate) {
        SetActiveWindow(activate);
    }
    HWND old = nullptr;
    {
        auto lock = wm.Lock();
        if (hWnd && !wm.windows().Find(hWnd)) {
            return nullptr;  // went while it was being activated
        }
        old = wm.InputOf(self).focus;
        if (old == hWnd) {
            return previous;
        }
        wm.SetFocusWindowOf(self, hWnd);
    }
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    }
    if (hWnd && IsWindow(hWnd)) {
        SendMessageW(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return previous;
}

HWND WINAPI GetFocus(void) {
    return CallerInput(&WindowManager::ThreadInput::focus);
}

HWND WINAPI GetLastActivePopup(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = wm.WindowOrFail(hWnd);
    if (!window) {
        return nullptr;
    }
    return LastActivePopupOf(wm, *window);
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    // The low bit asks for the last active pop-up of the window's owner family instead.
    if (IsLowBitSet(hWnd)) {
        HWND popup = GetLastActivePopup(WithoutLowBit(hWnd));
        if (!popup) {
            return FALSE;
        }
        hWnd = popup;
    }
    return tovarin::gwes::BringToForeground(hWnd);
}

HWND WINAPI GetForegroundWindow(void) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return wm.foreground();
}

HWND WINAPI SetCapture(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    HWND old = wm.capture();
    if (wm.windows().Find(hWnd)) {
        wm.set_capture(hWnd);
    }
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    WindowManager& wm = WindowManager::Current();
    HWND old = nullptr;
    {
        auto lock = wm.Lock();
        old = wm.capture();
        wm.set_capture(nullptr);
    }
    if (old && IsWindow(old)) {
        SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return wm.capture();
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* parent = wm.windows().Find(hWndParent);
    const Window* window = wm.windows().Find(hWnd);
    if (!parent || !window) {
        return FALSE;
    }
    return window != parent && IsWithin(window, parent) ? TRUE : FALSE;
}

}  // extern "C"
