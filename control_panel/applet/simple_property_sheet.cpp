// CSimplePropertySheet and the two callbacks its pages and header carry.
#include "simple_property_sheet.h"

#include <string.h>

#include <strsafe.h>

#include "applet/applet.h"

namespace {

// What the sheet asks for through its callback: the title above the tabs and the link text below
// them. One sheet is open at a time, so one holder of each serves every sheet.
struct SheetText {
    BOOL set;
    WCHAR text[256];
};

SheetText g_sheetTitle;
SheetText g_sheetLinkText;

// The sheet's version answer: the platform's current sheet look, with title and link text.
const int kSheetVersion = 0x20E;

void HoldText(SheetText* holder, LPCWSTR text) {
    holder->set = text != NULL;
    holder->text[0] = L'\0';
    if (text != NULL) {
        StringCchCopyW(holder->text, 256, text);
    }
}

void HandOutText(const SheetText& holder, LPARAM buffer) {
    if (holder.set && buffer != 0) {
        StringCchCopyW(reinterpret_cast<LPWSTR>(buffer), 256, holder.text);
    }
}

UINT CALLBACK PageCallback(HWND, UINT message, LPPROPSHEETPAGEW) {
    if (message == PSPCB_CREATE) {
        return 1;
    }
    if (message == PSPCB_RELEASE) {
        return 0;
    }
    return static_cast<UINT>(-1);
}

int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam) {
    switch (message) {
        case PSCB_GETVERSION:
            return kSheetVersion;
        case PSCB_GETTITLE:
            HandOutText(g_sheetTitle, lParam);
            return 0;
        case PSCB_GETLINKTEXT:
            HandOutText(g_sheetLinkText, lParam);
            return 0;
        default:
            return 0;
    }
}

}  // namespace

CSimplePropertySheet::CSimplePropertySheet(HINSTANCE module) {
    memset(&header_, 0, sizeof header_);
    memset(&pageTemplate_, 0, sizeof pageTemplate_);
    header_.hInstance = module;
    pageTemplate_.hInstance = module;
    pages_.previous = &pages_;
    pages_.next = &pages_;
    pages_.page = NULL;
    pageCount_ = 0;
    HoldText(&g_sheetTitle, NULL);
}

bool CSimplePropertySheet::appendHandle(HPROPSHEETPAGE page) {
    SheetPageNode* node = static_cast<SheetPageNode*>(LocalAlloc(LPTR, sizeof(SheetPageNode)));
    if (node == NULL) {
        return false;
    }
    node->page = page;
    node->next = &pages_;
    node->previous = pages_.previous;
    pages_.previous->next = node;
    pages_.previous = node;
    ++pageCount_;
    return true;
}

int CSimplePropertySheet::addPage(LPCWSTR title, int templateId, DLGPROC procedure) {
    pageTemplate_.dwSize = sizeof pageTemplate_;
    pageTemplate_.dwFlags = PSP_USETITLE | PSP_USECALLBACK;
    pageTemplate_.pszTemplate = MAKEINTRESOURCEW(templateId);
    pageTemplate_.hIcon = NULL;
    pageTemplate_.pszTitle = title;
    pageTemplate_.pfnDlgProc = procedure;
    pageTemplate_.lParam = pageCount_;
    pageTemplate_.pfnCallback = PageCallback;
    pageTemplate_.pcRefParent = NULL;
    HPROPSHEETPAGE page = CreatePropertySheetPageW(&pageTemplate_);
    if (page == NULL) {
        CplTrace(L"%s: Call CreatePropertySheetPage() API is failure.\r\n");
        return -1;
    }
    if (!appendHandle(page)) {
        // The page exists but cannot be kept: let it go rather than lose it.
        DestroyPropertySheetPage(page);
        return -1;
    }
    return pageCount_;
}

bool CSimplePropertySheet::show(LPCWSTR caption, LPCWSTR title, LPCWSTR linkText, HWND owner,
                                int startPage) {
    if (pageCount_ == 0) {
        return false;
    }
    HPROPSHEETPAGE* handles =
        static_cast<HPROPSHEETPAGE*>(LocalAlloc(LPTR, pageCount_ * sizeof(HPROPSHEETPAGE)));
    if (handles == NULL) {
        return false;
    }
    int count = 0;
    for (SheetPageNode* node = pages_.next; node != &pages_; node = node->next) {
        handles[count++] = node->page;
    }
    header_.dwSize = sizeof header_;
    header_.dwFlags = PSH_USECALLBACK | PSH_MAXIMIZE;
    header_.hwndParent = owner;
    header_.hIcon = NULL;
    header_.pszCaption = caption;
    header_.nPages = count;
    header_.nStartPage = startPage >= 0 && startPage < count ? startPage : count - 1;
    header_.phpage = handles;
    header_.pfnCallback = SheetCallback;
    HoldText(&g_sheetTitle, title);
    HoldText(&g_sheetLinkText, linkText);

    INT_PTR result = PropertySheetW(&header_);
    bool shown = true;
    if (result == -1) {
        CplTrace(L"%s: Call PropertySheet() API is failure.\r\n");
        shown = false;
    }
    // A sheet that ran has destroyed its pages; one that could not run leaves them to us.
    emptyList(!shown);
    header_.phpage = NULL;
    LocalFree(handles);
    return shown;
}

void CSimplePropertySheet::emptyList(bool destroyPages) {
    SheetPageNode* node = pages_.next;
    while (node != &pages_) {
        SheetPageNode* next = node->next;
        if (destroyPages) {
            CplTrace(L"%s: Entry DestroyPropertySheetPage %d\r\n");
            DestroyPropertySheetPage(node->page);
            CplTrace(L"%s: Leave DestroyPropertySheetPage %d\r\n");
        }
        LocalFree(node);
        node = next;
    }
    pages_.next = &pages_;
    pages_.previous = &pages_;
    pageCount_ = 0;
}

void CSimplePropertySheet::destroy() {
    emptyList(true);
}
