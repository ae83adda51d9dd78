// The default window procedure and calling a procedure through the value GetWindowLongW gave.
#include <windows.h>

#include "gwes/messages/message_pump.h"
#include "gwes/painting/default_colors.h"
#include "gwes/painting/frame_paint.h"
#include "gwes/window_manager.h"
#include "gwes/windows/procedure_handles.h"
#include "gwes/windows/text_copy.h"
#include "gwes/windows/window_position.h"

using namespace tovarin::gwes;

namespace {

// Fills the client area with the class's background; 0 (nothing erased) when it has none.
LRESULT EraseWithClassBrush(HWND hwnd, HDC hdc) {
    HBRUSH background = nullptr;
    {
        WindowManager& wm = WindowManager::Current();
        auto lock = wm.Lock();
        const Window* window = wm.windows().Find(hwnd);
        if (!window || !window->window_class) {
            return 0;
        }
        background = window->window_class->background;
    }
    RECT client{};
    if (!background || !GetClientRect(hwnd, &client)) {
        return 0;
    }
    return FillRect(hdc, &client, background) ? 1 : 0;
}

}  // namespace

extern "C" {

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_SETTEXT: {
            WindowManager& wm = WindowManager::Current();
            auto lock = wm.Lock();
            Window* window = wm.windows().Find(hWnd);
            if (!window) {
                return FALSE;
            }
            const auto* text = reinterpret_cast<LPCWSTR>(lParam);
            window->title = text ? text : L"";
            return TRUE;
        }
        case WM_GETTEXT: {
            WindowManager& wm = WindowManager::Current();
            auto lock = wm.Lock();
            const Window* window = wm.windows().Find(hWnd);
            if (!window) {
                return 0;
            }
            return CopyTextOut(window->title, reinterpret_cast<LPWSTR>(lParam),
                               static_cast<int>(wParam));
        }
        case WM_GETTEXTLENGTH: {
            WindowManager& wm = WindowManager::Current();
            auto lock = wm.Lock();
            const Window* window = wm.windows().Find(hWnd);
            return window ? static_cast<LRESULT>(window->title.size()) : 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hWnd, &paint);
            EndPaint(hWnd, &paint);
            PaintWindowFrame(hWnd);  // a dialog's own scroll bar, a bordered window's frame
            return 0;
        }
        case WM_ERASEBKGND:
            return EraseWithClassBrush(hWnd, reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_ACTIVATE:
            // A window that becomes active takes the keyboard focus.
            if (LOWORD(wParam) != WA_INACTIVE) {
                SetFocus(hWnd);
            }
            return 0;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return DefaultControlColors(Msg, reinterpret_cast<HDC>(wParam),
                                        reinterpret_cast<HWND>(lParam));
        case WM_WINDOWPOSCHANGED:
            if (lParam) {
                DefaultWindowPosChanged(hWnd, *reinterpret_cast<const WINDOWPOS*>(lParam));
            }
            return 0;
        default:
            return 0;
    }
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    // GetWindowLongW(GWL_WNDPROC) hands out procedure handles; anything else is an address.
    WNDPROC proc = ProcedureOfHandle(reinterpret_cast<uintptr_t>(lpPrevWndFunc));
    return CallWindowProcedure(proc ? proc : lpPrevWndFunc, hWnd, Msg, wParam, lParam);
}

}  // extern "C"
