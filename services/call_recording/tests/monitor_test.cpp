// The call states as the service follows them: the keyboard's call mode, the call dialog taken
// over and the record key offered while a call is in progress, and the worker that arms all this.
#include "callisk_fixture.h"

#include "common/names.h"
#include "host/live_objects.h"
#include "service_frame.h"

extern "C" DWORD CRS_Init(DWORD);
extern "C" BOOL CRS_Deinit(DWORD);

namespace callisk_testing {
namespace {

using CallStateTest = ServiceTest;

const DWORD kRadioOn = 0x1;
const DWORD kCall = kStatusTalking | kRadioOn;
const std::vector<uint32_t> kOn = {kIoctlKeyboardCallModeOn};
const std::vector<uint32_t> kOnOff = {kIoctlKeyboardCallModeOn, kIoctlKeyboardCallModeOff};

TEST_F(CallStateTest, DataThatIsNotOneWordIsIgnored) {
    ShowCallDialog();
    DWORD words[2] = {kCall, kCall};
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(words), sizeof words);
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(words), 2);
    EXPECT_TRUE(KeyboardCodes().empty());
    EXPECT_FALSE(g_state.talking);
    EXPECT_TRUE(RecordKeyIsFree());
}

TEST_F(CallStateTest, ACallOffersTheRecordKeyAndItsEndWithdrawsIt) {
    HWND dialog = ShowCallDialog();
    Status(kCall);
    Status(kCall | 0x4000);  // a change within the call starts nothing again
    EXPECT_EQ(kOn, KeyboardCodes());
    EXPECT_EQ(dialog, g_state.callDialog);
    WNDPROC phoneProc = g_state.previousWindowProc;
    EXPECT_NE(nullptr, phoneProc);
    EXPECT_FALSE(RecordKeyIsFree());

    Status(kRadioOn);
    EXPECT_EQ(kOnOff, KeyboardCodes());
    EXPECT_FALSE(g_state.talking);
    EXPECT_TRUE(RecordKeyIsFree());

    // The next call reuses the dialog: its procedure is not wrapped a second time.
    Status(kCall);
    EXPECT_EQ(3u, KeyboardCodes().size());
    EXPECT_EQ(phoneProc, g_state.previousWindowProc);
    EXPECT_FALSE(RecordKeyIsFree());
}

TEST_F(CallStateTest, WithoutACallDialogTheKeyStaysFreeAndTheNextCallLooksAgain) {
    Status(kCall);
    EXPECT_EQ(kOn, KeyboardCodes());
    EXPECT_EQ(nullptr, g_state.callDialog);
    EXPECT_TRUE(RecordKeyIsFree());  // no hot key without a window to receive it
    EXPECT_EQ(1u, TracesContaining(L"Callisk: no call dialog found\r\n"));
    Status(kRadioOn);

    HWND dialog = ShowCallDialog();
    Status(kCall);
    EXPECT_EQ(dialog, g_state.callDialog);
    EXPECT_FALSE(RecordKeyIsFree());
}

TEST_F(CallStateTest, ADialogThePhoneMadeAgainIsTakenOverAgain) {
    ShowCallDialog();
    Status(kCall);
    Status(kRadioOn);
    phone_.reset();  // the dialog goes with the thread that owned it
    HWND second = ShowCallDialog();
    Status(kCall);
    EXPECT_EQ(second, g_state.callDialog);
    PressRecordKey();
    EXPECT_EQ(1, HotKeysSeenByPhone());
}

// The phone may destroy its dialog between the service's search and its takeover; SetWindowLongW
// then fails. The procedure kept from the earlier dialog must not pass for this one's, or the
// dialog found is never taken over and the record key goes to the phone alone.
TEST_F(CallStateTest, ATakeoverThatFailedIsTriedAgainOnTheNextCall) {
    ShowCallDialog();
    Status(kCall);
    Status(kRadioOn);
    phone_.reset();
    HWND second = ShowCallDialog();
    FailNextWindowProcedureChange();
    Status(kCall);
    EXPECT_EQ(nullptr, g_state.previousWindowProc);
    EXPECT_TRUE(RecordKeyIsFree());
    EXPECT_EQ(1u, TracesContaining(L"Callisk: cannot take over the call dialog (error 1400)\r\n"));
    Status(kRadioOn);

    Status(kCall);
    EXPECT_EQ(second, g_state.callDialog);
    EXPECT_NE(nullptr, g_state.previousWindowProc);
    PressRecordKey();
    EXPECT_EQ(1, HotKeysSeenByPhone());
    // The key reached the service first: it tried to start the recorder (not in this image).
    EXPECT_EQ(1u, TracesContaining(L"Callisk: cannot start"));
}

// Deinit stops nothing, so an Init after it finds the worker running and starts no second one
// (two would both arm a notification and handle every change twice).
TEST_F(CallStateTest, ASecondInitStartsNoSecondWorker) {
    auto device_threads = [] { return tovarin::diagnostics::CountLiveObjects().device_threads; };
    ASSERT_EQ(1u, CRS_Init(0));
    tovarin::kernel::WaitForDeviceIdle();
    const size_t running = device_threads();
    EXPECT_EQ(TRUE, CRS_Deinit(0));
    EXPECT_EQ(1u, CRS_Init(0));
    EXPECT_EQ(1u, CRS_Init(0));
    tovarin::kernel::WaitForDeviceIdle();
    EXPECT_EQ(running, device_threads());
    CRS_Deinit(0);
}

TEST_F(CallStateTest, TheWorkerFollowsTheSettingsAndTheAnsweringMachine) {
    ShowCallDialog();
    ASSERT_EQ(1u, CRS_Init(0));
    EXPECT_EQ(TRUE, CRS_Deinit(0));  // the worker runs on without its handle
    tovarin::kernel::WaitForDeviceIdle();
    auto publish = [](DWORD status) {
        SetDword(kKeyPhoneState, kValuePhoneStatus, status);
        tovarin::kernel::WaitForDeviceIdle();
    };
    auto signal = [](LPCWSTR name) {
        HANDLE event = CreateEventW(NULL, TRUE, FALSE, name);
        SetEvent(event);
        tovarin::kernel::WaitForDeviceIdle();
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(event, 0)) << "reset";
        CloseHandle(event);
    };
    publish(kCall);
    publish(kRadioOn);
    EXPECT_EQ(kOnOff, KeyboardCodes());

    signal(kEventRunningOxbane);
    EXPECT_TRUE(g_state.answeringActive);
    signal(kEventEndOxbane);
    EXPECT_FALSE(g_state.answeringActive);

    SetDword(kKeyCallisk, kValueActivate, 0);
    signal(kEventPhoneRecordService);
    EXPECT_EQ(0u, g_state.settings.Activate);
    publish(kCall);
    EXPECT_FALSE(g_state.talking);  // disarmed: the call went unnoticed
}

}  // namespace
}  // namespace callisk_testing
