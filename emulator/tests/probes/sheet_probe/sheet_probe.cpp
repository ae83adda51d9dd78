// SheetProbe.dll: a service library for the console's control commands. Its Init starts a thread
// that shows a two-page property sheet of standard controls and traces what the pages hear
// ("SheetProbe: 1040 CBN_SELCHANGE", "SheetProbe: page 0 PSN_APPLY"), so that a script can check
// the notifications a user's taps bring.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "sheet_probe_ids.h"
#include "probe_library.h"

namespace {

void Trace(const std::wstring& text) {
    OutputDebugStringW((L"SheetProbe: " + text + L"\r\n").c_str());
}

const wchar_t* CodeName(UINT code) {
    switch (code) {
        case PSN_SETACTIVE:
            return L"PSN_SETACTIVE";
        case PSN_KILLACTIVE:
            return L"PSN_KILLACTIVE";
        case PSN_APPLY:
            return L"PSN_APPLY";
        case PSN_RESET:
            return L"PSN_RESET";
        case PSN_HELP:
            return L"PSN_HELP";
        default:
            return nullptr;
    }
}

const wchar_t* CommandName(WORD code, HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const std::wstring cls = name;
    if (cls == L"Button") {
        return code == BN_CLICKED ? L"BN_CLICKED" : nullptr;
    }
    if (cls == L"ComboBox") {
        return code == CBN_SELCHANGE ? L"CBN_SELCHANGE" : nullptr;
    }
    if (cls == L"ListBox") {
        return code == LBN_SELCHANGE ? L"LBN_SELCHANGE" : nullptr;
    }
    if (cls == L"Edit") {
        return code == EN_CHANGE ? L"EN_CHANGE" : nullptr;
    }
    return nullptr;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
            SetWindowLongW(page, GWL_USERDATA, static_cast<LONG>(psp->lParam));
            if (psp->lParam == 0) {
                for (const wchar_t* effect : {L"Нет", L"Эхо", L"Зал", L"Улица"}) {
                    SendDlgItemMessageW(page, IDC_SHEET_EFFECT, CB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(effect));
                }
                SendDlgItemMessageW(page, IDC_SHEET_EFFECT, CB_SETCURSEL, 0, 0);
                SendDlgItemMessageW(page, IDC_SHEET_LEVEL, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
            } else {
                for (const wchar_t* row : {L"один", L"два", L"три"}) {
                    SendDlgItemMessageW(page, IDC_SHEET_LIST, LB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(row));
                }
                CheckDlgButton(page, IDC_SHEET_RADIO_A, BST_CHECKED);
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (const wchar_t* name = CommandName(HIWORD(wparam), reinterpret_cast<HWND>(lparam))) {
                Trace(std::to_wstring(LOWORD(wparam)) + L" " + name);
            }
            return TRUE;
        case WM_HSCROLL:
            if (LOWORD(wparam) == TB_ENDTRACK) {
                Trace(L"level " + std::to_wstring(SendMessageW(reinterpret_cast<HWND>(lparam),
                                                               TBM_GETPOS, 0, 0)));
            }
            return TRUE;
        case WM_NOTIFY:
            if (const wchar_t* name = CodeName(reinterpret_cast<const NMHDR*>(lparam)->code)) {
                Trace(L"page " + std::to_wstring(GetWindowLongW(page, GWL_USERDATA)) + L" " + name);
            }
            SetWindowLongW(page, DWL_MSGRESULT, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

int CALLBACK SheetCallback(HWND, UINT message, LPARAM lparam) {
    if (message == PSCB_GETVERSION) {
        return COMCTL32_VERSION;
    }
    if (message == PSCB_GETTITLE) {
        wcscpy(reinterpret_cast<LPWSTR>(lparam), L"Проба");
    }
    return 0;
}

DWORD WINAPI SheetThread(LPVOID) {
    PROPSHEETPAGEW pages[2] = {};
    const UINT templates[2] = {IDD_SHEET_GENERAL, IDD_SHEET_SOUND};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].hInstance = g_probe_instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(templates[i]);
        pages[i].pfnDlgProc = &PageProc;
        pages[i].lParam = i;
    }
    pages[1].dwFlags = PSP_USETITLE;  // the first page's tab shows its template's caption
    pages[1].pszTitle = MAKEINTRESOURCEW(IDS_SHEET_SOUND);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_MAXIMIZE;
    header.hInstance = g_probe_instance;
    header.pszCaption = L"Настройка";
    header.nPages = 2;
    header.ppsp = pages;
    header.pfnCallback = &SheetCallback;
    Trace(L"PropertySheet " + std::to_wstring(PropertySheetW(&header)));
    return 0;
}

}  // namespace

PROBE_SERVICE_ENTRY_POINTS(SHP, SheetThread)
