// Ansley.dll: the answering-machine service. The service host loads it once at start-up and calls
// AMS_Init, which starts the worker; the service then runs until the host process ends.
#include "ansley.h"
#include "service_frame.h"

HINSTANCE g_instance = NULL;
CRITICAL_SECTION ServiceLock;

namespace {

// The lock and the settings lock exist from the library's load, before DllMain runs, to its
// unload.
struct ModuleLocks {
    ModuleLocks() {
        InitializeCriticalSection(&ServiceLock);
        InitializeSettingsLock();
    }
    ~ModuleLocks() {
        DeleteSettingsLock();
        DeleteCriticalSection(&ServiceLock);
    }
} g_moduleLocks;

}  // namespace

SERVICE_EXPORT BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_instance = static_cast<HINSTANCE>(hinstDLL);
    } else if (dwReason == DLL_THREAD_ATTACH) {
        DisableThreadLibraryCalls(g_instance);
    }
    return TRUE;
}

SERVICE_EXPORT DWORD AMS_Init(DWORD) {
    // The service reports success even when the worker cannot start; it then stays inactive. An
    // Init while the worker runs (Deinit stops nothing) starts no second one.
    StartAnsweringWorker();
    return 1;
}

SERVICE_EXPORT BOOL AMS_Deinit(DWORD) {
    return 1;
}

SERVICE_STREAM_STUBS(AMS, 1)
