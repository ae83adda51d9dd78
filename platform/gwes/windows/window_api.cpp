// Making and taking down windows, and their visibility and foreground state: CreateWindowExW,
// DestroyWindow, IsWindow, ShowWindow, IsWindowVisible, GetWindowThreadProcessId.
#include <memory>

#include <windows.h>

#include "gwes/gdi/window_damage.h"
#include "gwes/input/focus.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "gwes/windows/window_destruction.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

Window* TopLevelOf(Window* window) {
    while (window->parent) {
        window = window->parent;
    }
    return window;
}

}  // namespace

extern "C" {

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND hWndParent,
                            HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    const DWORD process = GetCurrentProcessId();
    auto window = std::make_shared<Window>();
    WNDPROC proc = nullptr;
    {
        auto lock = wm.Lock();
        std::shared_ptr<WindowClass> window_class = wm.classes().Find(lpClassName);
        if (!window_class) {
            SetError(ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
        const bool child = (dwStyle & WS_CHILD) != 0;
        if (hWndParent) {
            Window* parent = wm.WindowOrFail(hWndParent);
            if (!parent) {
                return nullptr;
            }
            if (child) {
                window->parent = parent;
            } else {
                window->owner = TopLevelOf(parent)->handle;  // owners are top-level windows
            }
        } else if (child) {
            SetError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        window->window_class = window_class;
        window->title = lpWindowName ? lpWindowName : L"";
        window->proc = window_class->proc;
        window->style = dwStyle;
        window->ex_style = dwExStyle;
        window->id = child ? static_cast<LONG>(reinterpret_cast<intptr_t>(hMenu)) : 0;
        window->instance = hInstance;
        // CW_USEDEFAULT: a top-level window gets the work area, as the phone's windows do.
        const RECT work = WorkArea(wm);
        window->x = X != CW_USEDEFAULT ? X : child ? 0 : work.left;
        window->y = X != CW_USEDEFAULT ? Y : child ? 0 : work.top;
        window->width = nWidth != CW_USEDEFAULT ? nWidth : child ? 0 : work.right - work.left;
        window->height = nWidth != CW_USEDEFAULT ? nHeight : child ? 0 : work.bottom - work.top;
        window->extra.assign((window_class->window_extra_bytes + 3) / 4, 0);
        window->thread_id = self;
        window->process_id = process;
        if (!wm.windows().Add(window)) {
            SetError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        window_class->windows++;
        wm.OwnQueue();  // the creating thread receives the window's messages
        proc = window->proc;
    }

    CREATESTRUCTW create{};
    create.lpCreateParams = lpParam;
    create.hInstance = hInstance;
    create.hMenu = hMenu;
    create.hwndParent = hWndParent;
    create.cy = nHeight;
    create.cx = nWidth;
    create.y = Y;
    create.x = X;
    create.style = static_cast<LONG>(dwStyle);
    create.lpszName = lpWindowName;
    create.lpszClass = lpClassName;
    create.dwExStyle = dwExStyle;
    if (CallWindowProcedure(proc, window->handle, WM_CREATE, 0,
                            reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindowTree(wm, window);
        return nullptr;
    }
    // The window hears of its size and place, then of being shown when it was made visible.
    LPARAM origin = 0;
    LPARAM size = 0;
    bool visible = false;
    {
        auto lock = wm.Lock();
        if (!window->alive) {
            return nullptr;  // WM_CREATE destroyed it
        }
        const RECT client = ClientRectInWindow(*window);
        origin = MAKELPARAM(window->x + client.left, window->y + client.top);
        size = MAKELPARAM(client.right - client.left, client.bottom - client.top);
        visible = window->Visible();
    }
    HWND hwnd = window->handle;
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, size);
    SendMessageW(hwnd, WM_MOVE, 0, origin);
    if (visible) {
        SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
        auto lock = wm.Lock();
        if (window->alive) {
            DamageScreen(wm, ScreenArea(*window));
        }
    }
    NotifyScreenObservers();
    auto lock = wm.Lock();
    return window->alive ? hwnd : nullptr;  // it may have been destroyed meanwhile
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    std::shared_ptr<Window> window;
    {
        auto lock = wm.Lock();
        window = wm.SharedWindowOrFail(hWnd);
        if (!window) {
            return FALSE;
        }
        if (window->thread_id != self) {
            SetError(ERROR_ACCESS_DENIED);  // only the window's own thread may destroy it
            return FALSE;
        }
    }
    DestroyWindowTree(wm, window);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return wm.windows().Find(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    WindowManager& wm = WindowManager::Current();
    bool activate = false;
    bool was_visible = false;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return FALSE;
        }
        was_visible = window->Visible();
    }
    const bool show = nCmdShow != SW_HIDE;
    if (show != was_visible) {
        // Told before the change, as the window is still as it was.
        SendMessageW(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    }
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(hWnd);
        if (!window) {
            return was_visible ? TRUE : FALSE;
        }
        LayoutChange change(wm, *window);
        if (nCmdShow == SW_HIDE) {
            window->style &= ~WS_VISIBLE;
            // The window in front hides: the next shown window takes the foreground, as when
            // it goes (the phone's desktop after the call screen).
            if (wm.foreground() == hWnd && !window->parent) {
                wm.set_foreground(nullptr);
                ForegroundToNextWindow(wm);
            }
        } else {
            window->style |= WS_VISIBLE;
            // A top-level window that comes up on its own thread is activated and comes to the
            // front, unless shown without activation.
            activate = !was_visible && !window->parent && nCmdShow != SW_SHOWNA &&
                       nCmdShow != SW_SHOWNOACTIVATE && nCmdShow != SW_MINIMIZE &&
                       window->thread_id == CurrentThreadId();
        }
    }
    if (activate) {
        BringToForeground(hWnd);
    }
    NotifyScreenObservers();
    return was_visible ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    // Visible only when the window and every parent above it are.
    for (const Window* window = wm.windows().Find(hWnd); window; window = window->parent) {
        if (!window->Visible()) {
            return FALSE;
        }
        if (!window->parent) {
            return TRUE;
        }
    }
    return FALSE;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    return ReadWindow(hWnd, DWORD{0}, [lpdwProcessId](WindowManager&, const Window& window) {
        if (lpdwProcessId) {
            *lpdwProcessId = window.process_id;
        }
        return window.thread_id;
    });
}

}  // extern "C"
