// The keypad-lock watcher: follows "KeyPad Lock" and tells the hardware-abstraction layer to lock
// or unlock the keypad.
#include <msgqueue.h>
#include <pkfuncs.h>

#include "common/names.h"
#include "wexmoor.h"

namespace {

// The layer takes 1 to unlock the keypad and 0 to lock it.
void SendKeypadLock(DWORD flag) {
    if (!KernelIoControl(kHalIoctlKeypadLock, &flag, sizeof flag, NULL, 0, NULL)) {
        NKDbgPrintfW(L"Wexmoor: KernelIoControl 0x%08X failed (error %u)\r\n", kHalIoctlKeypadLock,
                     GetLastError());
    }
}

}  // namespace

DWORD WINAPI KeypadLockWatcher(LPVOID parameter) {
    SettingWatcherControl* control = static_cast<SettingWatcherControl*>(parameter);

    // At start only the stored value's lowest byte counts.
    DWORD stored = 0;
    if (ReadMySettingDword(kValueKeyPadLock, &stored)) {
        SendKeypadLock((stored & 0xFF) == 0 ? 1 : 0);
    }

    HANDLE queue = CreateSettingQueue(kQueueHardwareKeyLock);
    if (!queue) {
        return 0;
    }
    HREGNOTIFY notification = WatchMySetting(kValueKeyPadLock, kQueueHardwareKeyLock);
    if (!notification) {
        CloseMsgQueue(queue);
        return 0;
    }

    while (SettingWatcherRunning(control)) {
        DWORD value = 0;
        SettingWaitResult result = WaitForSettingChange(control, queue, &value);
        if (result == kSettingWatcherStop) {
            break;
        }
        if (result == kSettingValueChanged) {
            SendKeypadLock(value == 0 ? 1 : 0);
        }
    }

    RegistryCloseNotification(notification);
    CloseMsgQueue(queue);
    return 1;
}
