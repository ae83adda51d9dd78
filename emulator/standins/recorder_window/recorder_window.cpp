#include "recorder_window.h"

#include "common/names.h"

namespace {

// The procedure of the system's dialog class, which the recorder's window subclasses. A stand-in
// program shows one window.
WNDPROC g_dialogProc = NULL;

}  // namespace

HWND ShowRecorderWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR title, WNDPROC procedure) {
    HWND window = CreateWindowExW(0, kWindowClassDialog, title, WS_POPUP | WS_VISIBLE, 0, 0, 240,
                                  320, NULL, NULL, instance, NULL);
    if (window == NULL) {
        NKDbgPrintfW(L"%s: cannot create its window (error %u)\r\n", program, GetLastError());
        return NULL;
    }
    g_dialogProc =
        reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(GetWindowLongW(window, GWL_WNDPROC)));
    SetWindowLongW(window, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(procedure)));
    SetForegroundWindow(window);
    return window;
}

LRESULT CallRecorderDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(g_dialogProc, hwnd, message, wParam, lParam);
}

int RunRecorderMessageLoop(LPCWSTR program, LPCWSTR endText) {
    MSG msg = {};
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    NKDbgPrintfW(L"%s: %s\r\n", program, endText);
    return static_cast<int>(msg.wParam);
}
