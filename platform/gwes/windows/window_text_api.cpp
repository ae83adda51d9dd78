// Window text: SetWindowTextW, GetWindowTextW, GetWindowTextLengthW. A window of the calling
// thread answers through its procedure (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH), so that a
// subclassed window can answer for itself. A window of another thread is answered from its stored
// text without waiting for that thread, which may be busy or blocked.
#include <windows.h>

#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "gwes/windows/text_copy.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

enum class Owner { Self, Other, Gone };

Owner OwnerOf(HWND hwnd) {
    const uint32_t self = CurrentThreadId();
    return ReadWindow(hwnd, Owner::Gone, [self](WindowManager&, const Window& window) {
        return window.thread_id == self ? Owner::Self : Owner::Other;
    });
}

}  // namespace

extern "C" {

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    WindowManager& wm = WindowManager::Current();
    switch (OwnerOf(hWnd)) {
        case Owner::Self:
            return static_cast<BOOL>(
                SendToWindow(wm, hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
        case Owner::Other: {
            auto lock = wm.Lock();
            if (Window* window = wm.WindowOrFail(hWnd)) {
                window->title = lpString ? lpString : L"";
                return TRUE;
            }
            return FALSE;
        }
        case Owner::Gone:
            break;
    }
    return FALSE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (!lpString || nMaxCount <= 0) {
        return 0;
    }
    lpString[0] = L'\0';
    WindowManager& wm = WindowManager::Current();
    switch (OwnerOf(hWnd)) {
        case Owner::Self:
            return static_cast<int>(SendToWindow(wm, hWnd, WM_GETTEXT,
                                                 static_cast<WPARAM>(nMaxCount),
                                                 reinterpret_cast<LPARAM>(lpString)));
        case Owner::Other: {
            auto lock = wm.Lock();
            if (const Window* window = wm.WindowOrFail(hWnd)) {
                return CopyTextOut(window->title, lpString, nMaxCount);
            }
            return 0;
        }
        case Owner::Gone:
            break;
    }
    return 0;
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    WindowManager& wm = WindowManager::Current();
    switch (OwnerOf(hWnd)) {
        case Owner::Self:
            return static_cast<int>(SendToWindow(wm, hWnd, WM_GETTEXTLENGTH, 0, 0));
        case Owner::Other: {
            auto lock = wm.Lock();
            if (const Window* window = wm.WindowOrFail(hWnd)) {
                return static_cast<int>(window->title.size());
            }
            return 0;
        }
        case Owner::Gone:
            break;
    }
    return 0;
}

}  // extern "C"
