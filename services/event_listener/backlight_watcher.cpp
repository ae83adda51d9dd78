// The backlight watcher: when the platform's backlight settings signal a change, switches the
// backlight on if the setting for the current power source asks for it.
#include "common/names.h"
#include "service_frame.h"
#include "wexmoor.h"

namespace {

// "BackLightChangeEvent" (auto reset), the stop request and its acknowledgement (auto reset).
HANDLE g_backlightChangeEvent = NULL;
HANDLE g_backlightStopEvent = NULL;
HANDLE g_backlightStoppedEvent = NULL;
// Kept so that the library's unload can wait until the thread has left the library's code,
// which it still runs after its acknowledgement.
HANDLE g_backlightThread = NULL;

// A missing key or value counts as 0.
DWORD ReadBacklightTap(LPCWSTR valueName) {
    DWORD value = 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyBacklight, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExW(key, valueName, NULL, &type, reinterpret_cast<LPBYTE>(&value),
                             &size) != ERROR_SUCCESS) {
            value = 0;
        }
        RegCloseKey(key);
    }
    return value;
}

void OnBacklightSettingsChanged() {
    SYSTEM_POWER_STATUS_EX status = {};
    GetSystemPowerStatusEx(&status, FALSE);
    LPCWSTR tap =
        status.ACLineStatus == AC_LINE_ONLINE ? kValueACBacklightOnTap : kValueBacklightOnTap;
    if (ReadBacklightTap(tap) == 1) {
        BacklightOn();
    }
}

void CloseBacklightEvents() {
    HANDLE* events[] = {&g_backlightChangeEvent, &g_backlightStopEvent, &g_backlightStoppedEvent};
    for (HANDLE* event : events) {
        if (*event) {
            CloseHandle(*event);
            *event = NULL;
        }
    }
}

}  // namespace

DWORD WINAPI BacklightWatcher(LPVOID) {
    // EVL_Init made the events before it started this thread and closes them only after the
    // acknowledgement below.
    HANDLE handles[2] = {g_backlightChangeEvent, g_backlightStopEvent};
    HANDLE stopped = g_backlightStoppedEvent;
    for (;;) {
        DWORD waited = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (waited == WAIT_OBJECT_0) {
            // The event is made auto-reset, but a process that made the name first may have made
            // it manual-reset: reset it so that one signal is one change, not an endless loop.
            ResetEvent(handles[0]);
            OnBacklightSettingsChanged();
        } else if (waited == WAIT_OBJECT_0 + 1) {
            break;
        } else if (waited == WAIT_FAILED) {
            // A wait that fails now fails every time: end rather than spin.
            NKDbgPrintfW(L"Wexmoor: backlight wait failed (error %u)\r\n", GetLastError());
            break;
        }
    }
    SetEvent(stopped);
    return 1;
}

void StartBacklightWatcher() {
    g_backlightChangeEvent = CreateEventW(NULL, FALSE, FALSE, kEventBackLightChange);
    g_backlightStopEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    g_backlightStoppedEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    if (!g_backlightChangeEvent || !g_backlightStopEvent || !g_backlightStoppedEvent) {
        NKDbgPrintfW(L"Wexmoor: cannot create the backlight events (error %u)\r\n", GetLastError());
        CloseBacklightEvents();
        return;
    }
    WaitForBacklightWatcherEnd();  // of an earlier start: it has acknowledged its stop
    HANDLE thread = ServiceStartThread(BacklightWatcher, NULL);
    if (!thread) {
        // Without a watcher nobody would acknowledge a stop: EVL_Deinit must not wait for one.
        NKDbgPrintfW(L"Wexmoor: cannot start the backlight watcher (error %u)\r\n", GetLastError());
        CloseBacklightEvents();
        return;
    }
    g_backlightThread = thread;
}

void WaitForBacklightWatcherEnd() {
    if (g_backlightThread) {
        WaitForSingleObject(g_backlightThread, INFINITE);
        CloseHandle(g_backlightThread);
        g_backlightThread = NULL;
    }
}

void StopBacklightWatcher() {
    if (g_backlightStopEvent && g_backlightStoppedEvent) {
        SetEvent(g_backlightStopEvent);
        WaitForSingleObject(g_backlightStoppedEvent, INFINITE);
    }
    CloseBacklightEvents();
}
