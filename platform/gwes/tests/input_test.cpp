// Key input: the device log, host observers, hot keys and the foreground window.
#include <vector>

#include <windows.h>
#include <pwinuser.h>

#include "gwes/input/keyboard.h"
#include "testing/gwes_fixture.h"
#include "host/device.h"
#include "host/device_log.h"
#include "host/keys.h"

namespace tovarin::gwes::testing {
namespace {

constexpr BYTE kRecordKey = 0x8B;

void Press(BYTE vk) {
    keybd_event(vk, 0, 0, 0);
}
void Release(BYTE vk) {
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

using HotKeyTest = WindowTest;

TEST_F(HotKeyTest, AKeyUpHotKeyFiresOnReleaseWithTheDocumentedParameters) {
    HWND dialog = nullptr;
    PumpingThread owner([&] { dialog = MakeWindow(L"call"); });
    ASSERT_TRUE(RegisterHotKey(dialog, kRecordKey, MOD_KEYUP, kRecordKey));
    SetForegroundWindow(dialog);

    Press(kRecordKey);
    kernel::WaitForDeviceIdle();
    // The hot key took the key down, and fires only on its release.
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(dialog, {WM_HOTKEY, WM_KEYDOWN, WM_KEYUP}),
                    tovarin::testing::kNoMessages);

    Release(kRecordKey);
    kernel::WaitForDeviceIdle();
    // lParam: the modifiers (MOD_KEYUP included), then the key.
    const tovarin::testing::ExpectedMessage fired[] = {
        {WM_HOTKEY, tovarin::testing::kCheckWparam | tovarin::testing::kCheckLparam, kRecordKey,
         MAKELPARAM(0x1000, kRecordKey), dialog, owner.id()},
    };
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(dialog, {WM_HOTKEY, WM_KEYDOWN, WM_KEYUP}),
                    fired);
}

TEST_F(HotKeyTest, APlainHotKeyFiresOnPressOnlyWithItsModifiersHeld) {
    HWND window = MakeWindow(L"w");
    ASSERT_TRUE(RegisterHotKey(window, 1, MOD_CONTROL, 'A'));
    Press('A');
    Release('A');
    Press(VK_CONTROL);
    Press('A');
    Release('A');
    Release(VK_CONTROL);
    Press('A');

    MSG message{};
    std::vector<MSG> hot_keys;
    while (PeekMessageW(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
        hot_keys.push_back(message);
    }
    ASSERT_EQ(1u, hot_keys.size());
    EXPECT_EQ(1u, hot_keys[0].wParam);
    EXPECT_EQ(MAKELPARAM(MOD_CONTROL, 'A'), hot_keys[0].lParam);
}

TEST_F(HotKeyTest, AKeyCombinationBelongsToOneHotKey) {
    HWND first = MakeWindow(L"first");
    HWND second = MakeWindow(L"second");
    ASSERT_TRUE(RegisterHotKey(first, 5, MOD_KEYUP, kRecordKey));
    SetLastError(0);
    EXPECT_FALSE(RegisterHotKey(second, 5, MOD_KEYUP, kRecordKey));
    EXPECT_EQ(ERROR_HOTKEY_ALREADY_REGISTERED, GetLastError());
    // The same window and id may register it again.
    EXPECT_TRUE(RegisterHotKey(first, 5, MOD_KEYUP, kRecordKey));
    EXPECT_TRUE(UnregisterHotKey(first, 5));
    SetLastError(0);
    EXPECT_FALSE(UnregisterHotKey(first, 5));
    EXPECT_EQ(ERROR_HOTKEY_NOT_REGISTERED, GetLastError());
    EXPECT_TRUE(RegisterHotKey(second, 5, MOD_KEYUP, kRecordKey));
    SetLastError(0);
    EXPECT_FALSE(RegisterHotKey(reinterpret_cast<HWND>(0x40000ff0), 6, 0, 'B'));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
}

TEST_F(HotKeyTest, UnregisterFunc1ReleasesTheKeyForWhoeverHoldsIt) {
    HWND holder = nullptr;
    PumpingThread owner([&] {
        holder = MakeWindow(L"holder");
        RegisterHotKey(holder, 0x8B, MOD_KEYUP, kRecordKey);
    });
    HWND mine = MakeWindow(L"mine");
    EXPECT_FALSE(RegisterHotKey(mine, 1, MOD_KEYUP, kRecordKey));
    EXPECT_TRUE(UnregisterFunc1(MOD_KEYUP, kRecordKey));
    EXPECT_FALSE(UnregisterFunc1(MOD_KEYUP, kRecordKey));
    EXPECT_TRUE(RegisterHotKey(mine, 1, MOD_KEYUP, kRecordKey));
    EXPECT_TRUE(UnregisterFunc1(MOD_KEYUP, kRecordKey));

    // With no hot key on it, the key reaches the foreground window.
    SetForegroundWindow(holder);
    Press(kRecordKey);
    Release(kRecordKey);
    kernel::WaitForDeviceIdle();
    const tovarin::testing::ExpectedMessage plain_key[] = {{WM_KEYDOWN}, {WM_KEYUP}};
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(holder, {WM_HOTKEY, WM_KEYDOWN, WM_KEYUP}),
                    plain_key);
}

TEST_F(HotKeyTest, AWindowlessHotKeyComesToTheRegisteringThread) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 9, 0, VK_F1));
    Press(VK_F1);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_HOTKEY), message.message);
    EXPECT_EQ(nullptr, message.hwnd);
    EXPECT_EQ(9u, message.wParam);
}

using ForegroundTest = WindowTest;

