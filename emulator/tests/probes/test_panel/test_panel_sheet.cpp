#include "test_panel_sheet.h"

#include <commctrl.h>
#include <prsht.h>
#include <aygshell.h>
#include <strsafe.h>

#include "details_dialog.h"
#include "test_panel_ids.h"

namespace {

HINSTANCE g_instance = NULL;

// Every page traces what it goes through, with its index, so that a script can follow the
// sheet's life ("TestPanel: page 2 WM_DESTROY").
void TracePage(LPARAM index, LPCWSTR what) {
    NKDbgPrintfW(L"TestPanel: page %d %s\r\n", static_cast<int>(index), what);
}

LPARAM PageIndexOf(HWND page) {
    return GetWindowLongW(page, DWL_USER);
}

// Handling every page shares: its index from the PROPSHEETPAGE, notifications, destruction.
BOOL CommonPageMessage(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const PROPSHEETPAGEW* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
            SetWindowLongW(page, DWL_USER, static_cast<LONG>(sheetPage->lParam));
            TracePage(sheetPage->lParam, L"WM_INITDIALOG");
            return TRUE;
        }
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == static_cast<UINT>(PSN_SETACTIVE)) {
                TracePage(PageIndexOf(page), L"PSN_SETACTIVE");
            } else if (header->code == static_cast<UINT>(PSN_KILLACTIVE)) {
                TracePage(PageIndexOf(page), L"PSN_KILLACTIVE");
            } else if (header->code == static_cast<UINT>(PSN_APPLY)) {
                TracePage(PageIndexOf(page), L"PSN_APPLY");
            }
            SetWindowLongW(page, DWL_MSGRESULT, 0);
            return TRUE;
        }
        case WM_DESTROY:
            TracePage(PageIndexOf(page), L"WM_DESTROY");
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            FillTestControls(page, L"TP-1");
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_DETAILS && HIWORD(wParam) == BN_CLICKED) {
                ShowDetailsResult(g_instance, page);
                return TRUE;
            }
            return FALSE;
        case WM_SIZE: {
            // The screen turned: the page takes the layout of its template for that shape (the
            // page itself is wider than tall in portrait too).
            bool wide = GetSystemMetrics(SM_CXSCREEN) > GetSystemMetrics(SM_CYSCREEN);
            RelayoutDialog(g_instance, page,
                           MAKEINTRESOURCEW(wide ? IDD_PAGE_GENERAL_WIDE : IDD_PAGE_GENERAL));
            return TRUE;
        }
    }
    return CommonPageMessage(page, message, wParam, lParam);
}

INT_PTR CALLBACK LevelsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SendDlgItemMessageW(page, IDC_VOLUME, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
            SendDlgItemMessageW(page, IDC_VOLUME, TBM_SETPOS, TRUE, 4);
            SetDlgItemInt(page, IDC_VOLUME_VALUE, 4, FALSE);
            SendDlgItemMessageW(page, IDC_DELAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"3"));
            SendDlgItemMessageW(page, IDC_DELAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"5"));
            SendDlgItemMessageW(page, IDC_DELAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"10"));
            break;
        case WM_HSCROLL:
            SetDlgItemInt(
                page, IDC_VOLUME_VALUE,
                static_cast<UINT>(SendDlgItemMessageW(page, IDC_VOLUME, TBM_GETPOS, 0, 0)), FALSE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_LOUD && HIWORD(wParam) == BN_CLICKED) {
                EnableWindow(GetDlgItem(page, IDC_QUIET), IsDlgButtonChecked(page, IDC_LOUD));
                return TRUE;
            }
            return FALSE;
    }
    return CommonPageMessage(page, message, wParam, lParam);
}

INT_PTR CALLBACK ListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_ADD && HIWORD(wParam) == BN_CLICKED) {
        WCHAR text[64] = {};
        GetDlgItemTextW(page, IDC_ROW_TEXT, text, 64);
        if (text[0] != L'\0') {
            SendDlgItemMessageW(page, IDC_ITEMS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        SetDlgItemInt(page, IDC_COUNT,
                      static_cast<UINT>(SendDlgItemMessageW(page, IDC_ITEMS, LB_GETCOUNT, 0, 0)),
                      FALSE);
        return TRUE;
    }
    return CommonPageMessage(page, message, wParam, lParam);
}

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        int id = LOWORD(wParam);
        if (id == IDC_ALL || id == IDC_NONE) {
            for (int option = IDC_OPTION_FIRST; option <= IDC_OPTION_LAST; ++option) {
                CheckDlgButton(page, option, id == IDC_ALL ? BST_CHECKED : BST_UNCHECKED);
            }
        }
        UINT chosen = 0;
        for (int option = IDC_OPTION_FIRST; option <= IDC_OPTION_LAST; ++option) {
            chosen += IsDlgButtonChecked(page, option) == BST_CHECKED ? 1 : 0;
        }
        SetDlgItemInt(page, IDC_CHOSEN, chosen, FALSE);
        return TRUE;
    }
    return CommonPageMessage(page, message, wParam, lParam);
}

UINT CALLBACK PageCallback(HWND, UINT message, LPPROPSHEETPAGEW page) {
    if (message == PSPCB_CREATE) {
        TracePage(page->lParam, L"PSPCB_CREATE");
        return 1;
    }
    if (message == PSPCB_RELEASE) {
        TracePage(page->lParam, L"PSPCB_RELEASE");
    }
    return 0;
}

int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message == PSCB_GETVERSION) {
        return COMCTL32_VERSION;
    }
    if (message == PSCB_GETTITLE) {
        StringCchCopyW(reinterpret_cast<LPWSTR>(lParam), 256, L"Четыре страницы");
    }
    return 0;
}

}  // namespace

LONG ShowTestSheet(HINSTANCE instance, HWND owner, int startPage) {
    g_instance = instance;
    struct PageInfo {
        int templateId;
        LPCWSTR title;
        DLGPROC procedure;
    };
    const PageInfo pages[] = {
        {IDD_PAGE_GENERAL, L"Общие", GeneralPageProc},
        {IDD_PAGE_LEVELS, L"Уровни", LevelsPageProc},
        {IDD_PAGE_LIST, L"Список", ListPageProc},
        {IDD_PAGE_OPTIONS, L"Параметры", OptionsPageProc},
    };
    const int pageCount = sizeof pages / sizeof pages[0];
    HPROPSHEETPAGE handles[pageCount] = {};
    for (int i = 0; i < pageCount; ++i) {
        PROPSHEETPAGEW page = {};
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE | PSP_USECALLBACK;
        page.hInstance = instance;
        page.pszTemplate = MAKEINTRESOURCEW(pages[i].templateId);
        page.pszTitle = pages[i].title;
        page.pfnDlgProc = pages[i].procedure;
        page.lParam = i;
        page.pfnCallback = PageCallback;
        handles[i] = CreatePropertySheetPageW(&page);
        if (handles[i] == NULL) {
            for (int created = 0; created < i; ++created) {
                DestroyPropertySheetPage(handles[created]);
            }
            return 0;
        }
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_USECALLBACK | PSH_MAXIMIZE;
    header.hwndParent = owner;
    header.hInstance = instance;
    header.pszCaption = L"Проверка";
    header.nPages = pageCount;
    header.nStartPage = startPage < pageCount ? startPage : pageCount - 1;
    header.phpage = handles;
    header.pfnCallback = SheetCallback;
    INT_PTR result = PropertySheetW(&header);
    NKDbgPrintfW(L"TestPanel: PropertySheetW returned %d\r\n", static_cast<int>(result));
    return result == -1 ? 0 : 1;
}
