// User-interface costs in simulated mode: a property sheet of four pages with
// fifteen controls each, opened, every tab visited and closed with OK (the goal
// is well under 20 ms a sheet).
#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include <commctrl.h>
#include <windows.h>

#include "host/device.h"
#include "sheet_page_template.h"

namespace {

using namespace tovarin::kernel;
using tovarin::bench::PageProc;
using tovarin::bench::PageTemplate;

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
