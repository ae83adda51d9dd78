#include "listener_fixture.h"

#include "host/modules.h"

namespace wexmoor_testing {

using tovarin::kernel::AdvanceDeviceTime;
using tovarin::kernel::LogEntry;
using tovarin::kernel::TraceLine;
using tovarin::kernel::WaitForDeviceIdle;

int g_themeNotifyCalls = 0;

namespace {

INT_PTR CountThemeNotify() {
    ++g_themeNotifyCalls;  // called on the host's (the test's) thread only
    return 0;
}

// Creates the key when it is missing, as the phone's settings do.
void WriteDword(HKEY root, LPCWSTR keyPath, LPCWSTR value, DWORD data) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(root, keyPath, 0, NULL, 0, 0, NULL, &key, NULL), ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExW(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data),
        ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace

void ProvideThemeLibrary(bool withExport) {
    std::vector<tovarin::kernel::modules::BuiltinExport> exports;
    if (withExport) {
        exports.push_back(
            {"InitializeThemeNotify", 0, reinterpret_cast<FARPROC>(CountThemeNotify)});
    }
    tovarin::kernel::modules::RegisterBuiltinModule(kLibraryGlimmerset, std::move(exports));
}

ListenerTest::ListenerTest() {
    tovarin::kernel::SetKernelIoControlHandler(std::make_shared<RecordingDriver>());
    tovarin::kernel::RegisterDriver(kDeviceRingToneRouter, std::make_shared<RecordingDriver>());
    tovarin::kernel::RegisterDriver(kDeviceBacklight, std::make_shared<RecordingDriver>());
    ProvideThemeLibrary(true);
    g_themeNotifyCalls = 0;
}

ListenerTest::~ListenerTest() {
    EVL_Deinit(0);
    AdvanceDeviceTime(kSettingWatcherStopTimeoutMs);
    WaitForDeviceIdle();
    DllMain(NULL, DLL_PROCESS_DETACH, NULL);
}

void ListenerTest::StartListener() {
    ASSERT_EQ(EVL_Init(0), 1u);
    WaitForDeviceIdle();
}

std::vector<IoctlRecord> ListenerTest::IoctlsSinceMark(const std::wstring& device) {
    std::vector<IoctlRecord> records;
    for (const LogEntry& entry : device_.log().Since(mark_)) {
        const auto* record = std::get_if<IoctlRecord>(&entry.what);
        if (record && record->device == device) {
            records.push_back(*record);
        }
    }
    return records;
}

bool ListenerTest::TraceContains(const std::wstring& text) {
    for (const TraceLine& line : device_.trace().Lines()) {
        if (line.text.find(text) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

void ListenerTest::SetMySetting(LPCWSTR value, DWORD data) {
    WriteDword(HKEY_LOCAL_MACHINE, kKeyMySetting, value, data);
    WaitForDeviceIdle();
}

int ListenerTest::QueueReaders(LPCWSTR name) {
    // A write end keeps an existing queue as it is, or makes an empty one that goes with it.
    MSGQUEUEOPTIONS options = {};
    options.dwSize = sizeof options;
    options.cbMaxMessage = 20;
    options.bReadAccess = FALSE;
    HANDLE probe = CreateMsgQueue(name, &options);
    EXPECT_NE(probe, nullptr);
    MSGQUEUEINFO info = {};
    info.dwSize = sizeof info;
    EXPECT_TRUE(GetMsgQueueInfo(probe, &info));
    CloseMsgQueue(probe);
    return info.wNumReaders;
}

void ListenerTest::SetBacklightTaps(DWORD onBattery, DWORD onExternalPower) {
    WriteDword(HKEY_CURRENT_USER, kKeyBacklight, kValueBacklightOnTap, onBattery);
    WriteDword(HKEY_CURRENT_USER, kKeyBacklight, kValueACBacklightOnTap, onExternalPower);
}

void ListenerTest::SignalBacklightChange() {
    HANDLE event = CreateEventW(NULL, FALSE, FALSE, kEventBackLightChange);
    ASSERT_NE(event, nullptr);
    SetEvent(event);
    CloseHandle(event);
    WaitForDeviceIdle();
}

}  // namespace wexmoor_testing
