// The storage-card monitor: a thread that refills the storage lists whenever a folder of the
// root appears or goes, which is what inserting or removing a card does.
#include <windows.h>
#include <kfuncs.h>

#include "common/names.h"
#include "storage/storage.h"

namespace {

enum MonitorWaitIndex { kStopEvent, kRootChange, kMonitorWaitCount };

// The library's handle to the stop event of the monitor that runs, NULL when none runs; the
// thread waits on a handle of its own to the same event and closes it when it ends. Used only
// on the thread that opens and closes the pages.
HANDLE monitorStop = NULL;

}  // namespace

DWORD WINAPI CardMonitorThread(LPVOID parameter) {
    HANDLE stop = static_cast<HANDLE>(parameter);
    // Only the flag: the root is the refills' to write, under the lock that the page's thread
    // takes to read it. Taking that lock here would make the page's first refill wait on it.
    WCHAR root[kCardRootChars];
    InterlockedExchange(&cardPresent, FindStorageCard(root, kCardRootChars));
    HANDLE change = FindFirstChangeNotificationW(L"\\", FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
    if (change == INVALID_HANDLE_VALUE) {
        CloseHandle(stop);
        return 1;
    }
    HANDLE waits[kMonitorWaitCount] = {stop, change};
    for (;;) {
        DWORD woken = WaitForMultipleObjects(kMonitorWaitCount, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0 + kStopEvent) {
            break;
        }
        if (woken == WAIT_OBJECT_0 + kRootChange) {
            RefreshStorageLists();
            FindNextChangeNotification(change);
        } else if (woken == WAIT_FAILED) {
            break;
        }
    }
    FindCloseChangeNotification(change);
    CloseHandle(stop);
    return 1;
}

HANDLE OpenCardMonitorStopEvent() {
    // Each monitor has an event of its own: with one named event, a start that came before the
    // previous monitor had seen its stop would clear that stop, and two monitors would run.
    HANDLE stop = CreateEventW(NULL, TRUE, FALSE, NULL);
    if (stop == NULL) {
        return NULL;
    }
    HANDLE forThread = NULL;
    if (!DuplicateHandle(GetCurrentProcess(), stop, GetCurrentProcess(), &forThread, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        CloseHandle(stop);
        return NULL;
    }
    StopCardMonitor();
    monitorStop = stop;
    return forThread;
}

void StartCardMonitor() {
    // The event is made before the thread exists: a stop that comes before the thread has run
    // still ends it.
    HANDLE stop = OpenCardMonitorStopEvent();
    if (stop == NULL) {
        return;
    }
    HANDLE thread = CreateThread(NULL, 0, CardMonitorThread, stop, 0, NULL);
    if (thread == NULL) {
        CloseHandle(stop);
        StopCardMonitor();
        return;
    }
    CloseHandle(thread);
}

void StopCardMonitor() {
    if (monitorStop != NULL) {
        EventModify(monitorStop, EVENT_SET);
        CloseHandle(monitorStop);
        monitorStop = NULL;
    }
}
