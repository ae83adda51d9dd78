// The storage-card monitor: a thread that refills the storage lists whenever a folder of the
// root appears or goes, which is what inserting or removing a card does.
#include <windows.h>
#include <kfuncs.h>

#include "common/names.h"
#include "storage/storage.h"

namespace {

enum MonitorWaitIndex { kStopEvent, kRootChange, kMonitorWaitCount };

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
    HANDLE stop = CreateEventW(NULL, TRUE, FALSE, kEventMonitorStorageCard);
    if (stop != NULL) {
        EventModify(stop, EVENT_RESET);
    }
    return stop;
}

void StartCardMonitor() {
    // The stop event is cleared here, before the thread exists, and never by the thread: a stop
    // that comes before the thread has run still ends it.
    HANDLE stop = OpenCardMonitorStopEvent();
    if (stop == NULL) {
        return;
    }
    HANDLE thread = CreateThread(NULL, 0, CardMonitorThread, stop, 0, NULL);
    if (thread == NULL) {
        CloseHandle(stop);
        return;
    }
    CloseHandle(thread);
}

void StopCardMonitor() {
    HANDLE stop = CreateEventW(NULL, TRUE, FALSE, kEventMonitorStorageCard);
    if (stop != NULL) {
        EventModify(stop, EVENT_SET);
        CloseHandle(stop);
    }
}
