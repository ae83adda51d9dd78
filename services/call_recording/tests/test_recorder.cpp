// Drumlet.exe as the tests install it: a call recorder that shows the window the service looks
// for, writes to the trace which call dialog "Handle" names, and ends when its window receives the
// stop key.
#include <windows.h>
#include <regext.h>

#include "common/names.h"

namespace {

WNDPROC g_dialogProc = NULL;

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == kVirtualKeyRecord) {
        NKDbgPrintfW(L"recorder: stop key\r\n");
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return CallWindowProcW(g_dialogProc, hwnd, message, wParam, lParam);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE,
                                                                     LPWSTR, int) {
    DWORD dialog = 0;
    RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskHandle, &dialog);
    NKDbgPrintfW(L"recorder: started for dialog %u\r\n", dialog);
    HWND window = CreateWindowExW(0, kWindowClassDialog, kWindowTitleCallRecorder, WS_POPUP, 0, 0,
                                  240, 320, NULL, NULL, hInstance, NULL);
    g_dialogProc =
        (WNDPROC)(LONG_PTR)SetWindowLongW(window, GWL_WNDPROC, (LONG)(LONG_PTR)RecorderProc);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
