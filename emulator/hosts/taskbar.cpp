#include "hosts/taskbar.h"

#include <algorithm>

#include <windows.h>

#include "common/names.h"
#include "host/screen_image.h"
#include "hosts/ready_thread.h"
#include "host/shell_bars.h"
#include "shell/start_menu.h"
#include "shell/today.h"

namespace tovarin::emulator {
namespace {

// Posted to the taskbar when something on the screen changed.
constexpr UINT kMessageLookAgain = WM_APP + 1;
// Posted by TellTaskbarTheClockMoved.
constexpr UINT kMessageClockMoved = WM_APP + 4;
// The Start button's share of the taskbar, from its left edge.
constexpr int kStartButtonWidth = 52;

// What the taskbar shows now, and its screen observer. One taskbar per device, each on its own
// thread.
thread_local shell::TaskbarLook shown_look;
thread_local uint64_t screen_observer = 0;

// The taskbar and the Today screen (on the same thread) look at the screen and the clock again;
// each repaints only what has changed.
void LookAgain(HWND taskbar) {
    shell::TaskbarLook now = shell::TaskbarLookNow(taskbar);
    if (!(now == shown_look)) {
        shown_look = std::move(now);
        InvalidateRect(taskbar, nullptr, FALSE);
    }
    phone_shell::RefreshToday();
}

// Whenever something on the screen changes, the taskbar looks again at the foreground window and
// the clock and repaints when what it shows has changed. (No timer: a device whose threads all
// wait for nothing must be seen as stuck, so the clock moves on with the next change.) A tap on
// its caption button works the foreground window's "ok" (IDOK) or "X" (the window goes to the
// back).
LRESULT CALLBACK TaskbarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            shown_look = shell::TaskbarLookNow(hwnd);
            screen_observer =
                gwes::AddScreenObserver([hwnd] { PostMessageW(hwnd, kMessageLookAgain, 0, 0); });
            return 0;
        case WM_DESTROY:
            gwes::RemoveScreenObserver(screen_observer);
            return 0;
        case kMessageLookAgain: {
            MSG pending;
            if (PeekMessageW(&pending, hwnd, kMessageLookAgain, kMessageLookAgain, PM_NOREMOVE)) {
                return 0;  // a later one looks
            }
            LookAgain(hwnd);
            return 0;
        }
        case WM_PAINT:
            shell::PaintTaskbar(hwnd, shown_look);
            return 0;
        case kMessageOpenStartMenu:
            phone_shell::OpenStartMenu();
            return 0;
        case kMessageShowToday:
            phone_shell::ShowToday();
            return 0;
        case kMessageClockMoved:
            LookAgain(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            const RECT button = shell::TaskbarCaptionButton(hwnd);
            const POINT point{static_cast<SHORT>(LOWORD(lparam)),
                              static_cast<SHORT>(HIWORD(lparam))};
            if (point.x < kStartButtonWidth) {
                phone_shell::OpenStartMenu();
                return 0;
            }
            HWND foreground = GetForegroundWindow();
            if (!foreground || !PtInRect(&button, point) || !IsWindowEnabled(foreground)) {
                return 0;
            }
            if (GetWindowLongW(foreground, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) {
                PostMessageW(foreground, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            } else {
                // The phone's X does not close a program: its window goes behind the others.
                SetWindowPos(foreground, HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

DWORD WINAPI TaskbarThread(LPVOID start) {
    ReadySignal ready = static_cast<ReadyThreadStart*>(start)->ready;
    // Runs however the thread ends, also when the device's end unwinds it out of GetMessageW.
    struct StartMenuRelease {
        ~StartMenuRelease() { phone_shell::ReleaseStartMenu(); }
    } start_menu_release;
    WNDCLASSW taskbar_class = {};
    taskbar_class.lpfnWndProc = &TaskbarProc;
    taskbar_class.lpszClassName = kWindowClassTaskBar;
    if (RegisterClassW(&taskbar_class) == 0 || !phone_shell::RegisterStartMenuClasses() ||
        !phone_shell::RegisterTodayClasses()) {
        return 1;
    }
    // Across the top of the screen, as wide as the screen is in any orientation (it paints up to
    // the screen's width now), 52 pixels high on the VGA screen. It never takes the foreground:
    // a tap on it works the window in front.
    const int width = std::max(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HWND taskbar =
        CreateWindowExW(WS_EX_NOACTIVATE, kWindowClassTaskBar, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                        width, 52, nullptr, nullptr, nullptr, nullptr);
    if (taskbar == nullptr || !phone_shell::MakeToday()) {
        return 1;
    }
    ready.Ready();
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

bool StartTaskbar(std::string* error) {
    return StartReadyThread(&TaskbarThread, nullptr, "the taskbar", error);
}

void TellTaskbarTheClockMoved() {
    if (HWND taskbar = FindWindowW(kWindowClassTaskBar, nullptr)) {
        PostMessageW(taskbar, kMessageClockMoved, 0, 0);
    }
}

}  // namespace tovarin::emulator
