// PropertySheetW: a full-screen window titled with the sheet's caption, the
// sheet title above the pages and the link text below them (as the program's
// callback gives them), and the pages' tabs along the bottom.
//
// A page's dialog is made the first time its tab is shown: the page callback
// hears PSPCB_CREATE first (0 keeps the page from being made), then the dialog
// gets WM_INITDIALOG with the page's PROPSHEETPAGE as lParam, then
// PSN_SETACTIVE. Choosing another tab asks the shown page (PSN_KILLACTIVE; a
// non-zero answer keeps it) and hides it; it is not destroyed. OK in the
// caption asks the shown page (PSN_KILLACTIVE) and then sends PSN_APPLY to
// every page made so far; closing without OK sends PSN_RESET to them instead.
// The sheet then destroys every page it made, in page order, each followed by
// its callback's PSPCB_RELEASE (pages never shown hear PSPCB_RELEASE too), and
// returns 1 after OK (ID_PSRESTARTWINDOWS or ID_PSREBOOTSYSTEM when a page
// asked for that), 0 otherwise, -1 when the sheet could not be made.
//
// The sheet callback (PSH_USECALLBACK) is asked PSCB_GETVERSION and
// PSCB_PRECREATE before the window exists, then PSCB_INITIALIZED and, for a
// program written for this version (COMCTL32_VERSION or later), PSCB_GETTITLE
// and PSCB_GETLINKTEXT into 256-character buffers.
#include "gwes/commctrl/sheets/property_sheet.h"

#include <cstring>
#include <vector>

#include <commctrl.h>

#include "gwes/commctrl/control_classes.h"
#include "gwes/commctrl/sheets/sheet_pages.h"
#include "gwes/commctrl/sheets/sheet_paint.h"
#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_state.h"
#include "gwes/controls/standard_controls.h"
#include "host/screen.h"
#include "kernel/handles.h"

