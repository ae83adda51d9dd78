// TestDialog.exe: a program for the emulator's scripts, written as a phone's program is. Its one
// modal dialog is full-screen with Done in the caption, holds about fifteen standard controls,
// lays itself out again from its landscape template when the screen turns, and opens a second
// modal dialog whose result it shows. It traces how its dialogs end.
#include <windows.h>
#include <aygshell.h>
#include <commctrl.h>
#include "details_dialog.h"
#include "test_panel_ids.h"

namespace {

HINSTANCE g_instance = NULL;
INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SHINITDLGINFO info = {};
            info.dwMask = SHIDIM_FLAGS;
            info.hDlg = dialog;
            info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
            SHInitDialog(&info);
            FillTestControls(dialog, L"TD-1");
            SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
            SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_SETPOS, TRUE, 4);
            return TRUE;
        }
        case WM_SIZE: {
            bool wide = LOWORD(lParam) > HIWORD(lParam);
            RelayoutDialog(g_instance, dialog,
                           MAKEINTRESOURCEW(wide ? IDD_TEST_DIALOG_WIDE : IDD_TEST_DIALOG));
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_DETAILS:
                    ShowDetailsResult(g_instance, dialog);
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    EndDialog(dialog, LOWORD(wParam));
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE,
                                                                     LPWSTR, int) {
    g_instance = hInstance;
    INT_PTR result =
        DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_TEST_DIALOG), NULL, TestDialogProc, 0);
    NKDbgPrintfW(L"TestDialog: DialogBoxParamW returned %d\r\n", static_cast<int>(result));
    return 0;
}
