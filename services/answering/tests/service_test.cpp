// The answering service on a simulated device: its worker's start, arming and failures, the
// monitor's first steps, the timer's events and the end of an answered call.
#include <gtest/gtest.h>

#include <optional>

#include "ansley.h"
#include "common/names.h"
#include "testing/gwes_fixture.h"
#include "host/device.h"
#include "host/device_log.h"
#include "testing/temp_image.h"
#include "service_frame.h"

extern "C" DWORD AMS_Init(DWORD);

namespace {

using tovarin::gwes::testing::PumpingThread;
using tovarin::kernel::WaitForDeviceIdle;

const DWORD kRadioOn = 0x1;
const DWORD kIncoming = 0x00010000 | kRadioOn;

class AnsweringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image_.emplace();
        image_->AddFolder("Windows");
        image_->AddFolder("My Documents");
        tovarin::kernel::DeviceOptions options;
        options.clock = tovarin::kernel::ClockMode::Simulated;
        options.image_root = image_->root();
        device_.emplace(options);
        self_.emplace("test");
        g_call = CallMonitorState{};
        g_instance = NULL;
        for (HANDLE& event : g_events) {
            event = NULL;
        }
    }
    void TearDown() override {
        // The worker of a test ends with its device; the next test starts its own.
        self_.reset();
        device_.reset();
        image_.reset();
    }

    static HKEY Key(LPCWSTR path) {
        HKEY key = NULL;
        DWORD disposition = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_WRITE,
                                                 NULL, &key, &disposition));
        return key;
    }
    static void SetDword(LPCWSTR path, LPCWSTR name, DWORD value) {
        HKEY key = Key(path);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
        RegCloseKey(key);
    }
    static void SetSettings(DWORD enable, DWORD quellbrookEnable) {
        SetDword(kKeyAnswerMachine, kValueAnswerMachineEnable, enable);
        SetDword(kKeyAnswerMachine, kValueQuellbrookEnable, quellbrookEnable);
        HKEY key = Key(kKeyAnswerMachine);
        EXPECT_EQ(S_OK,
                  RegistrySetString(key, NULL, kValueAnswerMachineSaveDir, L"\\My Documents"));
        RegCloseKey(key);
    }
    static void Signal(LPCWSTR name) {
        HANDLE event = OpenEventW(0, FALSE, name);
        ASSERT_NE(nullptr, event);
        SetEvent(event);
        CloseHandle(event);
        WaitForDeviceIdle();
    }
    // Whether a "Status" change reached the monitor: with two active calls it sets
    // multipleCalls.
    static bool StatusReachesTheMonitor() {
        g_call.multipleCalls = FALSE;
        SetDword(kKeyPhoneState, kValueActiveCallCount, 2);
        // The monitor waits 500 ms before it reads the count.
        SetDword(kKeyPhoneState, kValuePhoneStatus, kRadioOn | 0x2);
        tovarin::kernel::AdvanceDeviceTime(1000);
        SetDword(kKeyPhoneState, kValuePhoneStatus, kRadioOn);
        tovarin::kernel::AdvanceDeviceTime(1000);
        return g_call.multipleCalls != FALSE;
    }
    static size_t TracesContaining(const std::wstring& text) {
        size_t count = 0;
        for (const auto& entry : tovarin::kernel::Device::Current().log().Since(0)) {
            if (const auto* line = std::get_if<tovarin::kernel::TraceLine>(&entry.what)) {
                count += line->text.find(text) != std::wstring::npos ? 1 : 0;
            }
        }
        return count;
    }
    static size_t KeysPressed(uint8_t vk) {
        size_t count = 0;
        for (const auto& entry : tovarin::kernel::Device::Current().log().Since(0)) {
            if (const auto* key = std::get_if<tovarin::kernel::KeyRecord>(&entry.what)) {
                count += key->vk == vk && !key->up ? 1 : 0;
            }
        }
        return count;
    }

    std::optional<tovarin::kernel::testing::TempImage> image_;
    std::optional<tovarin::kernel::Device> device_;
    std::optional<tovarin::kernel::AttachedThread> self_;
};

TEST_F(AnsweringTest, AFreshStartArmsAndSwitchingOffDisarms) {
    SetSettings(1, 0);
    AMS_Init(0);
    WaitForDeviceIdle();
    EXPECT_TRUE(StatusReachesTheMonitor());  // no signal from the control panel needed

    SetSettings(0, 1);
    Signal(kEventAnswerMachineService);
    EXPECT_TRUE(StatusReachesTheMonitor());

    SetSettings(0, 0);
    Signal(kEventAnswerMachineService);
    EXPECT_FALSE(StatusReachesTheMonitor());
    Signal(kEventAnswerMachineService);  // again with both 0: nothing changes
    EXPECT_FALSE(StatusReachesTheMonitor());
}

