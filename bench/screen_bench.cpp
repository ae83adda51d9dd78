// Drawing costs in simulated mode: the whole 480 x 640 screen redrawn (the taskbar, a full-screen
// dialog holding a sheet page of fifteen controls and an empty menu bar): every window
// invalidated, every WM_PAINT delivered and the frame buffer composited (the goal is under 5 ms
// median).
#include <benchmark/benchmark.h>

#include <vector>

#include <aygshell.h>
#include <windows.h>

#include "host/screen_image.h"
#include "host/device.h"
#include "host/shell_bars.h"
#include "sheet_page_template.h"

namespace {

using namespace tovarin::kernel;

void InvalidateTree(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, TRUE);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        InvalidateTree(child);
    }
}

void DeliverPaints() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK TaskbarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        tovarin::shell::PaintTaskbar(hwnd, tovarin::shell::TaskbarLookNow(hwnd));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND MakeTaskbar() {
    WNDCLASSW taskbar_class{};
    taskbar_class.lpfnWndProc = &TaskbarProc;
    taskbar_class.lpszClassName = L"BenchTaskbar";
    RegisterClassW(&taskbar_class);
    return CreateWindowExW(0, L"BenchTaskbar", L"", WS_POPUP | WS_VISIBLE, 0, 0, 480, 52, nullptr,
                           nullptr, nullptr, nullptr);
}

void BM_RedrawScreenWithSheetPage(benchmark::State& state) {
    Device device({.clock = ClockMode::Simulated});
    AttachedThread self("bench");
    const std::vector<BYTE> page_template = tovarin::bench::PageTemplate();
    // The page lies in a full-screen window, as a sheet's pages do.
    HWND frame = CreateWindowExW(0, L"Dialog", L"Настройка", WS_POPUP | WS_VISIBLE, 0, 52, 480, 536,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateDialogIndirectParamW(
        nullptr, reinterpret_cast<const DLGTEMPLATE*>(page_template.data()), frame,
        &tovarin::bench::PageProc, 0);
    if (!page) {
        state.SkipWithError("the page was not made");
        return;
    }
    SetWindowPos(page, nullptr, 0, 0, 480, 536, SWP_NOZORDER);
    ShowWindow(page, SW_SHOW);
    HWND taskbar = MakeTaskbar();
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = frame;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    if (!taskbar || !SHCreateMenuBar(&bar)) {
        state.SkipWithError("the bars were not made");
        return;
    }
    const HWND screen[] = {taskbar, frame, bar.hwndMB};
    DeliverPaints();
    tovarin::gwes::CaptureScreen();
    for (auto _ : state) {
        for (HWND hwnd : screen) {
            InvalidateTree(hwnd);
        }
        DeliverPaints();
        benchmark::DoNotOptimize(tovarin::gwes::CaptureScreen().serial);
    }
    DestroyWindow(bar.hwndMB);
    DestroyWindow(frame);
    DestroyWindow(taskbar);
}
BENCHMARK(BM_RedrawScreenWithSheetPage)->Unit(benchmark::kMillisecond);

}  // namespace
