// Probe.dll: a service library for the service host's tests. It exports the entry points under the
// prefix PRB and keeps a record of the calls it received, which the tests read through PRB_Calls
// (the test loads the same module as the host, so they share the record).
#include <windows.h>

#include "probe_library.h"
#include "probe_service.h"

namespace {

ProbeCalls g_calls = {0, 0, 0, 0, 0, kProbeDefaultContext, 0};

}  // namespace

PROBE_EXPORT DWORD PRB_Init(DWORD) {
    ++g_calls.inits;
    g_calls.initThread = GetCurrentThreadId();
    return g_calls.initResult;
}

PROBE_EXPORT BOOL PRB_Deinit(DWORD context) {
    ++g_calls.deinits;
    g_calls.deinitThread = GetCurrentThreadId();
    g_calls.deinitContext = context;
    if (g_calls.blockDeinit != 0) {
        HANDLE never = CreateEventW(NULL, TRUE, FALSE, NULL);
        WaitForSingleObject(never, INFINITE);
        CloseHandle(never);
    }
    return 7;
}

PROBE_EXPORT ProbeCalls* PRB_Calls(void) {
    return &g_calls;
}
