// The phone's call dialog as the call-recording service uses it: one window from call to call, on
// whose thread a hot key that another thread registered reaches the procedure that another thread
// installed; and the phone state that the service reads when "Status" changes.
#include <windows.h>
#include <regext.h>

#include <mutex>
#include <utility>
#include <vector>

#include "booted_emulator.h"
#include "common/names.h"

namespace tovarin::emulator::testing {
namespace {

constexpr wchar_t kCallDialogTitle[] = L"Телефон";
constexpr UINT kRecordKey = kVirtualKeyRecord;

struct HotKeySeen {
    WPARAM id = 0;
    LPARAM lparam = 0;
    DWORD thread = 0;
};

// What the installed procedure saw; written on the phone's thread.
std::mutex g_seen_lock;
std::vector<HotKeySeen> g_seen;
WNDPROC g_previous = nullptr;

LRESULT CALLBACK RecordKeyProbe(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_HOTKEY) {
        std::lock_guard guard(g_seen_lock);
        g_seen.push_back({wparam, lparam, GetCurrentThreadId()});
    }
    return CallWindowProcW(g_previous, hwnd, message, wparam, lparam);
}

std::vector<HotKeySeen> Seen() {
    std::lock_guard guard(g_seen_lock);
    return g_seen;
}

class CallDialogTest : public BootedEmulatorTest {
  protected:
    void SetUp() override {
        g_seen.clear();
        g_previous = nullptr;
        Boot();
    }

    void Do(phone::CallAction action, const std::wstring& number = L"") {
        ASSERT_EQ(emulator().phone().Carry(action, number), phone::CallError::None);
        kernel::WaitForDeviceIdle();
    }

    void Connect(const std::wstring& number) {
        Do(phone::CallAction::Incoming, number);
        Do(phone::CallAction::Answer);
        kernel::AdvanceDeviceTime(phone::kConnectDelayMs);
        kernel::WaitForDeviceIdle();
    }

    static void PressRecordKey() {
        keybd_event(kRecordKey, 0, 0, 0);
        keybd_event(kRecordKey, 0, KEYEVENTF_KEYUP, 0);
        kernel::WaitForDeviceIdle();
    }

    // What the call-recording service does at a call's start, from this thread.
    static void TakeOver(HWND dialog) {
        LONG previous = SetWindowLongW(
            dialog, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(RecordKeyProbe)));
        ASSERT_NE(previous, 0);
        g_previous = reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(previous));
    }
};

TEST_F(CallDialogTest, AHotKeyRegisteredByAnotherThreadReachesTheInstalledProcedure) {
    Connect(L"5550001");
    HWND dialog = FindWindowW(kWindowClassDialog, kCallDialogTitle);
    ASSERT_NE(dialog, nullptr);
    TakeOver(dialog);
    ASSERT_TRUE(RegisterHotKey(dialog, kRecordKey, MOD_KEYUP, kRecordKey));

    PressRecordKey();
    std::vector<HotKeySeen> seen = Seen();
    // Fired once, on the key's release, on the dialog's own thread.
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].id, kRecordKey);
    EXPECT_EQ(seen[0].lparam, MAKELPARAM(MOD_KEYUP, kRecordKey));
    EXPECT_EQ(seen[0].thread, GetWindowThreadProcessId(dialog, nullptr));
    EXPECT_NE(seen[0].thread, GetCurrentThreadId());
}

TEST_F(CallDialogTest, IsOneWindowFromCallToCallAndKeepsItsProcedure) {
    Connect(L"5550001");
    HWND dialog = FindWindowW(kWindowClassDialog, kCallDialogTitle);
    ASSERT_NE(dialog, nullptr);
    TakeOver(dialog);
    LONG installed = GetWindowLongW(dialog, GWL_WNDPROC);

    Do(phone::CallAction::End);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));

    Connect(L"5550002");
    EXPECT_EQ(FindWindowW(kWindowClassDialog, kCallDialogTitle), dialog);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetWindowLongW(dialog, GWL_WNDPROC), installed);
    // The service registers its hot key on the window it kept, on every call.
    ASSERT_TRUE(RegisterHotKey(dialog, kRecordKey, MOD_KEYUP, kRecordKey));
    PressRecordKey();
    EXPECT_EQ(Seen().size(), 1u);
}

// (Status, "Active Call Count") as a reader finds them when "Status" changes.
std::mutex g_states_lock;
std::vector<std::pair<DWORD, DWORD>> g_states;

void OnStatus(HREGNOTIFY, DWORD, const PBYTE data, const UINT size) {
    DWORD status = 0;
    if (size != sizeof status) {
        return;
    }
    memcpy(&status, data, sizeof status);
    DWORD count = 0xDEADBEEF;
    RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValueActiveCallCount, &count);
    std::lock_guard guard(g_states_lock);
    g_states.emplace_back(status, count);
}

TEST_F(CallDialogTest, ActiveCallCountIsCurrentWhenStatusChangesAroundASecondCall) {
    g_states.clear();
    HREGNOTIFY notify = nullptr;
    ASSERT_EQ(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValuePhoneStatus,
                                     &OnStatus, 0, nullptr, &notify),
              S_OK);
    Connect(L"5550001");
    Do(phone::CallAction::Second, L"5550002");
    Do(phone::CallAction::SecondEnd);
    Do(phone::CallAction::End);
    RegistryCloseNotification(notify);

    std::lock_guard guard(g_states_lock);
    const std::vector<std::pair<DWORD, DWORD>> expected = {
        {0x00010001, 1},  // rings
        {0x20000001, 1},  // connected
        {0x20004001, 2},  // a second call waits
        {0x20000001, 1},  // the second call ended
        {0x00000001, 0},  // the call ended
    };
    EXPECT_EQ(g_states, expected);
}

}  // namespace
}  // namespace tovarin::emulator::testing
