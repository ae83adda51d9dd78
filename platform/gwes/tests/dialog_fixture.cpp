#include "gwes/tests/dialog_fixture.h"

#include <filesystem>

#include "kernel/modules/modules.h"

namespace tovarin::gwes::testing {
namespace {

DialogHandler& Handler() {
    static DialogHandler handler;
    return handler;
}

LRESULT CALLBACK TestControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Recorder::Instance().Add({hwnd, message, wparam, lparam, GetCurrentThreadId()});
    switch (message) {
        case BM_SETCHECK:
            SetWindowLongW(hwnd, GWL_USERDATA, static_cast<LONG>(wparam));
            return 0;
        case BM_GETCHECK:
            return GetWindowLongW(hwnd, GWL_USERDATA);
        case WM_GETDLGCODE:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

kernel::DeviceOptions OptionsFor(const std::filesystem::path& root) {
    kernel::DeviceOptions options;
    options.clock = kernel::ClockMode::Simulated;
    options.image_root = root;
    return options;
}

}  // namespace

INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Recorder::Instance().Add({hwnd, message, wparam, lparam, GetCurrentThreadId()});
    return Handler() ? Handler()(hwnd, message, wparam, lparam) : FALSE;
}

void SetDialogHandler(DialogHandler handler) {
    Handler() = std::move(handler);
}

DialogTest::DialogTest() : device_(OptionsFor(image_.root())) {
    std::filesystem::copy_file(std::filesystem::path(TEST_DIALOG_MODULE_DIR) / "DialogsTest.dll",
                               image_.AddFolder("Windows") / "DialogsTest.dll");
    self_.emplace("test");
    kernel::modules::RegisterPlatformBuiltins();
    module_ = LoadLibraryW(L"DialogsTest.dll");
    EXPECT_NE(nullptr, module_);
    WNDCLASSW control{};
    control.lpfnWndProc = &TestControlProc;
    control.lpszClassName = kTestControlClass;
    EXPECT_NE(0, RegisterClassW(&control));
    WNDCLASSW recorder{};
    recorder.lpfnWndProc = &RecordingProc;
    recorder.lpszClassName = kRecorderClass;
    EXPECT_NE(0, RegisterClassW(&recorder));
    Recorder::Instance().Clear();
    SetDialogHandler(nullptr);
}

DialogTest::~DialogTest() {
    SetDialogHandler(nullptr);
    self_.reset();
    kernel::modules::UnloadAll();
}

HWND DialogTest::Make(int template_id, HWND parent, LPARAM param) {
    return CreateDialogParamW(module_, MAKEINTRESOURCEW(template_id), parent, &RecordingDialogProc,
                              param);
}

}  // namespace tovarin::gwes::testing
