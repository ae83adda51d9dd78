#include "program_window.h"

namespace {

LRESULT CALLBACK ProgramWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    // WM_CLOSE's default handling destroys the window.
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int RunProgramWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR windowClass, LPCWSTR title,
                     LPCWSTR shown) {
    WNDCLASSW windowClassInfo = {};
    windowClassInfo.lpfnWndProc = ProgramWindowProc;
    windowClassInfo.hInstance = instance;
    windowClassInfo.lpszClassName = windowClass;
    // A second copy of the program finds the class registered by the first.
    if (RegisterClassW(&windowClassInfo) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        NKDbgPrintfW(L"%s: cannot register its window class (error %u)\r\n", program,
                     GetLastError());
        return 1;
    }
    HWND window = CreateWindowExW(0, windowClass, title, WS_POPUP | WS_VISIBLE, 0, 0, 480, 640,
                                  NULL, NULL, instance, NULL);
    if (window == NULL) {
        NKDbgPrintfW(L"%s: cannot create its window (error %u)\r\n", program, GetLastError());
        return 1;
    }
    SetForegroundWindow(window);
    NKDbgPrintfW(L"%s: %s\r\n", program, shown);
    MSG msg = {};
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    NKDbgPrintfW(L"%s: closed\r\n", program);
    return static_cast<int>(msg.wParam);
}
