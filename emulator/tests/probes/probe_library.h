// What every probe library of the emulator's tests has: exported entry points, the module's
// instance for its resources, and a service Init that starts the thread showing the probe's
// window (the service host's thread must not run a message loop).
#pragma once

#include <windows.h>

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

// Set by DllMain when the library is loaded.
inline HINSTANCE g_probe_instance = nullptr;

// Init's result: 1 when the thread started, 0 when it could not.
inline DWORD StartProbeThread(LPTHREAD_START_ROUTINE thread_main) {
    HANDLE thread = CreateThread(nullptr, 0, thread_main, nullptr, 0, nullptr);
    if (!thread) {
        return 0;
    }
    CloseHandle(thread);
    return 1;
}

// DllMain, PREFIX_Init (starting THREAD_MAIN) and PREFIX_Deinit of a probe service.
#define PROBE_SERVICE_ENTRY_POINTS(PREFIX, THREAD_MAIN)                       \
    PROBE_EXPORT BOOL WINAPI DllMain(HANDLE instance, DWORD reason, LPVOID) { \
        if (reason == DLL_PROCESS_ATTACH) {                                   \
            g_probe_instance = static_cast<HINSTANCE>(instance);              \
        }                                                                     \
        return TRUE;                                                          \
    }                                                                         \
    PROBE_EXPORT DWORD PREFIX##_Init(DWORD) {                                 \
        return StartProbeThread(&THREAD_MAIN);                                \
    }                                                                         \
    PROBE_EXPORT BOOL PREFIX##_Deinit(DWORD) {                                \
        return TRUE;                                                          \
    }