namespace tovarin::gwes::sheets {
namespace {

constexpr UINT kTextBuffer = 256;

struct Sheet : controls::ControlState, std::enable_shared_from_this<Sheet> {
    HWND hwnd = nullptr;
    HWND tabs = nullptr;
    HWND title = nullptr;
    HWND link = nullptr;
    HFONT heading_font = nullptr;  // the title strip's
    HINSTANCE instance = nullptr;
    std::vector<HPROPSHEETPAGE> pages;
    int current = -1;
    bool done = false;
    bool modeless = false;
    INT_PTR result = 0;
    bool restart = false;
    bool reboot = false;
};

std::wstring ResourceText(HINSTANCE instance, LPCWSTR text) {
    if (!text) {
        return {};
    }
    if (IS_INTRESOURCE(text)) {
        WCHAR loaded[kTextBuffer]{};
        LoadStringW(instance, static_cast<UINT>(reinterpret_cast<uintptr_t>(text)), loaded,
                    kTextBuffer);
        return loaded;
    }
    return text;
}

SheetPage* PageAt(const Sheet& sheet, int index) {
    if (index < 0 || index >= static_cast<int>(sheet.pages.size())) {
        return nullptr;
    }
    return FindPage(sheet.pages[static_cast<size_t>(index)]);
}

LRESULT NotifyPage(const Sheet& sheet, SheetPage& page, UINT code, LPARAM lparam = 0) {
    if (!page.hwnd) {
        return 0;
    }
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = sheet.hwnd;
    notify.hdr.idFrom = 0;
    notify.hdr.code = code;
    notify.lParam = lparam;
    return SendMessageW(page.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

RECT PageArea(const Sheet& sheet) {
    RECT client{};
    GetClientRect(sheet.hwnd, &client);
    if (sheet.title) {
        client.top += kSheetTitleHeight;
    }
    client.bottom -= kSheetTabHeight + (sheet.link ? kSheetLinkHeight : 0);
    return client;
}

void Layout(Sheet& sheet) {
    RECT client{};
    GetClientRect(sheet.hwnd, &client);
    const int width = client.right - client.left;
    if (sheet.title) {
        MoveWindow(sheet.title, 0, 0, width, kSheetTitleHeight, FALSE);
    }
    if (sheet.link) {
        MoveWindow(sheet.link, 0, client.bottom - kSheetTabHeight - kSheetLinkHeight, width,
                   kSheetLinkHeight, FALSE);
    }
    MoveWindow(sheet.tabs, 0, client.bottom - kSheetTabHeight, width, kSheetTabHeight, FALSE);
    const RECT area = PageArea(sheet);
    for (HPROPSHEETPAGE handle : sheet.pages) {
        if (SheetPage* page = FindPage(handle); page && page->hwnd) {
            MoveWindow(page->hwnd, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, FALSE);
        }
    }
}

// Makes the page's dialog; false when its callback or its template refuses.
bool MakePage(Sheet& sheet, SheetPage& page) {
    if (page.hwnd) {
        return true;
    }
    if (page.Callback(PSPCB_CREATE) == 0) {
        return false;
    }
    PROPSHEETPAGEW* psp = page.psp();
    const auto init = reinterpret_cast<LPARAM>(psp);
    if (psp->dwFlags & PSP_DLGINDIRECT) {
        page.hwnd = CreateDialogIndirectParamW(psp->hInstance, psp->pResource, sheet.hwnd,
                                               psp->pfnDlgProc, init);
    } else {
        HRSRC found = FindResourceW(psp->hInstance, psp->pszTemplate, RT_DIALOG);
        const auto* bytes =
            found ? static_cast<const BYTE*>(LockResource(LoadResource(psp->hInstance, found)))
                  : nullptr;
        if (!bytes) {
            return false;
        }
        std::vector<BYTE> copy(bytes, bytes + SizeofResource(psp->hInstance, found));
        copy.resize((copy.size() + 3) & ~size_t{3});
        if (!MakeChildTemplate(copy)) {
            return false;
        }
        page.hwnd = CreateDialogIndirectParamW(psp->hInstance,
                                               reinterpret_cast<LPCDLGTEMPLATE>(copy.data()),
                                               sheet.hwnd, psp->pfnDlgProc, init);
    }
    if (!page.hwnd) {
        return false;
    }
    const RECT area = PageArea(sheet);
    SetWindowPos(page.hwnd, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
    return true;
}

// Shows page `index` in place of the shown one. `ask` sends the shown page
// PSN_KILLACTIVE first (a tap on a tab has asked it already).
bool SelectPage(Sheet& sheet, int index, bool ask) {
    SheetPage* next = PageAt(sheet, index);
    if (!next || index == sheet.current) {
        return next != nullptr;
    }
    SheetPage* shown = PageAt(sheet, sheet.current);
    if (ask && shown && NotifyPage(sheet, *shown, PSN_KILLACTIVE) != 0) {
        return false;
    }
    if (!MakePage(sheet, *next) || NotifyPage(sheet, *next, PSN_SETACTIVE) == -1) {
        SendMessageW(sheet.tabs, TCM_SETCURSEL, static_cast<WPARAM>(sheet.current), 0);
        return false;
    }
    ShowWindow(next->hwnd, SW_SHOW);
    if (shown && shown->hwnd) {
        ShowWindow(shown->hwnd, SW_HIDE);
    }
    sheet.current = index;
    SendMessageW(sheet.tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

void End(Sheet& sheet, INT_PTR result) {
    sheet.done = true;
    sheet.result = result;
    if (sheet.modeless) {
        DestroyWindow(sheet.hwnd);
    }
}

void Ok(Sheet& sheet) {
    if (SheetPage* shown = PageAt(sheet, sheet.current);
        shown && NotifyPage(sheet, *shown, PSN_KILLACTIVE) != 0) {
        return;
    }
    for (int index = 0; index < static_cast<int>(sheet.pages.size()); ++index) {
        SheetPage* page = PageAt(sheet, index);
        if (!page || !page->hwnd) {
            continue;
        }
        const LRESULT answer = NotifyPage(sheet, *page, PSN_APPLY, TRUE);
        if (answer == PSNRET_INVALID || answer == PSNRET_INVALID_NOCHANGEPAGE) {
            SelectPage(sheet, index, false);
            return;
        }
    }
    End(sheet, sheet.reboot ? ID_PSREBOOTSYSTEM : sheet.restart ? ID_PSRESTARTWINDOWS : 1);
}

void Cancel(Sheet& sheet) {
    if (SheetPage* shown = PageAt(sheet, sheet.current);
        shown && NotifyPage(sheet, *shown, PSN_QUERYCANCEL) != 0) {
        return;
    }
    for (int index = 0; index < static_cast<int>(sheet.pages.size()); ++index) {
        if (SheetPage* page = PageAt(sheet, index); page && page->hwnd) {
            NotifyPage(sheet, *page, PSN_RESET);
        }
    }
    End(sheet, 0);
}

void AddTab(Sheet& sheet, int index) {
    SheetPage* page = PageAt(sheet, index);
    std::wstring title = page ? page->title : std::wstring();
    if (page && title.empty() && !(page->psp()->dwFlags & PSP_DLGINDIRECT)) {
        HINSTANCE instance = page->psp()->hInstance;
        if (HRSRC found = FindResourceW(instance, page->psp()->pszTemplate, RT_DIALOG)) {
            const auto* bytes =
                static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
            title = bytes ? TemplateCaption(bytes, SizeofResource(instance, found)) : L"";
        }
    }
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(sheet.tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void DestroyPages(Sheet& sheet) {
    for (HPROPSHEETPAGE handle : sheet.pages) {
        DestroyPropertySheetPage(handle);  // the dialog first, then PSPCB_RELEASE
    }
    sheet.pages.clear();
}

int FindById(const Sheet& sheet, LPCWSTR id) {
    for (int index = 0; index < static_cast<int>(sheet.pages.size()); ++index) {
        if (SheetPage* page = PageAt(sheet, index); page && page->psp()->pszTemplate == id) {
            return index;
        }
    }
    return -1;
}

LRESULT SheetMessage(Sheet& sheet, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case PSM_SETCURSEL: {
            int index = static_cast<int>(wparam);
            if (lparam) {
                index = -1;
                for (int i = 0; i < static_cast<int>(sheet.pages.size()); ++i) {
                    if (sheet.pages[static_cast<size_t>(i)] ==
                        reinterpret_cast<HPROPSHEETPAGE>(lparam)) {
                        index = i;
                    }
                }
            }
            return SelectPage(sheet, index, true) ? TRUE : FALSE;
        }
        case PSM_SETCURSELID:
            return SelectPage(sheet, FindById(sheet, reinterpret_cast<LPCWSTR>(lparam)), true);
        case PSM_ADDPAGE: {
            auto handle = reinterpret_cast<HPROPSHEETPAGE>(lparam);
            if (!FindPage(handle) || sheet.pages.size() >= MAXPROPPAGES) {
                return FALSE;
            }
            sheet.pages.push_back(handle);
            AddTab(sheet, static_cast<int>(sheet.pages.size()) - 1);
            return TRUE;
        }
        case PSM_REMOVEPAGE: {
            int index = static_cast<int>(wparam);
            for (int i = 0; lparam && i < static_cast<int>(sheet.pages.size()); ++i) {
                if (sheet.pages[static_cast<size_t>(i)] ==
                    reinterpret_cast<HPROPSHEETPAGE>(lparam)) {
                    index = i;
                }
            }
            if (index < 0 || index >= static_cast<int>(sheet.pages.size())) {
                return FALSE;
            }
            if (index == sheet.current) {
                const int other =
                    index + 1 < static_cast<int>(sheet.pages.size()) ? index + 1 : index - 1;
                SelectPage(sheet, other, false);
            }
            HPROPSHEETPAGE handle = sheet.pages[static_cast<size_t>(index)];
            sheet.pages.erase(sheet.pages.begin() + index);
            SendMessageW(sheet.tabs, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
            if (sheet.current > index) {
                sheet.current--;
            }
            SendMessageW(sheet.tabs, TCM_SETCURSEL, static_cast<WPARAM>(sheet.current), 0);
            DestroyPropertySheetPage(handle);
            return TRUE;
        }
        case PSM_CHANGED:
        case PSM_UNCHANGED:
        case PSM_CANCELTOCLOSE:
            return 0;  // the phone's sheet has no Apply or Cancel button to change
        case PSM_RESTARTWINDOWS:
            sheet.restart = true;
            return 0;
        case PSM_REBOOTSYSTEM:
            sheet.reboot = true;
            return 0;
        case PSM_QUERYSIBLINGS:
            for (HPROPSHEETPAGE handle : sheet.pages) {
                SheetPage* page = FindPage(handle);
                if (page && page->hwnd) {
                    if (LRESULT answer =
                            SendMessageW(page->hwnd, PSM_QUERYSIBLINGS, wparam, lparam)) {
                        return answer;
                    }
                }
            }
            return 0;
        case PSM_APPLY:
            for (int index = 0; index < static_cast<int>(sheet.pages.size()); ++index) {
                SheetPage* page = PageAt(sheet, index);
                if (page && page->hwnd && NotifyPage(sheet, *page, PSN_APPLY, FALSE) != 0) {
                    return FALSE;
                }
            }
            return TRUE;
        case PSM_SETTITLEW: {
            std::wstring title = ResourceText(sheet.instance, reinterpret_cast<LPCWSTR>(lparam));
            SetWindowTextW(sheet.hwnd, title.c_str());
            return 0;
        }
        case PSM_PRESSBUTTON:
            if (wparam == PSBTN_OK || wparam == PSBTN_FINISH) {
                Ok(sheet);
            } else if (wparam == PSBTN_CANCEL) {
                Cancel(sheet);
            } else if (wparam == PSBTN_HELP) {
                if (SheetPage* shown = PageAt(sheet, sheet.current)) {
                    NotifyPage(sheet, *shown, PSN_HELP);
                }
            } else if (wparam == PSBTN_APPLYNOW) {
                SheetMessage(sheet, PSM_APPLY, 0, 0);
            }
            return 0;
        case PSM_GETTABCONTROL:
            return reinterpret_cast<LRESULT>(sheet.tabs);
        case PSM_GETCURRENTPAGEHWND: {
            SheetPage* shown = PageAt(sheet, sheet.current);
            return reinterpret_cast<LRESULT>(shown ? shown->hwnd : nullptr);
        }
        case PSM_ISDIALOGMESSAGE: {
            auto* msg = reinterpret_cast<MSG*>(lparam);
            return msg && IsDialogMessageW(sheet.hwnd, msg) ? TRUE : FALSE;
        }
        default:
            return 0;
    }
}

// The sheet window's dialog procedure. Answers for messages the sheet handles
// go back through DWL_MSGRESULT, as for any dialog.
INT_PTR CALLBACK SheetProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* sheet = reinterpret_cast<Sheet*>(lparam);
        sheet->hwnd = hwnd;
        controls::AttachState(hwnd, sheet->shared_from_this());
        return FALSE;
    }
    auto sheet = controls::StateAs<Sheet>(hwnd);
    if (!sheet) {
        return FALSE;
    }
    auto answer = [hwnd](LRESULT value) {
        SetWindowLongW(hwnd, DWL_MSGRESULT, static_cast<LONG>(value));
        return TRUE;
    };
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                Ok(*sheet);
                return TRUE;
            }
            if (LOWORD(wparam) == IDCANCEL) {
                Cancel(*sheet);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            Cancel(*sheet);
            return TRUE;
        case WM_HELP:
            if (SheetPage* shown = PageAt(*sheet, sheet->current)) {
                NotifyPage(*sheet, *shown, PSN_HELP);
            }
            return TRUE;
        case WM_SIZE:
            if (sheet->tabs) {
                Layout(*sheet);
            }
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->hwndFrom != sheet->tabs) {
                return FALSE;
            }
            if (header->code == TCN_SELCHANGING) {
                SheetPage* shown = PageAt(*sheet, sheet->current);
                return answer(shown && NotifyPage(*sheet, *shown, PSN_KILLACTIVE) != 0);
            }
            if (header->code == TCN_SELCHANGE) {
                SelectPage(*sheet, static_cast<int>(SendMessageW(sheet->tabs, TCM_GETCURSEL, 0, 0)),
                           false);
            }
            return answer(0);
        }
        case WM_DESTROY:
            // However the window goes (OK, or taken down with its thread or owner), the
            // modal loop ends.
            sheet->done = true;
            DestroyPages(*sheet);
            controls::DetachState(hwnd);
            if (sheet->heading_font) {
                controls::DeleteGdiObject(sheet->heading_font);
            }
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return StripColors(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam),
                               sheet->title, sheet->link);
        default:
            if (message >= PSM_SETCURSEL && message <= PSM_SETTITLEW) {
                return answer(SheetMessage(*sheet, message, wparam, lparam));
            }
            return FALSE;
    }
}

// The sheet window's template: a caption and nothing else (the sheet adds its
// strips).
struct SheetTemplate {
    DLGTEMPLATE header;
    WORD menu = 0;
    WORD window_class = 0;
    WORD title = 0;
    WORD pad = 0;
};

int Callback(LPCPROPSHEETHEADERW header, HWND hwnd, UINT message, LPARAM lparam) {
    if (!(header->dwFlags & PSH_USECALLBACK) || !header->pfnCallback) {
        return 0;
    }
    return header->pfnCallback(hwnd, message, lparam);
}

HWND MakeStrip(HWND sheet, LPCWSTR window_class, LPCWSTR text, DWORD style, int id,
               HINSTANCE instance) {
    return CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, sheet,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), instance, nullptr);
}

// Collects the header's pages; false (nothing made) for a bad handle.
bool CollectPages(LPCPROPSHEETHEADERW header, Sheet& sheet) {
    if (header->dwFlags & PSH_PROPSHEETPAGE) {
        const auto* at = reinterpret_cast<const BYTE*>(header->ppsp);
        for (UINT i = 0; i < header->nPages; ++i) {
            const auto* psp = reinterpret_cast<LPCPROPSHEETPAGEW>(at);
            HPROPSHEETPAGE page = psp ? CreatePropertySheetPageW(psp) : nullptr;
            if (!page) {
                for (HPROPSHEETPAGE made : sheet.pages) {
                    DestroyPropertySheetPage(made);
                }
                sheet.pages.clear();
                return false;
            }
            sheet.pages.push_back(page);
            at += psp->dwSize;
        }
        return true;
    }
    for (UINT i = 0; i < header->nPages; ++i) {
        if (!header->phpage || !FindPage(header->phpage[i])) {
            return false;
        }
    }
    sheet.pages.assign(header->phpage, header->phpage + header->nPages);
    return true;
}

int StartPage(LPCPROPSHEETHEADERW header, const Sheet& sheet) {
    if (header->dwFlags & PSH_USEPSTARTPAGE) {
        const std::wstring wanted = ResourceText(header->hInstance, header->pStartPage);
        for (int index = 0; index < static_cast<int>(sheet.pages.size()); ++index) {
            if (PageAt(sheet, index)->title == wanted) {
                return index;
            }
        }
        return 0;
    }
    // A start page past the last shows the first: the sheet never shows nothing.
    return header->nStartPage < sheet.pages.size() ? static_cast<int>(header->nStartPage) : 0;
}

void Build(LPCPROPSHEETHEADERW header, Sheet& sheet, int version) {
    std::wstring title;
    std::wstring link;
    Callback(header, sheet.hwnd, PSCB_INITIALIZED, reinterpret_cast<LPARAM>(header));
    if (version >= COMCTL32_VERSION) {
        WCHAR buffer[kTextBuffer]{};
        Callback(header, sheet.hwnd, PSCB_GETTITLE, reinterpret_cast<LPARAM>(buffer));
        buffer[kTextBuffer - 1] = L'\0';
        title = buffer;
        std::memset(buffer, 0, sizeof(buffer));
        Callback(header, sheet.hwnd, PSCB_GETLINKTEXT, reinterpret_cast<LPARAM>(buffer));
        buffer[kTextBuffer - 1] = L'\0';
        link = buffer;
    }
    const std::wstring caption = ResourceText(header->hInstance, header->pszCaption);
    SetWindowTextW(sheet.hwnd, caption.c_str());
    if (!title.empty()) {
        sheet.title = MakeStrip(sheet.hwnd, controls::kStaticClass, title.c_str(), SS_LEFT,
                                kSheetTitleId, header->hInstance);
        sheet.heading_font = MakeHeadingFont();
        SendMessageW(sheet.title, WM_SETFONT, reinterpret_cast<WPARAM>(sheet.heading_font), FALSE);
    }
    if (!link.empty()) {
        sheet.link = MakeStrip(sheet.hwnd, controls::kStaticClass, link.c_str(),
                               SS_LEFT | SS_NOTIFY, kSheetLinkId, header->hInstance);
    }
    sheet.tabs = MakeStrip(sheet.hwnd, controls::kTabClass, L"", TCS_BOTTOM, kSheetTabsId,
                           header->hInstance);
    // The phone's sheets fill the work area, and keep filling it when the screen turns.
    KeepFullScreen(sheet.hwnd, false);
    Layout(sheet);
    for (int index = 0; index < static_cast<int>(sheet.pages.size()); ++index) {
        AddTab(sheet, index);
    }
}

}  // namespace

