// Registry change notifications in simulated device time: order and value at the change, the
// one notification thread, conditions, message queue packets, and closing.
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>
#include <msgqueue.h>
#include <regext.h>

#include "host/device.h"
#include "testing/device_fixture.h"
#include "host/trace.h"

namespace tovarin::kernel::testing {
namespace {

const wchar_t kPhone[] = L"\\System\\State\\Phone";

struct Heard {
    HREGNOTIFY handle;
    DWORD user_data;
    bool has_data;
    std::vector<BYTE> data;
    DWORD tick;
    DWORD thread;

    DWORD Number() const {
        DWORD value = 0;
        if (data.size() == 4) {
            std::memcpy(&value, data.data(), 4);
        }
        return value;
    }
};

// What the callbacks heard. Callbacks are plain functions, so the record is global.
struct Recorder {
    std::mutex mutex;
    std::vector<Heard> heard;
    DWORD sleep_ms = 0;                      // each callback sleeps this long after recording
    HREGNOTIFY close_from_inside = nullptr;  // closed by the callback that hears it

    std::vector<Heard> Take() {
        std::lock_guard lock(mutex);
        return heard;
    }
};
Recorder* g_recorder = nullptr;

void RecordingCallback(HREGNOTIFY handle, DWORD user_data, const PBYTE data, const UINT size) {
    Recorder& recorder = *g_recorder;
    DWORD sleep_ms = 0;
    bool close_it = false;
    {
        std::lock_guard lock(recorder.mutex);
        recorder.heard.push_back({handle, user_data, data != nullptr,
                                  data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>{},
                                  GetTickCount(), GetCurrentThreadId()});
        sleep_ms = recorder.sleep_ms;
        close_it = recorder.close_from_inside == handle;
    }
    if (close_it) {
        EXPECT_EQ(S_OK, RegistryCloseNotification(handle));
    }
    if (sleep_ms) {
        Sleep(sleep_ms);
    }
}

class RegistryNotifyTest : public SimulatedDeviceTest {
  protected:
    RegistryNotifyTest() {
        g_recorder = &recorder_;
        HKEY phone = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPhone, 0, nullptr, 0, 0,
                                                 nullptr, &phone, nullptr));
        phone_ = phone;
    }
    ~RegistryNotifyTest() override {
        RegCloseKey(phone_);
        self_.reset();
        g_recorder = nullptr;
    }

    HREGNOTIFY Watch(const wchar_t* value, NOTIFICATIONCONDITION* condition = nullptr,
                     DWORD user_data = 0) {
        HREGNOTIFY handle = nullptr;
        EXPECT_EQ(S_OK, RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kPhone, value, RecordingCallback,
                                               user_data, condition, &handle));
        return handle;
    }

    void SetStatus(DWORD value, const wchar_t* name = L"Status") {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(phone_, name, 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&value), 4));
    }

    std::vector<DWORD> Numbers() {
        std::vector<DWORD> numbers;
        for (const Heard& heard : recorder_.Take()) {
            numbers.push_back(heard.Number());
        }
        return numbers;
    }

    Recorder recorder_;
    HKEY phone_ = nullptr;
};

TEST_F(RegistryNotifyTest, QuickWritesArriveInOrderEachWithItsOwnValueOneAfterAnother) {
    recorder_.sleep_ms = 500;  // the first callback still sleeps while the later writes happen
    HREGNOTIFY handle = Watch(L"Status", nullptr, 77);
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    EXPECT_GE(value, 0x20000000u);
    EXPECT_LE(value, 0xFFFFFFFFu);
    EXPECT_EQ(0u, value % 4);

    SetStatus(0x20001);
    SetStatus(0x20002);
    SetStatus(0x20003);
    Sleep(2000);

    auto heard = recorder_.Take();
    ASSERT_EQ(3u, heard.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(handle, heard[i].handle);
        EXPECT_EQ(77u, heard[i].user_data);
        ASSERT_EQ(4u, heard[i].data.size());
        EXPECT_EQ(0x20001u + i, heard[i].Number());
        EXPECT_EQ(heard[0].thread, heard[i].thread);  // the one notification thread
    }
    EXPECT_NE(GetCurrentThreadId(), heard[0].thread);
    // A sleeping callback delays the next one.
    EXPECT_EQ(0u, heard[0].tick);
    EXPECT_EQ(500u, heard[1].tick);
    EXPECT_EQ(1000u, heard[2].tick);
    EXPECT_EQ(2000u, GetTickCount());
    EXPECT_EQ(S_OK, RegistryCloseNotification(handle));
}

