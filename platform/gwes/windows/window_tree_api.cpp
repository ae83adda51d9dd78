// Finding windows and walking the tree: FindWindowW, EnumWindows, GetWindow, GetParent.
#include <algorithm>
#include <vector>

#include <windows.h>

#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

extern "C" {

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::shared_ptr<WindowClass> window_class;
    if (lpClassName) {
        window_class = wm.classes().Find(lpClassName);
        if (!window_class) {
            return nullptr;  // no such class: no window of it
        }
    }
    for (const Window* window : wm.windows().top_level()) {
        // Titles compare exactly: the suite tells windows apart by their exact titles.
        if ((!window_class || window->window_class == window_class) &&
            (!lpWindowName || window->title == lpWindowName)) {
            return window->handle;
        }
    }
    return nullptr;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (!lpEnumFunc) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WindowManager& wm = WindowManager::Current();
    std::vector<HWND> handles;
    {
        auto lock = wm.Lock();
        for (const Window* window : wm.windows().top_level()) {
            handles.push_back(window->handle);
        }
    }
    // The callback runs without the lock and may create or destroy windows: the walk follows the
    // z-order as it was at the call, passing over windows that have gone since.
    for (HWND hwnd : handles) {
        {
            auto lock = wm.Lock();
            if (!wm.windows().Find(hwnd)) {
                continue;
            }
        }
        if (!lpEnumFunc(hwnd, lParam)) {
            return FALSE;
        }
    }
    return TRUE;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    return ReadWindow(hWnd, HWND{nullptr}, [uCmd](WindowManager& wm, const Window& window) -> HWND {
        const std::vector<Window*>& siblings = wm.windows().SiblingsOf(window);
        auto self = std::find(siblings.begin(), siblings.end(), &window);
        switch (uCmd) {
            case GW_HWNDFIRST:
                return siblings.front()->handle;
            case GW_HWNDLAST:
                return siblings.back()->handle;
            case GW_HWNDNEXT:
                return (self + 1 != siblings.end()) ? (*(self + 1))->handle : nullptr;
            case GW_HWNDPREV:
                return (self != siblings.begin()) ? (*(self - 1))->handle : nullptr;
            case GW_OWNER:
                return window.owner;
            case GW_CHILD:
                return window.children.empty() ? nullptr : window.children.front()->handle;
            default:
                SetError(ERROR_INVALID_PARAMETER);
                return nullptr;
        }
    });
}

HWND WINAPI GetParent(HWND hWnd) {
    // A child's parent; a top-level window's owner.
    return ReadWindow(hWnd, HWND{nullptr}, [](WindowManager&, const Window& window) {
        return window.parent ? window.parent->handle : window.owner;
    });
}

}  // extern "C"
