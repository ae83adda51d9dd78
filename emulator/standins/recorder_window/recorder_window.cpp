#include "recorder_window.h"

#include <aygshell.h>
#include <strsafe.h>

#include "common/names.h"
#include "text_page.h"

namespace {

// The procedure of the system's dialog class, which the recorder's window subclasses. A stand-in
// program shows one window.
WNDPROC g_dialogProc = NULL;
WCHAR g_title[64] = L"";
WCHAR g_activity[64] = L"";
DWORD g_activitySince = 0;

// Repaints the elapsed time each second.
const UINT_PTR kElapsedTimer = 0x7E1;
const UINT kElapsedTimerMs = 1000;

void PaintRecorder(HWND hwnd) {
    WCHAR elapsed[16] = L"";
    if (g_activity[0] != L'\0') {
        const DWORD seconds = (GetTickCount() - g_activitySince) / 1000;
        StringCchPrintfW(elapsed, 16, L"%02u:%02u", seconds / 60, seconds % 60);
    }
    const PageBlock page[] = {{g_title, TRUE}, {g_activity, FALSE}, {elapsed, FALSE}};
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client = {};
    GetClientRect(hwnd, &client);
    PaintTextPage(dc, client, page, 3, 0);
    EndPaint(hwnd, &paint);
}

}  // namespace

HWND ShowRecorderWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR title, WNDPROC procedure) {
    HWND window = CreateWindowExW(0, kWindowClassDialog, title, WS_POPUP | WS_VISIBLE, 0, 0, 0, 0,
                                  NULL, NULL, instance, NULL);
    if (window == NULL) {
        NKDbgPrintfW(L"%s: cannot create its window (error %u)\r\n", program, GetLastError());
        return NULL;
    }
    g_dialogProc =
        reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(GetWindowLongW(window, GWL_WNDPROC)));
    SetWindowLongW(window, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(procedure)));
    StringCchCopyW(g_title, 64, title);
    // Full-screen under the taskbar, over an empty menu bar.
    SHINITDLGINFO shell = {};
    shell.dwMask = SHIDIM_FLAGS;
    shell.hDlg = window;
    shell.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
    if (!SHInitDialog(&shell)) {
        NKDbgPrintfW(L"%s: the shell cannot show its window (error %u)\r\n", program,
                     GetLastError());
    }
    SetForegroundWindow(window);
    return window;
}

void ShowRecorderActivity(HWND window, LPCWSTR activity) {
    StringCchCopyW(g_activity, 64, activity);
    g_activitySince = GetTickCount();
    SetTimer(window, kElapsedTimer, kElapsedTimerMs, NULL);
    InvalidateRect(window, NULL, FALSE);
}

LRESULT CallRecorderDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintRecorder(hwnd);
        return 0;
    }
    if (message == WM_TIMER && wParam == kElapsedTimer) {
        InvalidateRect(hwnd, NULL, FALSE);
        return 0;
    }
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
