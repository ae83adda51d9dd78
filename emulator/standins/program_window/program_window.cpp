#include "program_window.h"

#include <aygshell.h>

namespace {

const int kLineStep = 24;

// A stand-in program shows one window.
const PageBlock* g_blocks = NULL;
int g_blockCount = 0;
int g_pageHeight = 0;

int ScrollPosition(HWND hwnd) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(hwnd, SB_VERT, &info) ? info.nPos : 0;
}

// The scroll bar covers the page: shown while the page is taller than the window.
void SetScrollRange(HWND hwnd) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = g_pageHeight > 0 ? g_pageHeight - 1 : 0;
    info.nPage = static_cast<UINT>(client.bottom - client.top);
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

void Scroll(HWND hwnd, WORD request, int thumb) {
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int page = client.bottom - client.top;
    int position = ScrollPosition(hwnd);
    switch (request) {
        case SB_LINEDOWN:
            position += kLineStep;
            break;
        case SB_LINEUP:
            position -= kLineStep;
            break;
        case SB_PAGEDOWN:
            position += page;
            break;
        case SB_PAGEUP:
            position -= page;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            position = thumb;
            break;
        default:
            return;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;  // the bar keeps it within the page
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
    InvalidateRect(hwnd, NULL, FALSE);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int height = PaintTextPage(dc, client, g_blocks, g_blockCount, ScrollPosition(hwnd));
    EndPaint(hwnd, &paint);
    // The default painting draws what lies around the client area: the scroll bar.
    DefWindowProcW(hwnd, WM_PAINT, 0, 0);
    if (height != g_pageHeight) {
        g_pageHeight = height;
        SetScrollRange(hwnd);
    }
}

LRESULT CALLBACK ProgramWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_SIZE:
            SetScrollRange(hwnd);
            InvalidateRect(hwnd, NULL, FALSE);
            return 0;
        case WM_VSCROLL:
            Scroll(hwnd, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
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
    // WM_CLOSE's default handling destroys the window.
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int RunProgramWindow(HINSTANCE instance, LPCWSTR program, LPCWSTR windowClass, LPCWSTR title,
                     LPCWSTR shown, const PageBlock* blocks, int blockCount) {
    g_blocks = blocks;
    g_blockCount = blockCount;
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
    HWND window = CreateWindowExW(0, windowClass, title, WS_POPUP | WS_VSCROLL, 0, 0, 0, 0, NULL,
                                  NULL, instance, NULL);
    if (window == NULL) {
        NKDbgPrintfW(L"%s: cannot create its window (error %u)\r\n", program, GetLastError());
        return 1;
    }
    // Full-screen under the taskbar, with OK in its caption and an empty menu bar under it, so
    // that a tap on either bar reaches the shell.
    SHINITDLGINFO shell = {};
    shell.dwMask = SHIDIM_FLAGS;
    shell.hDlg = window;
    shell.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
    if (!SHInitDialog(&shell)) {
        NKDbgPrintfW(L"%s: the shell cannot show its window (error %u)\r\n", program,
                     GetLastError());
    }
    ShowWindow(window, SW_SHOW);
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
