// The record key during a call: the first press starts the call recorder, a press while it runs
// and the end of the call hand it the stop key.
#include "callisk_fixture.h"

#include <filesystem>

#include "common/names.h"

namespace callisk_testing {
namespace {

using RecordKeyTest = ServiceTest;

const DWORD kCall = kStatusTalking | 0x1;

DWORD PublishedHandle() {
    DWORD handle = 0;
    return SUCCEEDED(
               RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskHandle, &handle))
               ? handle
               : 0;
}

// A recorder's window that, on the stop key, tells the call dialog before it answers: a service
// that kept the dialog waiting on its lock meanwhile would never get the answer.
HWND g_callDialog = NULL;
WNDPROC g_dialogClassProc = NULL;
LRESULT CALLBACK RecorderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        SendMessageW(g_callDialog, WM_NULL, 0, 0);
    }
    return CallWindowProcW(g_dialogClassProc, hwnd, message, wParam, lParam);
}

TEST_F(RecordKeyTest, APressThatCannotStartTheRecorderLetsTheNextPressTryAgain) {
    HWND dialog = ShowCallDialog();
    Status(kCall);
    PressRecordKey();
    EXPECT_EQ(1, HotKeysSeenByPhone());  // the phone's own procedure still gets its messages
    EXPECT_EQ(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(dialog)), PublishedHandle());
    EXPECT_EQ(1u, TracesContaining(L"Callisk: cannot start \\Windows\\Drumlet.exe (error 2)\r\n"));
    EXPECT_FALSE(g_state.recorderRunning);

    PressRecordKey();
    EXPECT_EQ(2u, TracesContaining(L"Callisk: cannot start"));
}

TEST_F(RecordKeyTest, WhileRecordingThePressAndTheCallsEndSendTheStopKey) {
    g_callDialog = ShowCallDialog();
    Status(kCall);
    PumpingThread recorder([] {
        HWND window = CreateWindowExW(0, kWindowClassDialog, L"Телефонный Записи", WS_POPUP, 0, 0,
                                      240, 320, NULL, NULL, NULL, NULL);
        g_dialogClassProc = (WNDPROC)(LONG_PTR)SetWindowLongW(window, GWL_WNDPROC,
                                                              (LONG)(LONG_PTR)RecorderWindowProc);
    });
    g_state.recorderRunning = TRUE;
    PressRecordKey();
    SetActiveCallCount(1);
    EXPECT_TRUE(StatusOnOwnThread(0x1));  // the call ends while another one is active

    std::vector<tovarin::kernel::MessageRecord> received;
    for (const auto& message : Logged<tovarin::kernel::MessageRecord>()) {
        if (message.window_title == L"Телефонный Записи") {
            received.push_back(message);
        }
    }
    ASSERT_EQ(2u, received.size());
    for (const tovarin::kernel::MessageRecord& message : received) {
        EXPECT_EQ(static_cast<uint32_t>(WM_KEYDOWN), message.message);
        EXPECT_EQ(kVirtualKeyRecord, message.wparam);
        EXPECT_EQ(0, message.lparam);
        EXPECT_FALSE(message.posted);
    }
    EXPECT_TRUE(g_state.recorderRunning);  // until the program ends
    EXPECT_TRUE(g_state.talking);
    EXPECT_EQ(std::vector<uint32_t>{kIoctlKeyboardCallModeOn}, KeyboardCodes());
    EXPECT_TRUE(Logged<tovarin::kernel::StartedRecord>().empty());
}

TEST_F(RecordKeyTest, APressOutsideACallOrWithRecordingOffDoesNothing) {
    HWND dialog = ShowCallDialog();
    OnRecordKey(dialog, kRecordHotKeyId, MOD_KEYUP, kVirtualKeyRecord);
    Status(kCall);
    OnRecordKey(dialog, 1, MOD_KEYUP, kVirtualKeyRecord);  // another hot key of the dialog
    OnRecordKey(dialog, kRecordHotKeyId, 0, kVirtualKeyRecord);
    SetActivate(0);
    OnRecordKey(dialog, kRecordHotKeyId, MOD_KEYUP, kVirtualKeyRecord);
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_FALSE(g_state.recorderRunning);
    EXPECT_EQ(0u, PublishedHandle());
    EXPECT_EQ(0u, TracesContaining(L"Callisk: cannot start"));
}

}  // namespace
}  // namespace callisk_testing
