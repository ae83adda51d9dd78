#include "callisk_fixture.h"

#include <atomic>
#include <filesystem>
#include <memory>

#include "common/names.h"
#include "host/drivers.h"

namespace callisk_testing {
namespace {

std::atomic<int> g_phoneHotKeys{0};
WNDPROC g_dialogClassProc = NULL;
std::atomic<bool> g_failNextProcedureChange{false};

LRESULT CALLBACK PhoneDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        ++g_phoneHotKeys;
    }
    return CallWindowProcW(g_dialogClassProc, hwnd, message, wParam, lParam);
}

}  // namespace
}  // namespace callisk_testing

// Every SetWindowLongW of this program (the service's included) comes here first.
extern "C" LONG WINAPI __real_SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
extern "C" LONG WINAPI __wrap_SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    if (nIndex == GWL_WNDPROC && callisk_testing::g_failNextProcedureChange.exchange(false)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return __real_SetWindowLongW(hWnd, nIndex, dwNewLong);
}

namespace callisk_testing {

void DeviceTest::Boot(const std::vector<ImageFile>& files, Version version) {
    Shutdown();
    image_.emplace();
    std::filesystem::path windows = image_->AddFolder("Windows");
    for (const ImageFile& file : files) {
        std::filesystem::copy_file(file.built, windows / file.name);
    }
    tovarin::kernel::DeviceOptions options;
    options.clock = tovarin::kernel::ClockMode::Simulated;
    options.image_root = image_->root();
    options.os_major_version = version.major;
    options.os_minor_version = version.minor;
    options.ui_language = version.language;
    device_.emplace(options);
    self_.emplace("test");
}

void DeviceTest::Shutdown() {
    self_.reset();
    device_.reset();
    image_.reset();
}

std::vector<uint32_t> DeviceTest::KeyboardCodes() {
    std::vector<uint32_t> codes;
    for (const tovarin::kernel::IoctlRecord& call : Logged<tovarin::kernel::IoctlRecord>()) {
        if (call.device == kDeviceKeyboard) {
            EXPECT_TRUE(call.input.empty()) << "the keyboard controls carry no input";
            codes.push_back(call.code);
        }
    }
    return codes;
}

size_t DeviceTest::TracesContaining(const std::wstring& text) {
    size_t count = 0;
    for (const tovarin::kernel::TraceLine& line : Logged<tovarin::kernel::TraceLine>()) {
        count += line.text.find(text) != std::wstring::npos ? 1 : 0;
    }
    return count;
}

void ServiceTest::SetUp() {
    Boot({{PHONE_STRINGS_MUI_FILE, "tapres.DLL.0419.mui"},
          {CALLISK_STRINGS_FILE, "CalliskStrings.dll"}});
    tovarin::kernel::RegisterDriver(kDeviceKeyboard,
                                    std::make_shared<tovarin::kernel::RecordingDriver>());
    // A fresh lock, so that a test that left it held cannot block the next one.
    DeleteCriticalSection(&ServiceLock);
    InitializeCriticalSection(&ServiceLock);
    g_state = CalliskState{};
    g_instance = LoadLibraryW(L"CalliskStrings.dll");
    ASSERT_NE(nullptr, g_instance);
    g_phoneHotKeys = 0;
    g_failNextProcedureChange = false;
    SetActivate(1);
    SetActiveCallCount(0);
}

void ServiceTest::SetDword(LPCWSTR key, LPCWSTR name, DWORD value) {
    HKEY opened = NULL;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_WRITE, NULL,
                                             &opened, &disposition));
    RegSetValueExW(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(opened);
}

void ServiceTest::SetActivate(DWORD value) {
    SetDword(kKeyCallisk, kValueActivate, value);
    ReloadRecordSettings();
}

void ServiceTest::SetActiveCallCount(DWORD value) {
    SetDword(kKeyPhoneState, kValueActiveCallCount, value);
}

void ServiceTest::Status(DWORD status) {
    OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(&status), sizeof status);
    tovarin::kernel::WaitForDeviceIdle();
}

bool ServiceTest::StatusOnOwnThread(DWORD status) {
    static DWORD s_status;
    s_status = status;
    HANDLE thread = CreateThread(
        NULL, 0,
        [](LPVOID) -> DWORD {
            OnPhoneStatus(NULL, 0, reinterpret_cast<PBYTE>(&s_status), sizeof s_status);
            return 0;
        },
        NULL, 0, NULL);
    tovarin::kernel::WaitForDeviceIdle();
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

void ServiceTest::PressRecordKey() {
    keybd_event(static_cast<BYTE>(kVirtualKeyRecord), 0, 0, 0);
    keybd_event(static_cast<BYTE>(kVirtualKeyRecord), 0, KEYEVENTF_KEYUP, 0);
    tovarin::kernel::WaitForDeviceIdle();
}

bool ServiceTest::RecordKeyIsFree() {
    HWND probe =
        CreateWindowExW(0, kWindowClassDialog, L"probe", 0, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    bool free = RegisterHotKey(probe, 1, MOD_KEYUP, kVirtualKeyRecord) != FALSE;
    DestroyWindow(probe);
    return free;
}

HWND ServiceTest::ShowCallDialog() {
    HWND dialog = NULL;
    phone_.emplace([&dialog] {
        dialog = CreateWindowExW(0, kWindowClassDialog, L"Телефон", WS_POPUP | WS_VISIBLE, 0, 0,
                                 240, 320, NULL, NULL, NULL, NULL);
        CreateWindowExW(0, kWindowClassDialog, L"Входящий вызов", WS_CHILD | WS_VISIBLE, 8, 40, 224,
                        24, dialog, NULL, NULL, NULL);
        g_dialogClassProc =
            (WNDPROC)(LONG_PTR)SetWindowLongW(dialog, GWL_WNDPROC, (LONG)(LONG_PTR)PhoneDialogProc);
    });
    return dialog;
}

int ServiceTest::HotKeysSeenByPhone() {
    return g_phoneHotKeys;
}

void ServiceTest::FailNextWindowProcedureChange() {
    g_failNextProcedureChange = true;
}

}  // namespace callisk_testing
