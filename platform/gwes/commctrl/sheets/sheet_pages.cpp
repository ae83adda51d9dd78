// CreatePropertySheetPageW, DestroyPropertySheetPage and the page records
// behind their handles.
#include "gwes/commctrl/sheets/sheet_pages.h"

#include <cstring>
#include <map>
#include <mutex>

#include "kernel/device_local.h"
#include "kernel/handles.h"

namespace tovarin::gwes::sheets {
namespace {

// The live pages of the device. Handles are the records' addresses; a handle is
// honoured only while its page is in this table.
struct PageTable {
    std::mutex mutex;
    std::map<HPROPSHEETPAGE, std::unique_ptr<SheetPage>> pages;
};

std::shared_ptr<PageTable> Pages() {
    static auto* table = new kernel::DeviceLocal<PageTable>;
    return table->Get();
}

WORD ReadWord(const BYTE* bytes, size_t at) {
    return static_cast<WORD>(bytes[at] | (bytes[at + 1] << 8));
}

// Skips a name-or-ordinal field (0: none; 0xFFFF and a WORD: an ordinal; else a
// string); returns the offset after it, or 0 when the template ends first.
size_t SkipNameOrOrdinal(const BYTE* bytes, size_t size, size_t at) {
    if (at + 2 > size) {
        return 0;
    }
    const WORD first = ReadWord(bytes, at);
    if (first == 0) {
        return at + 2;
    }
    if (first == 0xFFFF) {
        return at + 4 <= size ? at + 4 : 0;
    }
    for (; at + 2 <= size; at += 2) {
        if (ReadWord(bytes, at) == 0) {
            return at + 2;
        }
    }
    return 0;
}

bool IsExtended(const BYTE* bytes, size_t size) {
    return size >= 4 && ReadWord(bytes, 0) == 1 && ReadWord(bytes, 2) == 0xFFFF;
}

}  // namespace

UINT SheetPage::Callback(UINT message) {
    PROPSHEETPAGEW* page = psp();
    if (!(page->dwFlags & PSP_USECALLBACK) || !page->pfnCallback) {
        return 1;
    }
    return page->pfnCallback(nullptr, message, page);
}

SheetPage* FindPage(HPROPSHEETPAGE handle) {
    auto table = Pages();
    std::lock_guard guard(table->mutex);
    auto found = table->pages.find(handle);
    return found == table->pages.end() ? nullptr : found->second.get();
}

std::wstring TemplateCaption(const BYTE* bytes, size_t size) {
    const size_t header = IsExtended(bytes, size) ? 26 : 18;
    size_t at = SkipNameOrOrdinal(bytes, size, header);  // menu
    at = at ? SkipNameOrOrdinal(bytes, size, at) : 0;    // class
    std::wstring caption;
    for (; at && at + 2 <= size; at += 2) {
        const WORD c = ReadWord(bytes, at);
        if (c == 0) {
            return caption;
        }
        caption.push_back(static_cast<wchar_t>(c));
    }
    return {};
}

bool MakeChildTemplate(std::vector<BYTE>& bytes) {
    const size_t style_at = IsExtended(bytes.data(), bytes.size()) ? 12 : 0;
    if (bytes.size() < style_at + 4) {
        return false;
    }
    DWORD style = 0;
    std::memcpy(&style, bytes.data() + style_at, 4);
    style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME);
    style |= WS_CHILD | DS_CONTROL;
    std::memcpy(bytes.data() + style_at, &style, 4);
    return true;
}

}  // namespace tovarin::gwes::sheets

using namespace tovarin::gwes::sheets;

extern "C" {

HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW lppsp) {
    if (!lppsp || lppsp->dwSize < sizeof(PROPSHEETPAGEW)) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto page = std::make_unique<SheetPage>();
    page->record.assign((lppsp->dwSize + 7) / 8, 0);
    std::memcpy(page->record.data(), lppsp, lppsp->dwSize);
    PROPSHEETPAGEW* psp = page->psp();
    if ((psp->dwFlags & PSP_USETITLE) && psp->pszTitle) {
        if (IS_INTRESOURCE(psp->pszTitle)) {
            WCHAR text[256]{};
            LoadStringW(psp->hInstance,
                        static_cast<UINT>(reinterpret_cast<uintptr_t>(psp->pszTitle)), text, 256);
            page->title = text;
        } else {
            page->title = psp->pszTitle;
        }
    }
    if ((psp->dwFlags & PSP_USEREFPARENT) && psp->pcRefParent) {
        ++*psp->pcRefParent;
    }
    auto handle = reinterpret_cast<HPROPSHEETPAGE>(page.get());
    auto table = Pages();
    std::lock_guard guard(table->mutex);
    table->pages.emplace(handle, std::move(page));
    return handle;
}

BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE hPSPage) {
    std::unique_ptr<SheetPage> page;
    {
        auto table = Pages();
        std::lock_guard guard(table->mutex);
        auto found = table->pages.find(hPSPage);
        if (found == table->pages.end()) {
            tovarin::kernel::SetError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        page = std::move(found->second);
        table->pages.erase(found);
    }
    if (page->hwnd && IsWindow(page->hwnd)) {
        DestroyWindow(page->hwnd);
    }
    page->Callback(PSPCB_RELEASE);
    PROPSHEETPAGEW* psp = page->psp();
    if ((psp->dwFlags & PSP_USEREFPARENT) && psp->pcRefParent && *psp->pcRefParent > 0) {
        --*psp->pcRefParent;
    }
    return TRUE;
}

}  // extern "C"
