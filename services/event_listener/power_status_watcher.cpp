// The power-status watcher: on every power-status broadcast (external power comes or goes, the
// battery changes) switches the backlight on while the system is in the On power state.
#include <msgqueue.h>
#include <pm.h>

#include "common/names.h"
#include "service_frame.h"
#include "wexmoor.h"

namespace {

// The unnamed queue of the power manager's broadcasts.
const DWORD kPowerQueueMessages = 4;
const DWORD kPowerMessageBytes = 116;
// GetSystemPowerState writes the state's name into this many characters.
const DWORD kPowerStateNameChars = 100;

PowerStatusWatcherObject* g_powerWatcher = NULL;

bool SystemPowerStateIsOn() {
    WCHAR name[kPowerStateNameChars];
    DWORD flags = 0;
    return GetSystemPowerState(name, kPowerStateNameChars, &flags) == ERROR_SUCCESS &&
           (flags & POWER_STATE_ON) != 0;
}

// Reads every waiting broadcast without waiting.
void HandlePowerBroadcasts(HANDLE queue) {
    DWORD message[kPowerMessageBytes / sizeof(DWORD)];
    DWORD bytesRead = 0;
    DWORD flags = 0;
    while (ReadMsgQueue(queue, message, sizeof message, &bytesRead, 0, &flags)) {
        if (bytesRead >= sizeof(DWORD) && message[0] == PBT_POWERSTATUSCHANGE &&
            SystemPowerStateIsOn()) {
            BacklightOn();
        }
    }
}

}  // namespace

DWORD WINAPI PowerStatusWatcher(LPVOID parameter) {
    PowerStatusWatcherObject* watcher = static_cast<PowerStatusWatcherObject*>(parameter);

    MSGQUEUEOPTIONS options;
    options.dwSize = sizeof options;
    options.dwFlags = MSGQUEUE_NOPRECOMMIT;
    options.dwMaxMessages = kPowerQueueMessages;
    options.cbMaxMessage = kPowerMessageBytes;
    options.bReadAccess = TRUE;
    HANDLE queue = CreateMsgQueue(NULL, &options);
    if (!queue) {
        NKDbgPrintfW(L"Wexmoor: cannot create the power queue (error %u)\r\n", GetLastError());
        return 0;
    }
    HANDLE notifications = RequestPowerNotifications(queue, PBT_POWERSTATUSCHANGE);
    if (!notifications) {
        NKDbgPrintfW(L"Wexmoor: RequestPowerNotifications failed (error %u)\r\n", GetLastError());
        CloseMsgQueue(queue);
        return 0;
    }

    HANDLE handles[2] = {queue, watcher->stopEvent};
    for (;;) {
        DWORD waited = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (waited != WAIT_OBJECT_0) {
            break;  // the stop event, or a wait that can no longer succeed
        }
        HandlePowerBroadcasts(queue);
    }

    StopPowerNotifications(notifications);
    CloseMsgQueue(queue);
    return 1;
}

void StartPowerStatusWatcher() {
    if (!g_powerWatcher) {
        g_powerWatcher = static_cast<PowerStatusWatcherObject*>(
            LocalAlloc(LPTR, sizeof(PowerStatusWatcherObject)));
        if (!g_powerWatcher) {
            NKDbgPrintfW(L"Wexmoor: no memory for the power watcher\r\n");
            return;
        }
    }
    if (!g_powerWatcher->stopEvent) {
        g_powerWatcher->stopEvent = CreateEventW(NULL, FALSE, FALSE, NULL);
    } else {
        ResetEvent(g_powerWatcher->stopEvent);
    }
    if (!g_powerWatcher->stopEvent) {
        // A watcher that could not be stopped would hold EVL_Deinit for ever.
        NKDbgPrintfW(L"Wexmoor: cannot create the power watcher's stop event (error %u)\r\n",
                     GetLastError());
        return;
    }
    g_powerWatcher->thread = ServiceStartThread(PowerStatusWatcher, g_powerWatcher);
    if (!g_powerWatcher->thread) {
        NKDbgPrintfW(L"Wexmoor: cannot start the power watcher (error %u)\r\n", GetLastError());
    }
}

void StopPowerStatusWatcher() {
    if (!g_powerWatcher) {
        return;
    }
    if (g_powerWatcher->stopEvent) {
        SetEvent(g_powerWatcher->stopEvent);
    }
    if (g_powerWatcher->thread) {
        WaitForSingleObject(g_powerWatcher->thread, INFINITE);
        CloseHandle(g_powerWatcher->thread);
    }
    if (g_powerWatcher->stopEvent) {
        CloseHandle(g_powerWatcher->stopEvent);
    }
    LocalFree(g_powerWatcher);
    g_powerWatcher = NULL;
}