TEST_F(AnsweringTest, DataThatIsNotOneWordIsIgnoredWithoutReadingTheCallCount) {
    SetDword(kKeyPhoneState, kValueActiveCallCount, 2);
    const uint64_t before = device_->NowMs();
    DWORD words[2] = {kIncoming, kIncoming};
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(words), sizeof words);
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(words), 2);
    EXPECT_FALSE(g_call.multipleCalls);
    EXPECT_EQ(before, device_->NowMs());  // the 500 ms before the count were never waited
}

// Init again while the worker runs (as after Deinit, which stops nothing) starts no second
// worker: the events stay the first worker's and one change is handled once.
TEST_F(AnsweringTest, ASecondInitStartsNothingNew) {
    SetSettings(1, 0);
    EXPECT_EQ(1u, AMS_Init(0));
    WaitForDeviceIdle();
    HANDLE first[kServiceEventCount];
    std::copy(std::begin(g_events), std::end(g_events), first);
    EXPECT_EQ(1u, AMS_Init(0));
    WaitForDeviceIdle();
    EXPECT_TRUE(std::equal(std::begin(g_events), std::end(g_events), first));
}

TEST_F(AnsweringTest, AWorkerWithoutItsEventsEndsWithATraceAndInitTriesAgain) {
    HANDLE squatter = CreateMutexW(NULL, FALSE, kEventAnswerMachineService);
    ASSERT_NE(nullptr, squatter);
    SetSettings(1, 0);
    AMS_Init(0);
    WaitForDeviceIdle();  // would never return while a worker spun on a failing wait
    EXPECT_EQ(1u, TracesContaining(L"Ansley: cannot create event 0"));
    EXPECT_FALSE(StatusReachesTheMonitor());

    CloseHandle(squatter);
    AMS_Init(0);
    WaitForDeviceIdle();
    EXPECT_TRUE(StatusReachesTheMonitor());
}

// The monitor resets the timer's events before the timer starts: a cancel from an earlier call
// does not cancel this one, and a cancel right after the start is not lost.
TEST_F(AnsweringTest, TheTimerEventsAreResetBeforeTheTimerStarts) {
    SetSettings(1, 0);
    AMS_Init(0);
    WaitForDeviceIdle();
    SetDword(kKeyPhoneState, kValueActiveCallCount, 1);
    SetEvent(g_events[kTimerCancelEvent]);  // left set by an earlier call

    DWORD status = kIncoming;
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(&status), sizeof status);
    EXPECT_TRUE(g_call.pending);
    tovarin::kernel::AdvanceDeviceTime(10'000);
    WaitForDeviceIdle();
    EXPECT_EQ(1u, KeysPressed(VK_TTALK));
    EXPECT_FALSE(g_call.pending);

    g_call = CallMonitorState{};
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(&status), sizeof status);
    SetEvent(g_events[kTimerCancelEvent]);  // the caller gives up at once
    tovarin::kernel::AdvanceDeviceTime(10'000);
    WaitForDeviceIdle();
    EXPECT_EQ(1u, KeysPressed(VK_TTALK));
    EXPECT_FALSE(g_call.pending);
}

// Without its own title the recorder cannot be told from another untitled dialog: nothing is
// sent.
TEST_F(AnsweringTest, WithoutTheRecorderTitleCloseRecorderSendsNothing) {
    HWND untitled = NULL;
    PumpingThread other([&untitled] {
        untitled = CreateWindowExW(0, kWindowClassDialog, L"", WS_POPUP | WS_VISIBLE, 0, 0, 240,
                                   320, NULL, NULL, NULL, NULL);
    });
    g_events[kEndRecorderEvent] = CreateEventW(NULL, TRUE, FALSE, NULL);
    CloseRecorder(kCommandCloseAnsweringRecorder);
    WaitForDeviceIdle();
    for (const auto& entry : tovarin::kernel::Device::Current().log().Since(0)) {
        if (const auto* message = std::get_if<tovarin::kernel::MessageRecord>(&entry.what)) {
            EXPECT_NE(static_cast<uint32_t>(WM_COMMAND), message->message);
        }
    }
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0),
              WaitForSingleObject(g_events[kEndRecorderEvent], 0));
    CloseHandle(g_events[kEndRecorderEvent]);
    g_events[kEndRecorderEvent] = NULL;
}

}  // namespace
