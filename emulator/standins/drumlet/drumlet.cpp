// Drumlet.exe as the emulator stands it in: the call recorder that the call-recording service
// starts when the record key is pressed during a call. It reads the call dialog's handle and the
// recording place that the registry holds for it, shows its window (class "Dialog", title
// "Телефонный Записи"), records the call until its window receives WM_KEYDOWN with the record key,
// and ends with 0. The trace shows what it records and when it stops, which is all the suite can
// observe of a recording.
#include <windows.h>
#include <regext.h>

#include "common/names.h"
#include "recording_place.h"

namespace {

// The procedure of the system's dialog class, which the recorder's window subclasses.
WNDPROC g_dialogProc = NULL;

LRESULT CALLBACK RecorderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == kVirtualKeyRecord) {
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return CallWindowProcW(g_dialogProc, hwnd, message, wParam, lParam);
}

void ReadString(LPCWSTR valueName, LPWSTR buffer, UINT cchBuffer) {
    if (FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyCallisk, valueName, buffer, cchBuffer))) {
        buffer[0] = L'\0';
    }
}

void StartRecording() {
    DWORD callWindow = 0;
    if (FAILED(
            RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskHandle, &callWindow))) {
        callWindow = 0;
    }
    WCHAR saveDir[MAX_PATH];
    WCHAR fileName[MAX_PATH];
    ReadString(kValueCalliskSaveDir, saveDir, MAX_PATH);
    ReadString(kValueCalliskFileName, fileName, MAX_PATH);

    WCHAR prefix[MAX_PATH];
    ChooseRecordingPrefix(saveDir, fileName, prefix, MAX_PATH);
    NKDbgPrintfW(L"Drumlet: recording the call of window 0x%08X into %s\r\n", callWindow, prefix);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE,
                                                                     LPWSTR, int) {
    HWND window =
        CreateWindowExW(0, kWindowClassDialog, kWindowTitleCallRecorder, WS_POPUP | WS_VISIBLE, 0,
                        0, 240, 320, NULL, NULL, hInstance, NULL);
    if (window == NULL) {
        NKDbgPrintfW(L"Drumlet: cannot create its window (error %u)\r\n", GetLastError());
        return 1;
    }
    g_dialogProc =
        reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(GetWindowLongW(window, GWL_WNDPROC)));
    SetWindowLongW(window, GWL_WNDPROC,
                   static_cast<LONG>(reinterpret_cast<LONG_PTR>(RecorderWindowProc)));
    SetForegroundWindow(window);

    StartRecording();

    MSG msg = {};
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    NKDbgPrintfW(L"Drumlet: stopped\r\n");
    return static_cast<int>(msg.wParam);
}
