// Callisk.dll: the call-recording service. The service host loads it once at start-up and calls
// CRS_Init, which starts the worker; the service then runs until the host process ends.
#include <commctrl.h>

#include "callisk.h"
#include "service_frame.h"

HINSTANCE g_instance = NULL;
CRITICAL_SECTION ServiceLock;
CalliskState g_state;

namespace {

// The lock exists from the library's load, before DllMain runs, to its unload.
struct ModuleLock {
    ModuleLock() { InitializeCriticalSection(&ServiceLock); }
    ~ModuleLock() { DeleteCriticalSection(&ServiceLock); }
} g_moduleLock;

}  // namespace

SERVICE_EXPORT BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_instance = static_cast<HINSTANCE>(hinstDLL);
        DisableThreadLibraryCalls(g_instance);
    } else if (dwReason == DLL_THREAD_ATTACH) {
        DisableThreadLibraryCalls(g_instance);
    }
    return TRUE;
}

SERVICE_EXPORT DWORD CRS_Init(DWORD) {
    // Deinit stops nothing: an Init while the worker runs starts no second one.
    if (!StartRecordingWorker()) {
        return 0;
    }
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof(INITCOMMONCONTROLSEX);
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
    return 1;
}

SERVICE_EXPORT BOOL CRS_Deinit(DWORD) {
    // The worker keeps running; only the kept handle goes.
    ReleaseRecordingWorkerHandle();
    return 1;
}

SERVICE_STREAM_STUBS(CRS, 1)
