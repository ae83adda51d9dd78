// Values of other keys that the service reads and writes: the saved ring mode and volume and the
// background-effect switch (Overdub), the shell's ring mode, the phone's own auto-answer and the
// number of active calls.
#include "ansley.h"
#include "common/names.h"

namespace {

// Reads a DWORD of an open key; the value keeps `value` when it is missing.
DWORD QueryDword(HKEY key, LPCWSTR name, DWORD value) {
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<LPBYTE>(&data), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof data) {
        return data;
    }
    return value;
}

}  // namespace

DWORD ReadOverdubDword(LPCWSTR name, DWORD defaultValue) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyOverdub, 0, 0, &key) != ERROR_SUCCESS) {
        return defaultValue;
    }
    DWORD value = QueryDword(key, name, defaultValue);
    RegCloseKey(key);
    return value;
}

void WriteOverdubDword(LPCWSTR name, DWORD value) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyOverdub, 0, NULL, 0, KEY_WRITE, NULL, &key,
                        &disposition) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

DWORD ReadShellMode() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyShellOverrides, 0, 0, &key) != ERROR_SUCCESS) {
        return 0xFFFFFFFF;
    }
    DWORD mode = QueryDword(key, kValueShellOverridesMode, 0);
    RegCloseKey(key);
    return mode;
}

DWORD ReadAutoAnswerWithDelay() {
    // A phone without the setting has its own auto-answer off.
    DWORD autoAnswer = 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyMySetting, 0, 0, &key) == ERROR_SUCCESS) {
        Sleep(500);
        autoAnswer = QueryDword(key, kValueAutoAnswer, 0);
        RegCloseKey(key);
    }
    return autoAnswer;
}

DWORD ReadActiveCallCountWithDelay() {
    DWORD count = 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPhoneState, 0, 0, &key) == ERROR_SUCCESS) {
        // The radio publishes the call count shortly after "Status" changes.
        Sleep(500);
        if (FAILED(RegistryGetDWORD(key, NULL, kValueActiveCallCount, &count))) {
            count = 0;
        }
        RegCloseKey(key);
    }
    return count;
}
