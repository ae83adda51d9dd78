// The Settings window as a user sees it: each applet's own icon from its library's resources
// (TestPanel.cpl's first applet has an orange one, its second none), drawn again after the
// applet's sheet has opened and closed, and the plain grey mark for the applet without one.
#include <windows.h>

#include "booted_emulator.h"
#include "host/device.h"
#include "host/screen_image.h"
#include "host/stylus.h"

namespace tovarin::emulator::testing {
namespace {

constexpr int kFirstCell = 200;  // the Settings cells (emulator/shell/start_menu.h)
constexpr int kIconTop = 12;     // the icon's square in a cell, 64 pixels wide
constexpr int kIconSquare = 64;
constexpr uint32_t kOrange = 0xFFFF8000;  // test_panel.ico, every pixel
constexpr uint32_t kGrey = 0xFFA0A0A0;    // COLOR_GRAYTEXT
constexpr uint32_t kWhite = 0xFFFFFFFF;   // COLOR_WINDOW

class SettingsWindowTest : public BootedEmulatorTest {
  protected:
    void SetUp() override { Boot({{L"TestPanel.cpl", TOVARIN_TEST_PANEL_PATH}}); }

    static void TapMiddle(HWND window) {
        RECT place{};
        ASSERT_TRUE(GetWindowRect(window, &place));
        gwes::StylusTap(POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2});
        kernel::WaitForDeviceIdle();
    }

    // Opens Settings by taps: the taskbar's Start button, then the menu's last row.
    HWND OpenSettings() {
        gwes::StylusTap(POINT{26, 26});
        kernel::WaitForDeviceIdle();
        HWND menu = FindWindowW(L"StartMenu", nullptr);
        EXPECT_NE(menu, nullptr);
        HWND last = nullptr;
        for (int id = 100; HWND row = GetDlgItem(menu, id); ++id) {
            last = row;
        }
        EXPECT_NE(last, nullptr);
        TapMiddle(last);
        return FindWindowW(L"ShellSettings", nullptr);
    }

    // A pixel of the screen at (x, y) of the icon square of cell `id`.
    static uint32_t IconPixel(HWND settings, int id, int x, int y) {
        RECT cell{};
        EXPECT_TRUE(GetWindowRect(GetDlgItem(settings, id), &cell));
        const int left = cell.left + (cell.right - cell.left - kIconSquare) / 2;
        const gwes::ScreenImage screen = gwes::CaptureScreen();
        return screen
            .pixels[static_cast<size_t>(cell.top + kIconTop + y) * screen.width + left + x];
    }
};

TEST_F(SettingsWindowTest, DrawsEachAppletsOwnIconAndTheGreyMarkForOneWithout) {
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    // The 16-pixel icon sits in the middle of its square, on the window's white.
    EXPECT_EQ(IconPixel(settings, kFirstCell, 32, 32), kOrange);
    EXPECT_EQ(IconPixel(settings, kFirstCell, 24, 24), kOrange);
    EXPECT_EQ(IconPixel(settings, kFirstCell, 23, 32), kWhite);
    EXPECT_EQ(IconPixel(settings, kFirstCell, 2, 2), kWhite);
    EXPECT_EQ(IconPixel(settings, kFirstCell + 1, 2, 2), kGrey);

    // The applet's sheet loads and frees the library in its own process; the icon the window
    // keeps still draws when the window comes back to the front.
    TapMiddle(GetDlgItem(settings, kFirstCell));
    ASSERT_NE(GetForegroundWindow(), settings);
    PostMessageW(GetForegroundWindow(), WM_COMMAND, IDOK, 0);
    kernel::WaitForDeviceIdle();
    ASSERT_EQ(GetForegroundWindow(), settings);
    EXPECT_EQ(CountTraces(L"ctlpnl: TestPanel.cpl unloaded"), 1u);
    EXPECT_EQ(IconPixel(settings, kFirstCell, 32, 32), kOrange);
}

}  // namespace
}  // namespace tovarin::emulator::testing
