// What the keypad-lock and headset-ring watchers share: their control words, the start-up read of
// their value, the message queue that the registry fills with change notifications, and the wait
// on it that EVL_Deinit can cut short.
#include <msgqueue.h>

#include "common/names.h"
#include "service_frame.h"
#include "wexmoor.h"

SettingWatcherControl g_keypadWatcher = {1, static_cast<LONG>(INFINITE), NULL, NULL};
SettingWatcherControl g_headsetWatcher = {1, static_cast<LONG>(INFINITE), NULL, NULL};

namespace {

// A change notification: notification handle, user data, data size, then the new DWORD. The
// queue takes messages of up to 20 bytes; a message shorter than 16 bytes carries no DWORD.
const DWORD kSettingQueueMessages = 10;
const DWORD kSettingMessageBytes = 20;
const DWORD kSettingMessageWords = kSettingMessageBytes / sizeof(DWORD);
const DWORD kSettingValueWord = 3;
const DWORD kSettingMinimumMessageBytes = (kSettingValueWord + 1) * sizeof(DWORD);

LONG ReadControlWord(volatile LONG* word) {
    return InterlockedCompareExchange(word, 0, 0);
}

}  // namespace

void StartSettingWatcher(SettingWatcherControl* control, LPTHREAD_START_ROUTINE routine) {
    if (!control->stopEvent) {
        control->stopEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    } else {
        ResetEvent(control->stopEvent);
    }
    // Set here rather than by the watcher, so that an EVL_Deinit that comes before the new thread
    // has run is not undone by it.
    InterlockedExchange(&control->timeoutMs, static_cast<LONG>(INFINITE));
    InterlockedExchange(&control->running, 1);
    control->thread = ServiceStartThread(routine, control);
    if (!control->thread) {
        NKDbgPrintfW(L"Wexmoor: cannot start a setting watcher (error %u)\r\n", GetLastError());
    }
}

void RequestSettingWatcherStop(SettingWatcherControl* control) {
    InterlockedExchange(&control->running, 0);
    InterlockedExchange(&control->timeoutMs, static_cast<LONG>(kSettingWatcherStopTimeoutMs));
    if (control->stopEvent) {
        SetEvent(control->stopEvent);
    }
}

void EndSettingWatcher(SettingWatcherControl* control) {
    if (!control->thread) {
        return;
    }
    // Also when no EVL_Deinit came in between: a watcher of an earlier start never runs beside a
    // new one, and the named queue has one reader only.
    RequestSettingWatcherStop(control);
    WaitForSingleObject(control->thread, INFINITE);
    CloseHandle(control->thread);
    control->thread = NULL;
}

void ReleaseSettingWatcher(SettingWatcherControl* control) {
    // The watcher still runs the library's code and waits on the stop event: it ends first.
    EndSettingWatcher(control);
    if (control->stopEvent) {
        CloseHandle(control->stopEvent);
        control->stopEvent = NULL;
    }
    InterlockedExchange(&control->running, 1);
    InterlockedExchange(&control->timeoutMs, static_cast<LONG>(INFINITE));
}

bool SettingWatcherRunning(SettingWatcherControl* control) {
    return ReadControlWord(&control->running) != 0;
}

bool ReadMySettingDword(LPCWSTR valueName, DWORD* value) {
    HKEY key;
    LONG error = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyMySetting, 0, KEY_ALL_ACCESS, &key);
    if (error != ERROR_SUCCESS) {
        NKDbgPrintfW(L"Wexmoor: cannot open %s (error %d)\r\n", kKeyMySetting, error);
        return false;
    }
    DWORD stored = 0;
    DWORD type = 0;
    DWORD size = sizeof stored;
    error = RegQueryValueExW(key, valueName, NULL, &type, reinterpret_cast<LPBYTE>(&stored), &size);
    RegCloseKey(key);
    if (error != ERROR_SUCCESS) {
        NKDbgPrintfW(L"Wexmoor: cannot read \"%s\" (error %d)\r\n", valueName, error);
        return false;
    }
    *value = stored;
    return true;
}

HANDLE CreateSettingQueue(LPCWSTR queueName) {
    MSGQUEUEOPTIONS options;
    options.dwSize = sizeof options;
    options.dwFlags = MSGQUEUE_NOPRECOMMIT;
    options.dwMaxMessages = kSettingQueueMessages;
    options.cbMaxMessage = kSettingMessageBytes;
    options.bReadAccess = TRUE;
    HANDLE queue = CreateMsgQueue(queueName, &options);
    if (!queue) {
        NKDbgPrintfW(L"Wexmoor: cannot create queue %s (error %u)\r\n", queueName, GetLastError());
    }
    return queue;
}

HREGNOTIFY WatchMySetting(LPCWSTR valueName, LPCWSTR queueName) {
    HREGNOTIFY notification = NULL;
    HRESULT result = RegistryNotifyMsgQueue(HKEY_LOCAL_MACHINE, kKeyMySetting, valueName, queueName,
                                            0, NULL, &notification);
    if (FAILED(result)) {
        NKDbgPrintfW(L"Wexmoor: cannot watch \"%s\" (result 0x%08X)\r\n", valueName, result);
        return NULL;
    }
    return notification;
}

SettingWaitResult WaitForSettingChange(SettingWatcherControl* control, HANDLE queue,
                                       DWORD* newValue) {
    HANDLE handles[2] = {queue, control->stopEvent};
    DWORD count = control->stopEvent ? 2 : 1;
    DWORD timeout = static_cast<DWORD>(ReadControlWord(&control->timeoutMs));
    DWORD waited = WaitForMultipleObjects(count, handles, FALSE, timeout);
    if (!SettingWatcherRunning(control) || waited == WAIT_OBJECT_0 + 1) {
        return kSettingWatcherStop;
    }
    if (waited == WAIT_FAILED) {
        // A wait that fails now fails every time: end rather than spin.
        NKDbgPrintfW(L"Wexmoor: wait on a setting queue failed (error %u)\r\n", GetLastError());
        return kSettingWatcherStop;
    }
    DWORD message[kSettingMessageWords];
    DWORD bytesRead = 0;
    DWORD flags = 0;
    if (!ReadMsgQueue(queue, message, sizeof message, &bytesRead, 0, &flags)) {
        return kSettingNoChange;
    }
    if (bytesRead < kSettingMinimumMessageBytes) {
        return kSettingNoChange;  // a removed value, or data shorter than a DWORD
    }
    *newValue = message[kSettingValueWord];
    return kSettingValueChanged;
}
