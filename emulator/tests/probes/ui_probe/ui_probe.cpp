// UiProbe.dll: a service library for the console's screen tests. Its Init starts a thread that
// shows a full-screen dialog (the shell's OK button, an empty menu bar) with test-only controls:
// "ProbeControl" keeps a check state that a tap toggles, "ProbeList" has a vertical scroll bar
// and shows its position as its text. The dialog takes its other layout when the screen turns,
// and OK ends it.
#include <aygshell.h>
#include <commctrl.h>
#include <windows.h>

#include <string>

#include "ui_probe_ids.h"
#include "probe_library.h"

namespace {

LRESULT CALLBACK ProbeControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case BM_SETCHECK:
            SetWindowLongW(hwnd, GWL_USERDATA, static_cast<LONG>(wparam));
            return 0;
        case BM_GETCHECK:
            return GetWindowLongW(hwnd, GWL_USERDATA);
        case WM_LBUTTONUP:
            SetWindowLongW(hwnd, GWL_USERDATA, GetWindowLongW(hwnd, GWL_USERDATA) ? 0 : 1);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

LRESULT CALLBACK ProbeListProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
        SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
        return 0;
    }
    if (message == WM_VSCROLL) {
        int pos = GetScrollPos(hwnd, SB_VERT);
        switch (LOWORD(wparam)) {
            case SB_LINEDOWN:
                pos += 1;
                break;
            case SB_LINEUP:
                pos -= 1;
                break;
            case SB_PAGEDOWN:
                pos += 10;
                break;
            case SB_PAGEUP:
                pos -= 10;
                break;
            case SB_THUMBPOSITION:
                pos = HIWORD(wparam);
                break;
            default:
                return 0;
        }
        SetScrollPos(hwnd, SB_VERT, pos, TRUE);
        SetWindowTextW(hwnd, std::to_wstring(GetScrollPos(hwnd, SB_VERT)).c_str());
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

INT_PTR CALLBACK ProbeDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            SHINITDLGINFO init{SHIDIM_FLAGS, dialog,
                               SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU};
            SHInitDialog(&init);
            for (const wchar_t* item : {L"Один", L"Два", L"Три"}) {
                SendDlgItemMessageW(dialog, IDC_PROBE_CHOICE, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(item));
            }
            SendDlgItemMessageW(dialog, IDC_PROBE_CHOICE, CB_SETCURSEL, 1, 0);
            CheckDlgButton(dialog, IDC_PROBE_LOUD, BST_CHECKED);
            SetDlgItemTextW(dialog, IDC_PROBE_READONLY, L"только чтение");
            SendDlgItemMessageW(dialog, IDC_PROBE_LEVEL, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
            SendDlgItemMessageW(dialog, IDC_PROBE_LEVEL, TBM_SETPOS, TRUE, 4);
            return TRUE;
        }
        case WM_SIZE: {
            const bool landscape = GetSystemMetrics(SM_CXSCREEN) > GetSystemMetrics(SM_CYSCREEN);
            RelayoutDialog(g_probe_instance, dialog,
                           MAKEINTRESOURCEW(landscape ? IDD_PROBE_LANDSCAPE : IDD_PROBE_PORTRAIT));
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                OutputDebugStringW(L"UiProbe: OK\r\n");
                DestroyWindow(dialog);
                PostQuitMessage(0);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

DWORD WINAPI DialogThread(LPVOID) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_BAR_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSW control{};
    control.lpfnWndProc = &ProbeControlProc;
    control.lpszClassName = L"ProbeControl";
    RegisterClassW(&control);
    WNDCLASSW list{};
    list.lpfnWndProc = &ProbeListProc;
    list.lpszClassName = L"ProbeList";
    RegisterClassW(&list);
    HWND dialog = CreateDialogParamW(g_probe_instance, MAKEINTRESOURCEW(IDD_PROBE_PORTRAIT),
                                     nullptr, &ProbeDialogProc, 0);
    MSG message;
    while (dialog && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

}  // namespace

PROBE_SERVICE_ENTRY_POINTS(UIP, DialogThread)
