// The device-event listener service: shared state and the operations of its four watchers.
//
// Threads: KeypadLockWatcher and HeadsetRingWatcher follow one registry value each through a
// message queue; BacklightWatcher waits for "BackLightChangeEvent"; PowerStatusWatcher reads the
// power manager's status broadcasts. EVL_Init and EVL_Deinit run on the service host's thread and
// talk to the watchers only through the control words and events below.
#pragma once

#include <windows.h>
#include <regext.h>

#include "service_frame.h"

// EVL_Deinit shortens the setting watchers' waits to this, so that they end within it.
const DWORD kSettingWatcherStopTimeoutMs = 500;

// Control words of a watcher of one registry value (keypad lock, headset ring). EVL_Init and
// EVL_Deinit write `running` and `timeoutMs` while the watcher reads them, so both are read and
// written only with interlocked operations.
struct SettingWatcherControl {
    volatile LONG running;    // 1 while the watcher should go on
    volatile LONG timeoutMs;  // the watcher's wait, a DWORD (INFINITE or the stop bound)
    // Manual reset. Set with the cleared flag so that a watcher blocked in its wait wakes at once;
    // reset by the next EVL_Init once that watcher has ended. Kept while the library is loaded.
    HANDLE stopEvent;
    // Kept so that the next EVL_Init can wait for this watcher to end before it starts another.
    HANDLE thread;
};

// The power-status watcher object: its thread and its stop event (auto reset).
struct PowerStatusWatcherObject {
    HANDLE thread;
    HANDLE stopEvent;
};

// The entry points (wexmoor_main.cpp).
SERVICE_EXPORT BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID lpvReserved);
SERVICE_EXPORT DWORD EVL_Init(DWORD context);
SERVICE_EXPORT BOOL EVL_Deinit(DWORD deviceContext);

extern HINSTANCE g_instance;
extern SettingWatcherControl g_keypadWatcher;
extern SettingWatcherControl g_headsetWatcher;

// setting_watcher.cpp: what the keypad and headset watchers share
enum SettingWaitResult {
    kSettingWatcherStop,   // the flag is clear: leave the loop
    kSettingNoChange,      // nothing usable arrived (time-out, short or unreadable message)
    kSettingValueChanged,  // a change notification with the new value
};
void StartSettingWatcher(SettingWatcherControl* control, LPTHREAD_START_ROUTINE routine);
void RequestSettingWatcherStop(SettingWatcherControl* control);
void EndSettingWatcher(SettingWatcherControl* control);
void ReleaseSettingWatcher(SettingWatcherControl* control);
bool SettingWatcherRunning(SettingWatcherControl* control);
bool ReadMySettingDword(LPCWSTR valueName, DWORD* value);
HANDLE CreateSettingQueue(LPCWSTR queueName);
HREGNOTIFY WatchMySetting(LPCWSTR valueName, LPCWSTR queueName);
SettingWaitResult WaitForSettingChange(SettingWatcherControl* control, HANDLE queue,
                                       DWORD* newValue);

// keypad_lock_watcher.cpp
DWORD WINAPI KeypadLockWatcher(LPVOID control);

// headset_ring_watcher.cpp
DWORD WINAPI HeadsetRingWatcher(LPVOID control);

// backlight_watcher.cpp
DWORD WINAPI BacklightWatcher(LPVOID);
void StartBacklightWatcher();
void StopBacklightWatcher();
// Waits until the last backlight watcher's thread has ended and gives back its handle.
void WaitForBacklightWatcherEnd();

// power_status_watcher.cpp
DWORD WINAPI PowerStatusWatcher(LPVOID watcher);
void StartPowerStatusWatcher();
void StopPowerStatusWatcher();

// backlight_device.cpp
void BacklightOn();

// theme_notify.cpp
void CallInitializeThemeNotify();
void ReleaseThemeLibrary();
