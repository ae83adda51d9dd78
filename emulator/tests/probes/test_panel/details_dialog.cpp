#include "details_dialog.h"

#include <commctrl.h>
#include <strsafe.h>

#include "test_panel_ids.h"

namespace {

// The text typed into the details dialog, read when the dialog has ended.
WCHAR g_details[64];

INT_PTR CALLBACK DetailsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        if (LOWORD(wParam) == IDOK) {
            GetDlgItemTextW(dialog, IDC_DETAILS_TEXT, g_details, 64);
        }
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 7 : IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void FillTestControls(HWND dialog, LPCWSTR code) {
    SendDlgItemMessageW(dialog, IDC_PLACE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(L"Основная Память"));
    SendDlgItemMessageW(dialog, IDC_PLACE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(L"Карта Памяти"));
    SendDlgItemMessageW(dialog, IDC_PLACE, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dialog, IDC_MODE_ONE, BST_CHECKED);
    SetDlgItemTextW(dialog, IDC_CODE, code);
}

void ShowDetailsResult(HINSTANCE instance, HWND owner) {
    g_details[0] = L'\0';
    INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DETAILS), owner, DetailsProc, 0);
    WCHAR text[96];
    StringCchPrintfW(text, 96, L"результат %d: %s", static_cast<int>(result),
                     result == 7 ? g_details : L"");
    SetDlgItemTextW(owner, IDC_RESULT, text);
}
