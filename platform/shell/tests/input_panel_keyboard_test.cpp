// The input panel's keyboard: the menu bar's button shows and hides it, and its keys type into
// the focused control of the window in front without taking the focus away.
#include <windows.h>
#include <aygshell.h>

#include "host/stylus.h"
#include "shell/input_panel_keyboard.h"
#include "testing/gwes_fixture.h"
#include "testing/message_sequence.h"

namespace tovarin::shell {
namespace {

using gwes::testing::Recorder;
using tovarin::testing::ExpectedMessage;
using tovarin::testing::kCheckWparam;

class KeyboardTest : public gwes::testing::WindowTest {
  protected:
    void SetUp() override {
        program_ = MakeWindow(L"program", nullptr, WS_VISIBLE);
        field_ = MakeWindow(L"field", program_, WS_VISIBLE);
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = program_;
        bar.dwFlags = SHCMBF_EMPTYBAR;
        ASSERT_TRUE(SHCreateMenuBar(&bar));
        bar_ = bar.hwndMB;
        SetForegroundWindow(program_);
        SetFocus(field_);
    }

    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }

    void TapBar(int from_middle) {
        RECT bar{};
        GetWindowRect(bar_, &bar);
        gwes::StylusTap(
            POINT{(bar.left + bar.right) / 2 + from_middle, (bar.top + bar.bottom) / 2});
        Pump();
    }

    // Taps the key of `key` wherever the keyboard shows it.
    static void TapKey(wchar_t key) {
        HWND keyboard = ShownKeyboard();
        ASSERT_NE(keyboard, nullptr);
        RECT client{};
        GetClientRect(keyboard, &client);
        for (int y = 0; y < client.bottom; y += 4) {
            for (int x = 0; x < client.right; x += 4) {
                if (KeyboardKeyAt(keyboard, POINT{x, y}) == key) {
                    POINT screen{x, y};
                    ClientToScreen(keyboard, &screen);
                    gwes::StylusTap(screen);
                    Pump();
                    return;
                }
            }
        }
        ADD_FAILURE() << "no key " << static_cast<int>(key);
    }

    HWND program_ = nullptr;
    HWND field_ = nullptr;
    HWND bar_ = nullptr;
};

TEST_F(KeyboardTest, TheButtonShowsItAndItsKeysTypeIntoTheFocusedControl) {
    TapBar(-120);  // beside the button: nothing
    EXPECT_EQ(ShownKeyboard(), nullptr);
    TapBar(0);
    HWND keyboard = ShownKeyboard();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_TRUE(IsWindowVisible(keyboard));

    Recorder::Instance().Clear();
    for (wchar_t key : {L'a', L'7', L'z', L' ', L'\b'}) {
        TapKey(key);
    }
    const ExpectedMessage kTyped[] = {
        {WM_CHAR, kCheckWparam, L'a'},    {WM_CHAR, kCheckWparam, L'7'},
        {WM_CHAR, kCheckWparam, L'z'},    {WM_CHAR, kCheckWparam, L' '},
        {WM_CHAR, kCheckWparam, VK_BACK},
    };
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(field_, {WM_CHAR}), kTyped);
    // The keys never took the focus from the control.
    EXPECT_EQ(GetForegroundWindow(), program_);
    EXPECT_EQ(GetFocus(), field_);

    TapBar(0);
    EXPECT_EQ(ShownKeyboard(), nullptr);
    EXPECT_FALSE(IsWindow(keyboard));
}

}  // namespace
}  // namespace tovarin::shell
