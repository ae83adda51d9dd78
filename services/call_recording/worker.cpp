// The worker: rereads the settings whenever the control panel sets "Phone Record Service Event",
// arms or disarms the notification on the phone's "Status", and follows the answering machine
// through "Runing Oxbane Event" and "End Oxbane Event".
#include "callisk.h"
#include "common/names.h"
#include "service_frame.h"

namespace {

// The three events in the order of the wait; an earlier one wins when several are set.
enum WorkerEventIndex { kServiceEvent, kAnsweringStartedEvent, kAnsweringEndedEvent, kEventCount };

volatile LONG g_running = 1;
// 1 from the worker's start until it ends.
volatile LONG g_workerStarted = 0;
// The worker's handle, kept from CRS_Init until CRS_Deinit.
HANDLE g_workerThread = NULL;

void SetAnsweringActive(BOOL active) {
    EnterCriticalSection(&ServiceLock);
    g_state.answeringActive = active;
    LeaveCriticalSection(&ServiceLock);
}

}  // namespace

DWORD ReloadRecordSettings() {
    RecordSettings fresh;
    fresh.Activate = 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyCallisk, 0, 0, &key) == ERROR_SUCCESS) {
        if (FAILED(RegistryGetDWORD(key, NULL, kValueActivate, &fresh.Activate))) {
            fresh.Activate = 0;
        }
        RegCloseKey(key);
    }
    EnterCriticalSection(&ServiceLock);
    g_state.settings = fresh;
    LeaveCriticalSection(&ServiceLock);
    return fresh.Activate;
}

BOOL StartRecordingWorker() {
    if (InterlockedCompareExchange(&g_workerStarted, 1, 0) != 0) {
        return TRUE;
    }
    HANDLE worker = ServiceStartThread(RecordingWorker, NULL);
    if (!worker) {
        InterlockedExchange(&g_workerStarted, 0);
        return FALSE;
    }
    if (g_workerThread) {
        CloseHandle(g_workerThread);  // of a worker that has ended
    }
    g_workerThread = worker;
    return TRUE;
}

void ReleaseRecordingWorkerHandle() {
    if (g_workerThread) {
        CloseHandle(g_workerThread);
        g_workerThread = NULL;
    }
}

DWORD WINAPI RecordingWorker(LPVOID) {
    // However the worker ends (also when the device ends it inside a wait), a later Init may
    // start it again.
    struct WorkerRun {
        ~WorkerRun() { InterlockedExchange(&g_workerStarted, 0); }
    } run;
    static const LPCWSTR kEventNames[kEventCount] = {kEventPhoneRecordService, kEventRunningOxbane,
                                                     kEventEndOxbane};
    HANDLE events[kEventCount];
    for (int i = 0; i < kEventCount; ++i) {
        events[i] = ServiceCreateEvent(kEventNames[i]);
        if (!events[i]) {
            NKDbgPrintfW(L"Callisk: cannot create event %d (error %u)\r\n", i, GetLastError());
            while (i-- > 0) {
                CloseHandle(events[i]);
            }
            return 0;
        }
    }
    // Only the service event counts from the start: an answering machine that finished before
    // this service started says nothing about the next call.
    ResetEvent(events[kAnsweringStartedEvent]);
    ResetEvent(events[kAnsweringEndedEvent]);
    g_running = 1;

    HREGNOTIFY statusNotification = NULL;
    while (g_running) {
        DWORD woken = WaitForMultipleObjects(kEventCount, events, FALSE, INFINITE);
        if (woken >= WAIT_OBJECT_0 + kEventCount) {
            NKDbgPrintfW(L"Callisk: the worker's wait failed (error %u)\r\n", GetLastError());
            break;
        }
        for (int i = 0; i < kEventCount; ++i) {
            ResetEvent(events[i]);
        }
        switch (woken - WAIT_OBJECT_0) {
            case kServiceEvent: {
                DWORD activate = ReloadRecordSettings();
                if (activate == 1 && !statusNotification) {
                    ServiceArmStatusNotification(OnPhoneStatus, &statusNotification);
                } else if (activate == 0 && statusNotification) {
                    ServiceDisarmNotification(&statusNotification);
                }
                break;
            }
            case kAnsweringStartedEvent:
                SetAnsweringActive(TRUE);
                break;
            case kAnsweringEndedEvent:
                SetAnsweringActive(FALSE);
                break;
            default:
                break;
        }
    }
    ServiceDisarmNotification(&statusNotification);
    for (int i = 0; i < kEventCount; ++i) {
        CloseHandle(events[i]);
    }
    return 1;
}
