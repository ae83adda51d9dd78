// Dialog costs: a dialog made from a template with 20 controls and destroyed again, in simulated
// time (goal: well under 1 ms median).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <windows.h>

#include "host/device.h"

namespace {

using namespace tovarin::kernel;

constexpr int kControls = 20;

LRESULT CALLBACK BenchControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

INT_PTR CALLBACK BenchDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A DIALOG template as the resource compiler lays it out: 20 controls of a registered class.
class TemplateWriter {
  public:
    void Word(uint16_t value) { words_.push_back(value); }
    void Dword(uint32_t value) {
        Word(static_cast<uint16_t>(value));
        Word(static_cast<uint16_t>(value >> 16));
    }
    void Text(const char16_t* text) {
        for (; *text; ++text) {
            Word(static_cast<uint16_t>(*text));
        }
        Word(0);
    }
    void AlignToDword() {
        if (words_.size() % 2) {
            Word(0);
        }
    }
    const uint16_t* data() const { return words_.data(); }

  private:
    std::vector<uint16_t> words_;
};

TemplateWriter TwentyControls() {
    TemplateWriter writer;
    writer.Dword(DS_SETFONT | WS_POPUP);
    writer.Dword(0);
    writer.Word(kControls);
    for (int16_t value : {0, 0, 140, 200}) {
        writer.Word(static_cast<uint16_t>(value));
    }
    writer.Word(0);  // no menu
    writer.Word(0);  // the dialog class
    writer.Text(u"Bench");
    writer.Word(8);
    writer.Text(u"Tahoma");
    for (int index = 0; index < kControls; ++index) {
        writer.AlignToDword();
        writer.Dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        writer.Dword(0);
        for (int value : {2 + 68 * (index / 10), 2 + 10 * (index % 10), 60, 8}) {
            writer.Word(static_cast<uint16_t>(value));
        }
        writer.Word(static_cast<uint16_t>(2001 + index));
        writer.Text(u"BenchControl");
        writer.Text(u"text");
        writer.Word(0);  // no creation data
    }
    return writer;
}

void BM_DialogWithTwentyControls(benchmark::State& state) {
    Device device({.clock = ClockMode::Simulated});
    AttachedThread self("bench");
    WNDCLASSW control{};
    control.lpfnWndProc = &BenchControlProc;
    control.lpszClassName = L"BenchControl";
    RegisterClassW(&control);
    const TemplateWriter writer = TwentyControls();
    const auto* dialog_template = reinterpret_cast<LPCDLGTEMPLATEW>(writer.data());
    for (auto _ : state) {
        HWND dialog =
            CreateDialogIndirectParamW(nullptr, dialog_template, nullptr, &BenchDialogProc, 0);
        if (!dialog) {
            state.SkipWithError("the dialog was not made");
            break;
        }
        DestroyWindow(dialog);
    }
}
BENCHMARK(BM_DialogWithTwentyControls)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
