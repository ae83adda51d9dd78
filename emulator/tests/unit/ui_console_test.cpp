// The console's screen commands end to end: a script boots a phone whose UiProbe.dll service
// shows a full-screen dialog, and works it with dump, expect foreground, expect control, scroll,
// rotate and ok.
#include <gtest/gtest.h>

#include "booted_emulator.h"
#include "common/window_names.h"
#include "console/script_runner.h"
#include "host/stylus.h"
#include "host/shell_bars.h"

namespace tovarin::emulator::testing {
namespace {

class UiConsoleTest : public ::testing::Test {
  protected:
    // Runs the script on a fresh image with UiProbe.dll listed as a service; the exit code.
    int Run(const std::string& script) {
        return RunScriptWithService(script, {L"UiProbe.dll", TOVARIN_UI_PROBE_PATH},
                                    {L"UiProbe", L"UiProbe.dll", L"UIP"});
    }
};

TEST_F(UiConsoleTest, AScriptWorksTheDialogThroughItsControls) {
    EXPECT_EQ(console::kExitHeld, Run(R"(boot
expect foreground "Проверка"
dump
expect control 1001 text "Включено"
expect control 1001 unchecked
expect control 1004 disabled
expect control 1004 shown
expect control 1010/1 text "строка"
expect control 1002 rect 12 63 240 38
scroll line-down
expect control 1003 text "1"
scroll page-down
expect control 1003 text "11"
scroll thumb 50
expect control 1003 text "50"
rotate landscape
expect control 1002 rect 300 13 240 38
expect control 1010/1 rect 480 125 120 31
expect control 1005 checked
expect control 1006 selected "Два"
expect control 1006 items "Один" "Два" "Три"
expect control 1006 count 3
expect control 1007 readonly
expect control 1007 text "только чтение"
expect control 1008 pos 4
expect control 1005 rect 12 281 180 38
rotate portrait
expect control 1002 rect 12 63 240 38
expect control 1005 rect 270 13 180 38
ok
expect no foreground "Проверка"
expect trace "UiProbe: OK"
)"));
}

// The taskbar as the stylus works it: it never takes the foreground itself, so that a tap on its
// caption button works the OK of the window in front.
class TaskbarTapTest : public BootedEmulatorTest {};

TEST_F(TaskbarTapTest, ATapOnTheCaptionButtonWorksTheForegroundWindowsOk) {
    Boot({{L"UiProbe.dll", TOVARIN_UI_PROBE_PATH}}, {{L"UiProbe", L"UiProbe.dll", L"UIP"}});
    HWND probe = GetForegroundWindow();
    ASSERT_NE(nullptr, probe);
    HWND taskbar = FindWindowW(kWindowClassTaskBar, nullptr);
    ASSERT_NE(nullptr, taskbar);
    const RECT button = shell::TaskbarCaptionButton(taskbar);
    gwes::StylusTap({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    kernel::WaitForDeviceIdle();
    EXPECT_EQ(1u, CountTraces(L"UiProbe: OK"));
    EXPECT_NE(taskbar, GetForegroundWindow());
}

TEST_F(UiConsoleTest, ExpectationsThatDoNotHoldFail) {
    EXPECT_EQ(console::kExitFailed, Run("boot\nexpect control 1001 checked\n"));
    EXPECT_EQ(console::kExitFailed, Run("boot\nexpect control 1010/2 shown\n"));
    EXPECT_EQ(console::kExitFailed, Run("boot\nexpect control 1001 items \"a\"\n"));
    EXPECT_EQ(console::kExitFailed, Run("boot\nexpect control 1006 selected none\n"));
    EXPECT_EQ(console::kExitFailed, Run("boot\nexpect control 1008 pos 5\n"));
    EXPECT_EQ(console::kExitUnparsable, Run("boot\nexpect control 10x1 shown\n"));
    EXPECT_EQ(console::kExitUnparsable, Run("boot\nrotate sideways\n"));
}

}  // namespace
}  // namespace tovarin::emulator::testing
