// Wexmoor.dll: the device-event listener service. The service host loads it and calls EVL_Init,
// which starts four watchers that turn registry settings and power events into driver commands;
// EVL_Deinit stops them.
#include "service_frame.h"
#include "wexmoor.h"

HINSTANCE g_instance = NULL;

SERVICE_EXPORT BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID lpvReserved) {
    g_instance = static_cast<HINSTANCE>(hinstDLL);
    if (dwReason == DLL_PROCESS_ATTACH || dwReason == DLL_THREAD_ATTACH) {
        DisableThreadLibraryCalls(g_instance);
    } else if (dwReason == DLL_PROCESS_DETACH && lpvReserved == NULL) {
        // Unloaded by FreeLibrary (after EVL_Deinit): the watchers end before the code and the
        // events they use go, then the handles kept for a restart are given back. At process
        // end the system takes them back itself.
        ReleaseSettingWatcher(&g_keypadWatcher);
        ReleaseSettingWatcher(&g_headsetWatcher);
        WaitForBacklightWatcherEnd();
    }
    return TRUE;
}

SERVICE_EXPORT DWORD EVL_Init(DWORD) {
    // Watchers of an earlier start end before new ones begin: two keypad or headset watchers
    // would share one named queue and both answer a change.
    EndSettingWatcher(&g_keypadWatcher);
    EndSettingWatcher(&g_headsetWatcher);
    StopPowerStatusWatcher();
    StopBacklightWatcher();

    StartSettingWatcher(&g_keypadWatcher, KeypadLockWatcher);
    StartSettingWatcher(&g_headsetWatcher, HeadsetRingWatcher);
    StartPowerStatusWatcher();
    StartBacklightWatcher();
    CallInitializeThemeNotify();
    return 1;
}

SERVICE_EXPORT BOOL EVL_Deinit(DWORD) {
    // The keypad and headset watchers are not waited for: the stop event wakes them at once, and
    // the shortened time-out bounds their end at 500 ms.
    RequestSettingWatcherStop(&g_keypadWatcher);
    RequestSettingWatcherStop(&g_headsetWatcher);
    StopPowerStatusWatcher();
    StopBacklightWatcher();
    // Freed here rather than at unload: a library is never freed inside DllMain.
    ReleaseThemeLibrary();
    return 0;
}

SERVICE_STREAM_STUBS(EVL, 0)