bool ViewSheet(HWND hwnd, SheetView* view) {
    auto sheet = controls::StateAs<Sheet>(hwnd);
    if (!sheet) {
        return false;
    }
    view->tabs = sheet->tabs;
    view->current = sheet->current;
    view->count = static_cast<int>(sheet->pages.size());
    SheetPage* shown = PageAt(*sheet, sheet->current);
    view->page = shown ? shown->hwnd : nullptr;
    return true;
}

}  // namespace tovarin::gwes::sheets

using namespace tovarin::gwes::sheets;

extern "C" {

INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW lppsph) {
    if (!lppsph || lppsph->dwSize < sizeof(PROPSHEETHEADERW) || lppsph->nPages == 0) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (lppsph->nPages > MAXPROPPAGES) {
        tovarin::kernel::SetError(0);  // documented: -1 without a reason
        return -1;
    }
    auto sheet = std::make_shared<Sheet>();
    sheet->instance = lppsph->hInstance;
    sheet->modeless = (lppsph->dwFlags & PSH_MODELESS) != 0;
    if (!CollectPages(lppsph, *sheet)) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const int version = Callback(lppsph, nullptr, PSCB_GETVERSION, 0);
    SheetTemplate frame{};
    frame.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    frame.header.dwExtendedStyle = WS_EX_CAPTIONOKBTN;
    Callback(lppsph, nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&frame.header));
    HWND hwnd = CreateDialogIndirectParamW(lppsph->hInstance, &frame.header, lppsph->hwndParent,
                                           &SheetProc, reinterpret_cast<LPARAM>(sheet.get()));
    if (!hwnd) {
        if (lppsph->dwFlags & PSH_PROPSHEETPAGE) {
            DestroyPages(*sheet);  // made here; handles given by the caller stay the caller's
        }
        return -1;
    }
    Build(lppsph, *sheet, version);
    SelectPage(*sheet, StartPage(lppsph, *sheet), false);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    if (sheet->modeless) {
        return reinterpret_cast<INT_PTR>(hwnd);  // the window keeps the sheet
    }

    HWND owner = lppsph->hwndParent;
    const bool owner_was_enabled = owner && IsWindowEnabled(owner);
    if (owner_was_enabled) {
        EnableWindow(owner, FALSE);
    }
    MSG msg{};
    while (!sheet->done) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // the caller's loop ends too
            }
            break;
        }
        if (!IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner_was_enabled) {
        EnableWindow(owner, TRUE);
    }
    DestroyWindow(hwnd);
    return sheet->done ? sheet->result : 0;
}

}  // extern "C"
