// Registry access of the control panel's loaders and writers, and the service events they set
// after writing.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <kfuncs.h>
#include <regext.h>

#include "settings/settings.h"

HKEY OpenSettingsKey(LPCWSTR path) {
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return NULL;
    }
    return key;
}

HKEY CreateSettingsKey(LPCWSTR path) {
    SECURITY_ATTRIBUTES security;
    security.nLength = sizeof security;
    security.lpSecurityDescriptor = NULL;
    security.bInheritHandle = FALSE;
    HKEY key = NULL;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, const_cast<LPWSTR>(L""), 0, KEY_WRITE,
                        &security, &key, &disposition) != ERROR_SUCCESS) {
        return NULL;
    }
    return key;
}

BOOL ReadSettingsDword(HKEY key, LPCWSTR name, DWORD* field) {
    DWORD value = 0;
    if (FAILED(RegistryGetDWORD(key, NULL, name, &value))) {
        return FALSE;
    }
    *field = value;
    return TRUE;
}

BOOL ReadSettingsString(HKEY key, LPCWSTR name, WCHAR* field) {
    WCHAR text[kPathChars];
    text[0] = L'\0';
    if (FAILED(RegistryGetString(key, NULL, name, text, kPathChars))) {
        return FALSE;
    }
    memcpy(field, text, sizeof text);
    return TRUE;
}

void WriteSettingsDword(HKEY key, LPCWSTR name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WriteSettingsString(HKEY key, LPCWSTR name, LPCWSTR text) {
    // The whole text with its terminator, as every reader expects to get it back.
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(WCHAR));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

void SignalServiceEvent(LPCWSTR name) {
    HANDLE event = CreateEventW(NULL, TRUE, TRUE, name);
    if (event != NULL) {
        EventModify(event, EVENT_SET);
        CloseHandle(event);
    }
}