TEST_F(RegistryNotifyTest, OnlyRealChangesAreToldAndDeletionsComeWithoutData) {
    HREGNOTIFY handle = Watch(L"status");  // value names ignore case too
    SetStatus(5);
    SetStatus(5);  // the same data again
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(phone_, L"Status"));
    SetStatus(6);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"System\\State"));
    WaitForDeviceIdle();

    auto heard = recorder_.Take();
    ASSERT_EQ(4u, heard.size());
    EXPECT_TRUE(heard[0].has_data);
    EXPECT_EQ(5u, heard[0].Number());
    EXPECT_FALSE(heard[1].has_data);
    EXPECT_TRUE(heard[1].data.empty());
    EXPECT_EQ(6u, heard[2].Number());
    EXPECT_FALSE(heard[3].has_data);  // deleted with its key

    // The watch outlives the key: a new key of that name is watched too.
    HKEY again = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPhone, 0, nullptr, 0, 0, nullptr,
                                             &again, nullptr));
    DWORD seven = 7;
    RegSetValueExW(again, L"Status", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4);
    RegCloseKey(again);
    WaitForDeviceIdle();
    EXPECT_EQ(5u, recorder_.Take().size());
    RegistryCloseNotification(handle);
}

TEST_F(RegistryNotifyTest, AWatchOnAKeyThatDoesNotExistYetFiresWhenItIsWritten) {
    HREGNOTIFY handle = nullptr;
    ASSERT_EQ(S_OK, RegistryNotifyCallback(HKEY_CURRENT_USER, L"Software\\Later", L"Flag",
                                           RecordingCallback, 1, nullptr, &handle));
    HKEY later = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\later", 0, nullptr, 0,
                                             0, nullptr, &later, nullptr));
    DWORD one = 1;
    RegSetValueExW(later, L"Other", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    RegSetValueExW(later, L"FLAG", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    RegCloseKey(later);
    WaitForDeviceIdle();
    EXPECT_EQ(std::vector<DWORD>{1}, Numbers());
    RegistryCloseNotification(handle);
}

TEST_F(RegistryNotifyTest, TheConditionDecidesAtTheChange) {
    // As the answering service arms it: any change to a non-zero status.
    NOTIFICATIONCONDITION non_zero{};
    non_zero.ctComparisonType = REG_CT_NOT_EQUAL;
    non_zero.dwMask = 0xFFFFFFFF;
    non_zero.TargetValue.dw = 0;
    HREGNOTIFY handle = Watch(L"Status", &non_zero);
    SetStatus(0x20000);
    SetStatus(0);
    SetStatus(0x20000);
    SetStatus(0x20008);
    WaitForDeviceIdle();
    EXPECT_EQ((std::vector<DWORD>{0x20000, 0x20000, 0x20008}), Numbers());
    RegistryCloseNotification(handle);
}

TEST_F(RegistryNotifyTest, ClosingStopsCallbacksEvenThoseAlreadyQueued) {
    recorder_.sleep_ms = 1000;
    HREGNOTIFY handle = Watch(L"Status");
    SetStatus(1);
    SetStatus(2);         // queued behind the sleeping first callback
    WaitForDeviceIdle();  // the first callback is asleep now
    ASSERT_EQ(1u, recorder_.Take().size());

    // Close waits for the running callback, and the queued one never starts.
    EXPECT_EQ(S_OK, RegistryCloseNotification(handle));
    EXPECT_EQ(1000u, GetTickCount());
    SetStatus(3);
    Sleep(5000);
    EXPECT_EQ(std::vector<DWORD>{1}, Numbers());
    EXPECT_EQ(E_INVALIDARG, RegistryCloseNotification(handle));
}

TEST_F(RegistryNotifyTest, ACallbackMayCloseItsOwnNotification) {
    HREGNOTIFY handle = Watch(L"Status");
    {
        std::lock_guard lock(recorder_.mutex);
        recorder_.close_from_inside = handle;
    }
    SetStatus(1);
    WaitForDeviceIdle();
    SetStatus(2);
    WaitForDeviceIdle();
    EXPECT_EQ(std::vector<DWORD>{1}, Numbers());
    EXPECT_EQ(E_INVALIDARG, RegistryCloseNotification(handle));
}

TEST_F(RegistryNotifyTest, BadArgumentsAreRefused) {
    HREGNOTIFY handle = nullptr;
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x10000F00));
    EXPECT_EQ(E_INVALIDARG, RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kPhone, L"Status", nullptr,
                                                   0, nullptr, &handle));
    EXPECT_EQ(E_INVALIDARG, RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kPhone, L"Status",
                                                   RecordingCallback, 0, nullptr, nullptr));
    EXPECT_EQ(E_INVALIDARG, RegistryNotifyCallback(nullptr, kPhone, L"Status", RecordingCallback, 0,
                                                   nullptr, &handle));
    EXPECT_EQ(E_INVALIDARG, RegistryNotifyCallback(bogus, kPhone, L"Status", RecordingCallback, 0,
                                                   nullptr, &handle));
    NOTIFICATIONCONDITION unknown{};
    unknown.ctComparisonType = static_cast<REG_COMPARISONTYPE>(15);
    EXPECT_EQ(E_INVALIDARG, RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kPhone, L"Status",
                                                   RecordingCallback, 0, &unknown, &handle));
    EXPECT_EQ(E_INVALIDARG, RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kPhone, L"Status", nullptr,
                                                   0, nullptr, &handle));
    EXPECT_EQ(E_INVALIDARG, RegistryCloseNotification(nullptr));
    EXPECT_EQ(E_INVALIDARG, RegistryCloseNotification(
                                reinterpret_cast<HREGNOTIFY>(static_cast<uintptr_t>(0x20000FF0))));
}

