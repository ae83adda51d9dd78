// User-interface costs in simulated mode: a property sheet of four pages with
// fifteen controls each, opened, every tab visited and closed with OK (the goal
// is well under 20 ms a sheet).
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include <commctrl.h>
#include <windows.h>

#include "kernel/device.h"

namespace {

using namespace tovarin::kernel;

// A dialog template in memory, as the resource compiler writes one (DIALOG
// layout).
class TemplateWriter {
  public:
    TemplateWriter(DWORD style, int items) {
        DLGTEMPLATE header{style, 0, static_cast<WORD>(items), 0, 0, 240, 200};
        Append(&header, sizeof(header));
        Words({0, 0, 0});  // no menu, the dialog class, no caption
    }

    void Item(WORD atom, std::wstring_view class_name, DWORD style, WORD id, short y,
              std::wstring_view text) {
        Align();
        DLGITEMTEMPLATE item{
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | style), 0, 4, y, 200, 12, id};
        Append(&item, sizeof(item));
        if (atom) {
            Words({0xFFFF, atom});
        } else {
            String(class_name);
        }
        String(text);
        Words({0});  // no creation data
    }

    std::vector<BYTE> Take() {
        Align();
        return std::move(bytes_);
    }

  private:
    void Append(const void* data, size_t size) {
        const auto* begin = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), begin, begin + size);
    }
    void Words(std::initializer_list<WORD> words) {
        for (WORD word : words) {
            Append(&word, 2);
        }
    }
    void String(std::wstring_view text) {
        for (wchar_t c : text) {
            Words({static_cast<WORD>(c)});
        }
        Words({0});
    }
    void Align() {
        while (bytes_.size() % 4) {
            bytes_.push_back(0);
        }
    }
    std::vector<BYTE> bytes_;
};

std::vector<BYTE> PageTemplate() {
    TemplateWriter writer(WS_CHILD | DS_CONTROL, 15);
    WORD id = 1000;
    short y = 4;
    auto next = [&]() {
        y = static_cast<short>(y + 13);
        return id++;
    };
    for (int i = 0; i < 4; ++i) {
        writer.Item(0x0082, {}, SS_LEFT, next(), y, L"Подпись");
    }
    for (int i = 0; i < 3; ++i) {
        writer.Item(0x0080, {}, BS_AUTOCHECKBOX | WS_TABSTOP, next(), y, L"Флажок");
    }
    for (int i = 0; i < 2; ++i) {
        writer.Item(0x0081, {}, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, next(), y, L"");
    }
    for (int i = 0; i < 3; ++i) {
        writer.Item(0x0085, {}, CBS_DROPDOWNLIST | WS_TABSTOP, next(), y, L"");
    }
    writer.Item(0x0083, {}, LBS_NOTIFY | WS_BORDER, next(), y, L"");
    writer.Item(0, L"msctls_trackbar32", TBS_NOTICKS, next(), y, L"");
    writer.Item(0, L"SysListView32", LVS_REPORT | LVS_NOCOLUMNHEADER, next(), y, L"");
    return writer.Take();
}

INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (int combo = 1009; combo < 1012; ++combo) {
            for (LPCWSTR item : {L"Нет", L"Эхо", L"Зал"}) {
                SendDlgItemMessageW(hwnd, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            SendDlgItemMessageW(hwnd, combo, CB_SETCURSEL, 0, 0);
        }
        return TRUE;
    }
    return FALSE;
}

// Once the sheet is up, the user visits the other three tabs and taps OK.
int CALLBACK SheetCallback(HWND hwnd, UINT message, LPARAM) {
    if (message == PSCB_GETVERSION) {
        return COMCTL32_VERSION;
    }
    if (message == PSCB_INITIALIZED) {
        for (WPARAM tab = 1; tab < 4; ++tab) {
            PostMessageW(hwnd, PSM_SETCURSEL, tab, 0);
        }
        PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

void BM_PropertySheetFourPagesEveryTab(benchmark::State& state) {
    Device device({.clock = ClockMode::Simulated});
    AttachedThread self("bench");
    const std::vector<BYTE> page_template = PageTemplate();
    PROPSHEETPAGEW pages[4]{};
    for (int i = 0; i < 4; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
        pages[i].pResource = reinterpret_cast<const DLGTEMPLATE*>(page_template.data());
        pages[i].pszTitle = L"Страница";
        pages[i].pfnDlgProc = &PageProc;
        pages[i].lParam = i;
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_MAXIMIZE;
    header.pszCaption = L"Настройка";
    header.nPages = 4;
    header.ppsp = pages;
    header.pfnCallback = &SheetCallback;
    for (auto _ : state) {
        if (PropertySheetW(&header) != 1) {
            state.SkipWithError("the sheet did not end with OK");
            break;
        }
    }
}
BENCHMARK(BM_PropertySheetFourPagesEveryTab)->Unit(benchmark::kMillisecond);

}  // namespace
