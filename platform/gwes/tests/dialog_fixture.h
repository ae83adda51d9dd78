// Test scaffolding for dialogs: a device image holding DialogsTest.dll (the templates of
// dialogs/dialog_test.rc), the test-only control class "TestControl" that keeps a check state
// and records what it receives, and a dialog procedure that records and answers through a
// handler the test sets.
#pragma once

#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include <windows.h>

#include "testing/gwes_fixture.h"
#include "host/device.h"
#include "testing/temp_image.h"

namespace tovarin::gwes::testing {

inline constexpr wchar_t kTestControlClass[] = L"TestControl";

using DialogHandler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;

// Records every message in the Recorder, then asks the handler (FALSE without one).
INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void SetDialogHandler(DialogHandler handler);

class DialogTest : public ::testing::Test {
  protected:
    DialogTest();
    ~DialogTest() override;

    HWND Make(int template_id, HWND parent = nullptr, LPARAM param = 0);
    HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

    kernel::testing::TempImage image_;
    kernel::Device device_;
    std::optional<kernel::AttachedThread> self_;
    HMODULE module_ = nullptr;
};

}  // namespace tovarin::gwes::testing
