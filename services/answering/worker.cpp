// The worker: creates the service's events, rereads the settings whenever the control panel sets
// "Answer Machine Service Event", and arms or disarms the notification on the phone's "Status".
#include "ansley.h"
#include "common/names.h"
#include "service_frame.h"

HANDLE g_events[kServiceEventCount];

namespace {
HREGNOTIFY g_statusNotification = NULL;
volatile LONG g_running = 1;
}  // namespace

DWORD WINAPI AnsweringWorker(LPVOID) {
    static const LPCWSTR kEventNames[kServiceEventCount] = {
        kEventAnswerMachineService, kEventAnswerMachineTimer, kEventAnswerMachineAnswerNow,
        kEventRunningOxbane, kEventEndOxbane};
    for (int i = 0; i < kServiceEventCount; ++i) {
        g_events[i] = ServiceCreateEvent(kEventNames[i]);
    }
    g_running = 1;

    while (g_running) {
        WaitForSingleObject(g_events[kServiceEvent], INFINITE);
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
    ServiceDisarmNotification(&g_statusNotification);
    return 1;
}
