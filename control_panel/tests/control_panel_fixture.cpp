#include "control_panel_fixture.h"

#include <filesystem>

#include "applet/applet.h"
#include "host/device.h"
#include "path_chars.h"
#include "storage/storage.h"

namespace marrowfen_testing {

void ControlPanelTest::SetUp() {
    std::filesystem::create_directories(Host("Windows"));
    std::filesystem::copy_file(MARROWFEN_STRINGS_FILE, Host("Windows/MarrowfenStrings.dll"));
    g_instance = LoadLibraryW(L"MarrowfenStrings.dll");
    ASSERT_NE(nullptr, g_instance);
    InitializeStorage();
}

void ControlPanelTest::TearDown() {
    tovarin::kernel::WaitForDeviceIdle();
    ReleaseStorage();
}

void ControlPanelTest::SetDword(LPCWSTR key, LPCWSTR name, DWORD value) {
    HKEY opened = NULL;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_WRITE, NULL,
                                             &opened, &disposition));
    RegSetValueExW(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(opened);
}

void ControlPanelTest::SetString(LPCWSTR key, LPCWSTR name, LPCWSTR text) {
    HKEY opened = NULL;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, KEY_WRITE, NULL,
                                             &opened, &disposition));
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR)));
    RegCloseKey(opened);
}

std::wstring ControlPanelTest::StoredString(LPCWSTR key, LPCWSTR name) {
    HKEY opened = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return L"missing";
    }
    WCHAR text[kPathChars] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    LONG result = RegQueryValueExW(opened, name, NULL, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::wstring(text) : L"missing";
}

DWORD ControlPanelTest::StoredDword(LPCWSTR key, LPCWSTR name) {
    HKEY opened = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return 0xDEADBEEF;
    }
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof value;
    DWORD type = 0;
    RegQueryValueExW(opened, name, NULL, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(opened);
    return value;
}

}  // namespace marrowfen_testing
