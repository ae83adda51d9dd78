// The worker: creates the service's events, rereads the settings whenever the control panel sets
// "Answer Machine Service Event", and arms or disarms the notification on the phone's "Status".
#include "ansley.h"
#include "common/names.h"
#include "service_frame.h"

HANDLE g_events[kServiceEventCount];

namespace {
HREGNOTIFY g_statusNotification = NULL;
volatile LONG g_running = 1;
// 1 from the worker's start until it ends.
volatile LONG g_workerStarted = 0;

void CloseServiceEvents() {
    for (int i = 0; i < kServiceEventCount; ++i) {
        if (g_events[i]) {
            CloseHandle(g_events[i]);
            g_events[i] = NULL;
        }
    }
}

// The worker ends: the notification and the events go.
DWORD EndWorker(DWORD result) {
    ServiceDisarmNotification(&g_statusNotification);
    CloseServiceEvents();
    return result;
}

}  // namespace

void StartAnsweringWorker() {
    if (InterlockedCompareExchange(&g_workerStarted, 1, 0) != 0) {
        return;
    }
    if (!ServiceStartDetachedThread(AnsweringWorker, NULL)) {
        NKDbgPrintfW(L"Ansley: cannot start the worker (error %u)\r\n", GetLastError());
        InterlockedExchange(&g_workerStarted, 0);
    }
}

DWORD WINAPI AnsweringWorker(LPVOID) {
    // However the worker ends (also when the device ends it inside a wait), a later Init may
    // start it again.
    struct WorkerRun {
        ~WorkerRun() {
            g_statusNotification = NULL;
            InterlockedExchange(&g_workerStarted, 0);
        }
    } run;
    static const LPCWSTR kEventNames[kServiceEventCount] = {
        kEventAnswerMachineService, kEventAnswerMachineTimer, kEventAnswerMachineAnswerNow,
        kEventRunningOxbane, kEventEndOxbane};
    for (int i = 0; i < kServiceEventCount; ++i) {
        g_events[i] = ServiceCreateEvent(kEventNames[i]);
        if (!g_events[i]) {
            // Without its events the service can neither reload nor answer: it stays inactive.
            NKDbgPrintfW(L"Ansley: cannot create event %d (error %u)\r\n", i, GetLastError());
            return EndWorker(0);
        }
    }
    g_running = 1;

    while (g_running) {
        if (WaitForSingleObject(g_events[kServiceEvent], INFINITE) != WAIT_OBJECT_0) {
            // A wait that fails now fails every time: end rather than spin.
            NKDbgPrintfW(L"Ansley: the worker's wait failed (error %u)\r\n", GetLastError());
            return EndWorker(0);
        }
        ResetEvent(g_events[kServiceEvent]);
        ReloadAnsweringSettings();

        AnsweringSettings settings;
        SnapshotSettings(&settings);
        if (settings.Enable == 1 || settings.QuellbrookEnable == 1) {
            if (!g_statusNotification) {
                ServiceArmStatusNotification(OnPhoneStatus, &g_statusNotification);
            }
        } else if (settings.Enable == 0 && g_statusNotification) {
            ServiceDisarmNotification(&g_statusNotification);
        }
    }
    return EndWorker(1);
}