// Message queues ------------------------------------------------------------------------------

MSGQUEUEOPTIONS ReadOptions(DWORD max_messages, DWORD max_size) {
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.dwFlags = MSGQUEUE_NOPRECOMMIT;
    options.dwMaxMessages = max_messages;
    options.cbMaxMessage = max_size;
    options.bReadAccess = TRUE;
    return options;
}

std::vector<BYTE> ReadPacket(HANDLE queue) {
    BYTE buffer[64];
    DWORD read = 0, flags = 0;
    if (!ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, &flags)) {
        return {};
    }
    return std::vector<BYTE>(buffer, buffer + read);
}

std::vector<BYTE> Packet(std::initializer_list<DWORD> words) {
    std::vector<BYTE> bytes(words.size() * 4);
    std::memcpy(bytes.data(), words.begin(), bytes.size());
    return bytes;
}

DWORD Handle32(HREGNOTIFY handle) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(handle));
}

TEST_F(RegistryNotifyTest, AMessageQueueGetsThePacketAtTheChange) {
    MSGQUEUEOPTIONS options = ReadOptions(10, 20);
    HANDLE queue = CreateMsgQueue(L"HardwareKeyLock", &options);
    ASSERT_NE(nullptr, queue);
    HREGNOTIFY handle = nullptr;
    ASSERT_EQ(S_OK, RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kPhone, L"KeyPad Lock",
                                           L"HardwareKeyLock", 0x1234, nullptr, &handle));

    SetStatus(1, L"KeyPad Lock");
    // Already there when the write returns: no thread had to run.
    EXPECT_EQ(Packet({Handle32(handle), 0x1234, 4, 1}), ReadPacket(queue));
    SetStatus(0xABCDEF01, L"KeyPad Lock");
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(phone_, L"KeyPad Lock"));
    EXPECT_EQ(Packet({Handle32(handle), 0x1234, 4, 0xABCDEF01}), ReadPacket(queue));
    EXPECT_EQ(Packet({Handle32(handle), 0x1234, 0}), ReadPacket(queue));
    EXPECT_TRUE(ReadPacket(queue).empty());

    EXPECT_EQ(S_OK, RegistryCloseNotification(handle));
    SetStatus(2, L"KeyPad Lock");
    EXPECT_TRUE(ReadPacket(queue).empty());
    CloseMsgQueue(queue);
}

TEST_F(RegistryNotifyTest, AFullQueueLosesTheNotificationAndTheWriterGoesOn) {
    MSGQUEUEOPTIONS options = ReadOptions(1, 20);
    HANDLE queue = CreateMsgQueue(L"RingToneHeadsetSpeakerState", &options);
    HREGNOTIFY handle = nullptr;
    ASSERT_EQ(S_OK, RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kPhone, L"HeadSet Ring",
                                           L"RingToneHeadsetSpeakerState", 0, nullptr, &handle));
    device_.trace().Clear();

    SetLastError(42);
    SetStatus(1, L"HeadSet Ring");
    SetStatus(2, L"HeadSet Ring");   // the queue holds one message: this one is lost
    EXPECT_EQ(42u, GetLastError());  // the registry call does not leak the queue's error

    EXPECT_EQ(Packet({Handle32(handle), 0, 4, 1}), ReadPacket(queue));
    EXPECT_TRUE(ReadPacket(queue).empty());
    bool traced = false;
    for (const TraceLine& line : device_.trace().Lines()) {
        traced |= line.module == L"registry" &&
                  line.text.find(L"RingToneHeadsetSpeakerState") != std::wstring::npos &&
                  line.text.find(L"dropped") != std::wstring::npos;
    }
    EXPECT_TRUE(traced);
    RegistryCloseNotification(handle);
    CloseMsgQueue(queue);
}

TEST_F(RegistryNotifyTest, AMissingQueueIsCreatedForTheReaderToOpen) {
    HREGNOTIFY handle = nullptr;
    ASSERT_EQ(S_OK, RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kPhone, L"Status", L"Made Later", 5,
                                           nullptr, &handle));
    MSGQUEUEOPTIONS options = ReadOptions(4, 16);
    HANDLE queue = CreateMsgQueue(L"Made Later", &options);
    ASSERT_NE(nullptr, queue);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    SetStatus(3);
    EXPECT_EQ(Packet({Handle32(handle), 5, 4, 3}), ReadPacket(queue));
    RegistryCloseNotification(handle);
    CloseMsgQueue(queue);
}

}  // namespace
}  // namespace tovarin::kernel::testing