TEST_F(ForegroundTest, TheNextShownWindowTakesOverFromOneThatHidesOrGoes) {
    HWND desktop = MakeWindow(L"desktop", nullptr, WS_VISIBLE);
    HWND program = MakeWindow(L"program", nullptr, WS_VISIBLE);
    HWND menu = MakeWindow(L"menu", nullptr, WS_VISIBLE);
    SetForegroundWindow(program);
    ShowWindow(program, SW_HIDE);
    EXPECT_EQ(GetForegroundWindow(), menu);
    ShowWindow(program, SW_SHOW);
    EXPECT_EQ(GetForegroundWindow(), program);

    // The menu goes and the thread opens a window of its own at once: the window that the
    // foreground was handed to meanwhile is not activated later over the new one.
    SetForegroundWindow(desktop);
    SetForegroundWindow(menu);
    DestroyWindow(menu);
    EXPECT_EQ(GetForegroundWindow(), desktop);
    SetForegroundWindow(program);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(GetForegroundWindow(), program);
}

using KeyTest = WindowTest;

TEST_F(KeyTest, KeysGoToTheForegroundWindow) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"front"); });
    Press('5');  // no foreground window yet: nobody gets it
    SetForegroundWindow(window);
    keybd_event('7', 0x08, 0, 0);
    keybd_event('7', 0x08, KEYEVENTF_KEYUP, 0);
    kernel::WaitForDeviceIdle();

    // Repeat count 1 and scan code 8, the release bits on the key's release; the pumping thread's
    // TranslateMessage typed the character. '5' reached nobody.
    using namespace tovarin::testing;
    const ExpectedMessage typed[] = {
        {WM_KEYDOWN, kCheckWparam | kCheckLparam, '7', 0x00080001, window},
        {WM_CHAR, kCheckWparam, L'7', 0, window},
        {WM_KEYUP, kCheckWparam | kCheckLparam, '7', static_cast<LPARAM>(0xC0080001u), window},
    };
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_KEYDOWN, WM_CHAR, WM_KEYUP}), typed);
}

TEST_F(KeyTest, ObserversAndTheDeviceLogSeeEveryKey) {
    HWND window = MakeWindow(L"w");
    ASSERT_TRUE(RegisterHotKey(window, 1, MOD_KEYUP, VK_TTALK));
    std::vector<std::pair<uint8_t, bool>> observed;
    int id = SubscribeKeys([&](uint8_t vk, bool up) { observed.emplace_back(vk, up); });
    const size_t mark = kernel::Device::Current().log().Size();

    Press(VK_TTALK);
    Release(VK_TTALK);
    UnsubscribeKeys(id);
    Press(VK_TEND);

    EXPECT_EQ((std::vector<std::pair<uint8_t, bool>>{{VK_TTALK, false}, {VK_TTALK, true}}),
              observed);
    std::vector<std::pair<uint8_t, bool>> logged;
    for (const kernel::LogEntry& entry : kernel::Device::Current().log().Since(mark)) {
        if (const auto* key = std::get_if<kernel::KeyRecord>(&entry.what)) {
            logged.emplace_back(key->vk, key->up);
        }
    }
    EXPECT_EQ((std::vector<std::pair<uint8_t, bool>>{
                  {VK_TTALK, false}, {VK_TTALK, true}, {VK_TEND, false}}),
              logged);
}

// What the low-level hooks saw: (key, down or up), and whether the first hook keeps the key.
std::vector<std::pair<DWORD, WPARAM>> g_hooked;
bool g_keep_keys = false;

LRESULT CALLBACK NotingHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && ((key->flags & LLKHF_UP) != 0) == (wParam == WM_KEYUP)) {
        g_hooked.emplace_back(key->vkCode, wParam);
    }
    return g_keep_keys ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(KeyTest, ALowLevelHookSeesKeysThatStillReachTheWindowAndGoesWithItsThread) {
    g_hooked.clear();
    g_keep_keys = false;
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"front"); });
    SetForegroundWindow(window);
    EXPECT_EQ(nullptr, SetWindowsHookExW(WH_KEYBOARD_LL + 1, NotingHook, nullptr, 0));
    HHOOK hook = nullptr;
    PumpingThread hooking(
        [&] { hook = SetWindowsHookExW(WH_KEYBOARD_LL, NotingHook, nullptr, 0); });
    ASSERT_NE(nullptr, hook);

    Press(VK_UP);
    Release(VK_UP);
    kernel::WaitForDeviceIdle();
    EXPECT_EQ((std::vector<std::pair<DWORD, WPARAM>>{{VK_UP, WM_KEYDOWN}, {VK_UP, WM_KEYUP}}),
              g_hooked);
    using namespace tovarin::testing;
    const ExpectedMessage arrow[] = {
        {WM_KEYDOWN, kCheckWparam, VK_UP, 0, window},
        {WM_KEYUP, kCheckWparam, VK_UP, 0, window},
    };
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_KEYDOWN, WM_KEYUP}), arrow);

    // A hook that returns nonzero keeps the key from the window.
    g_keep_keys = true;
    Press(VK_DOWN);
    kernel::WaitForDeviceIdle();
    const ExpectedMessage kept[] = {{WM_KEYDOWN, kCheckWparam, VK_UP, 0, window}};
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(window, {WM_KEYDOWN}), kept);

    // The hooking thread ends: its hook goes with it, and the key reaches the window again.
    g_keep_keys = false;
    g_hooked.clear();
    hooking.Quit();
    Press(VK_LEFT);
    kernel::WaitForDeviceIdle();
    EXPECT_TRUE(g_hooked.empty());
    const ExpectedMessage again[] = {
        {WM_KEYDOWN, kCheckWparam, VK_UP, 0, window},
        {WM_KEYDOWN, kCheckWparam, VK_LEFT, 0, window},
    };
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(window, {WM_KEYDOWN}), again);
    SetLastError(0);
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

}  // namespace
}  // namespace tovarin::gwes::testing
