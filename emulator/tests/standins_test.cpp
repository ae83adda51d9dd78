// The stand-ins as the suite relies on them: the call recorder's window, what it records and its
// stop key; the theme library's one export.
#include <windows.h>
#include <regext.h>

#include "booted_emulator.h"
#include "common/names.h"

namespace tovarin::emulator::testing {
namespace {

class StandInTest : public BootedEmulatorTest {
  protected:
    void SetUp() override { Boot(); }
};

TEST_F(StandInTest, TheCallRecorderRecordsUntilItsStopKey) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyCallisk, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskHandle, 0x40000012),
              S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskSaveDir,
                                L"\\Storage Card\\Мои Телефонные Записи"),
              S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskFileName, L"CK"),
              S_OK);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(kProgramDrumlet, nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &started));
    kernel::WaitForDeviceIdle();

    HWND window = FindWindowW(kWindowClassDialog, kWindowTitleCallRecorder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CountTraces(L"Drumlet: recording the call of window 0x40000012 into "
                          L"\\Storage Card\\Мои Телефонные Записи\\CK\r\n"),
              1u);

    // Another key, or the record key going up, does not stop it.
    SendMessageW(window, WM_KEYDOWN, kVirtualKeyRecord + 1, 0);
    SendMessageW(window, WM_KEYUP, kVirtualKeyRecord, 0);
    kernel::WaitForDeviceIdle();
    EXPECT_EQ(WaitForSingleObject(started.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    SendMessageW(window, WM_KEYDOWN, kVirtualKeyRecord, 0);
    ASSERT_EQ(WaitForSingleObject(started.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD exit_code = 0xDEADBEEF;
    ASSERT_TRUE(GetExitCodeProcess(started.hProcess, &exit_code));
    EXPECT_EQ(exit_code, 0u);
    EXPECT_EQ(CountTraces(L"Drumlet: stopped"), 1u);
    EXPECT_EQ(FindWindowW(kWindowClassDialog, kWindowTitleCallRecorder), nullptr);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

TEST_F(StandInTest, ThemeNotificationsComeOnOnce) {
    HMODULE theme = LoadLibraryW(kLibraryGlimmerset);
    ASSERT_NE(theme, nullptr);
    typedef BOOL (*InitializeThemeNotifyProc)(void);
    auto initialize = reinterpret_cast<InitializeThemeNotifyProc>(
        GetProcAddressW(theme, kExportInitializeThemeNotify));
    ASSERT_NE(initialize, nullptr);
    EXPECT_TRUE(initialize());
    EXPECT_TRUE(initialize());
    EXPECT_EQ(CountTraces(L"Glimmerset: theme notifications on"), 1u);
    FreeLibrary(theme);
}

}  // namespace
}  // namespace tovarin::emulator::testing
