// The service's settings record. The worker rewrites it on every reload; the monitor and the
// timer thread take consistent copies.
#include <string.h>

#include "ansley.h"
#include "common/names.h"

namespace {
AnsweringSettings g_settings;
CRITICAL_SECTION g_settingsLock;
}  // namespace

void InitializeSettingsLock() {
    InitializeCriticalSection(&g_settingsLock);
}

void DeleteSettingsLock() {
    DeleteCriticalSection(&g_settingsLock);
}

void ReloadAnsweringSettings() {
    // Built aside and stored at once: a reload clears the caller's greeting as well, since it
    // lives in the same record.
    AnsweringSettings fresh;
    memset(&fresh, 0, sizeof fresh);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, 0, 0, &key) == ERROR_SUCCESS) {
        RegistryGetDWORD(key, NULL, kValueAnswerMachineEnable, &fresh.Enable);
        RegistryGetDWORD(key, NULL, kValueQuellbrookEnable, &fresh.QuellbrookEnable);
        RegistryGetDWORD(key, NULL, kValueActiveTime, &fresh.ActiveTime);
        if (FAILED(RegistryGetString(key, NULL, kValueAnswerMachineSaveDir, fresh.SaveDir,
                                     MAX_PATH))) {
            fresh.SaveDir[0] = L'\0';
        }
        RegCloseKey(key);
    }
    EnterCriticalSection(&g_settingsLock);
    g_settings = fresh;
    LeaveCriticalSection(&g_settingsLock);
}

void SnapshotSettings(AnsweringSettings* out) {
    EnterCriticalSection(&g_settingsLock);
    *out = g_settings;
    LeaveCriticalSection(&g_settingsLock);
}

void SetCallerGreeting(DWORD found, LONG answerTime) {
    EnterCriticalSection(&g_settingsLock);
    g_settings.greetingFound = found;
    g_settings.callerAnswerTime = answerTime;
    LeaveCriticalSection(&g_settingsLock);
}
