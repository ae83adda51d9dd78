// The phone's dial pad (cprog.exe) as its window sees a user's taps: the command of each key in
// order, the number the keys write, the call that "Вызов" places, and the caption's OK that
// closes it.
#include <windows.h>

#include "booted_emulator.h"
#include "host/device.h"
#include "host/stylus.h"
#include "testing/message_sequence.h"

namespace tovarin::emulator::testing {
namespace {

using ::tovarin::testing::ExpectedMessage;
using ::tovarin::testing::kCheckWparam;
using ::tovarin::testing::kSent;
using ::tovarin::testing::MessageLog;

// The pad's controls (emulator/standins/cprog/dial_pad_layout.h).
constexpr int kNumberField = 100;
constexpr int kBackspace = 101;
constexpr int kCallKey = 102;
constexpr int kKeyOne = 110;   // 1 .. 9 are 110 .. 118
constexpr int kKeyZero = 120;  // after *
constexpr DWORD kCalling = 0x00020000;

// The pad's procedure runs on its own thread: the log and the procedure it wraps are the
// test's one pad's.
MessageLog* g_log = nullptr;
WNDPROC g_pad_proc = nullptr;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND || message == WM_DESTROY) {
        g_log->AddReceived(message, wparam, lparam);
    }
    return CallWindowProcW(g_pad_proc, hwnd, message, wparam, lparam);
}

constexpr ExpectedMessage Command(int id) {
    return {WM_COMMAND, kSent | kCheckWparam, MAKEWPARAM(id, BN_CLICKED)};
}

// What the number field tells the pad when a key changes its text.
constexpr ExpectedMessage kFieldUpdate = {WM_COMMAND, kSent | kCheckWparam,
                                          MAKEWPARAM(kNumberField, EN_UPDATE)};
constexpr ExpectedMessage kFieldChange = {WM_COMMAND, kSent | kCheckWparam,
                                          MAKEWPARAM(kNumberField, EN_CHANGE)};

class DialPadTest : public BootedEmulatorTest {
  protected:
    void SetUp() override {
        Boot();
        std::wstring command_line;
        PROCESS_INFORMATION started{};
        ASSERT_TRUE(CreateProcessW(L"\\Windows\\cprog.exe", command_line.data(), nullptr, nullptr,
                                   FALSE, 0, nullptr, nullptr, nullptr, &started));
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        kernel::WaitForDeviceIdle();
        pad_ = FindWindowW(L"DialPad", nullptr);
        ASSERT_NE(pad_, nullptr);
        g_log = &log_;
        g_pad_proc = reinterpret_cast<WNDPROC>(static_cast<intptr_t>(SetWindowLongW(
            pad_, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<intptr_t>(&LoggingProc)))));
        ASSERT_NE(g_pad_proc, nullptr);
    }

    void Tap(int id) {
        RECT place{};
        ASSERT_TRUE(GetWindowRect(GetDlgItem(pad_, id), &place));
        gwes::StylusTap(POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2});
        kernel::WaitForDeviceIdle();
    }

    std::wstring Number() const {
        wchar_t text[64] = {};
        GetDlgItemTextW(pad_, kNumberField, text, 64);
        return text;
    }

    static DWORD PhoneStatus() {
        DWORD status = 0;
        DWORD size = sizeof status;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\State\\Phone", 0, 0, &key) ==
            ERROR_SUCCESS) {
            RegQueryValueExW(key, L"Status", nullptr, nullptr, reinterpret_cast<BYTE*>(&status),
                             &size);
            RegCloseKey(key);
        }
        return status;
    }

    MessageLog log_;
    HWND pad_ = nullptr;
};

TEST_F(DialPadTest, KeysWriteTheNumberAndBackspaceTakesTheLastBack) {
    for (int id : {kKeyOne + 4, kKeyOne + 4, kKeyZero, kBackspace, kKeyOne, kKeyOne + 8}) {
        Tap(id);
    }
    const ExpectedMessage kTaps[] = {
        Command(kKeyOne + 4), kFieldUpdate,        kFieldChange,      Command(kKeyOne + 4),
        kFieldUpdate,         kFieldChange,        Command(kKeyZero), kFieldUpdate,
        kFieldChange,         Command(kBackspace), kFieldUpdate,      kFieldChange,
        Command(kKeyOne),     kFieldUpdate,        kFieldChange,      Command(kKeyOne + 8),
        kFieldUpdate,         kFieldChange,
    };
    EXPECT_SEQUENCE(log_.Take(), kTaps) << "keys 5 5 0, backspace, 1 9";
    EXPECT_EQ(Number(), L"5519");

    // Backspace on an empty field leaves it empty, and the field says nothing.
    for (int i = 0; i < 5; ++i) {
        Tap(kBackspace);
    }
    EXPECT_EQ(Number(), L"");
    log_.Take();
    Tap(kBackspace);
    const ExpectedMessage kEmpty[] = {Command(kBackspace)};
    EXPECT_SEQUENCE(log_.Take(), kEmpty) << "backspace on an empty field";
}

TEST_F(DialPadTest, CallDialsTheNumberAndTheCallScreenComesOverThePad) {
    Tap(kCallKey);
    EXPECT_EQ(PhoneStatus() & kCalling, 0u) << "an empty number is dialled";
    Tap(kKeyOne + 2);
    Tap(kKeyOne + 3);
    Tap(kCallKey);
    const ExpectedMessage kCall[] = {
        Command(kCallKey),    Command(kKeyOne + 2), kFieldUpdate, kFieldChange,
        Command(kKeyOne + 3), kFieldUpdate,         kFieldChange, Command(kCallKey),
    };
    EXPECT_SEQUENCE(log_.Take(), kCall) << "Вызов with no number, then 3 4 and Вызов";
    EXPECT_NE(PhoneStatus() & kCalling, 0u);
    EXPECT_NE(GetForegroundWindow(), pad_);
    EXPECT_EQ(CountTraces(L"cprog: dialling 34"), 1u);
    EXPECT_EQ(CountTraces(L"dialling 34"), 2u) << "the pad's line and the phone's";
    // The number stays on the pad for another try.
    EXPECT_EQ(Number(), L"34");
    EXPECT_EQ(emulator().phone().Carry(phone::CallAction::End, L""), phone::CallError::None);
    kernel::WaitForDeviceIdle();
    EXPECT_EQ(PhoneStatus() & kCalling, 0u);
}

TEST_F(DialPadTest, TheCaptionsOkClosesThePad) {
    SendMessageW(pad_, WM_COMMAND, IDOK, 0);
    kernel::WaitForDeviceIdle();
    const ExpectedMessage kClose[] = {
        {WM_COMMAND, kSent | kCheckWparam, IDOK},
        {WM_DESTROY, kSent},
    };
    EXPECT_SEQUENCE(log_.Take(), kClose) << "OK";
    EXPECT_FALSE(IsWindow(pad_));
    EXPECT_EQ(FindWindowW(L"DialPad", nullptr), nullptr);
}

}  // namespace
}  // namespace tovarin::emulator::testing
