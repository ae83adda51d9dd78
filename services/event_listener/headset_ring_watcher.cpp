// The headset-ring watcher: follows "HeadSet Ring" and routes the ring tone to the headset or the
// speaker through the ring-tone router.
#include <msgqueue.h>

#include "common/names.h"
#include "wexmoor.h"

namespace {

void SendRingToneRoute(HANDLE router, DWORD headsetRing) {
    DWORD command[2] = {kRingToneRouteCommand,
                        headsetRing != 0 ? kRingToneRouteHeadset : kRingToneRouteSpeaker};
    if (!DeviceIoControl(router, kIoctlRingToneRoute, command, sizeof command, NULL, 0, NULL,
                         NULL)) {
        NKDbgPrintfW(L"Wexmoor: %s control %u failed (error %u)\r\n", kDeviceRingToneRouter,
                     kIoctlRingToneRoute, GetLastError());
    }
}

}  // namespace

DWORD WINAPI HeadsetRingWatcher(LPVOID parameter) {
    SettingWatcherControl* control = static_cast<SettingWatcherControl*>(parameter);

    HANDLE router = CreateFileW(kDeviceRingToneRouter, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (router == INVALID_HANDLE_VALUE) {
        NKDbgPrintfW(L"Wexmoor: cannot open %s (error %u)\r\n", kDeviceRingToneRouter,
                     GetLastError());
        return 0;
    }

    // At start only the stored value's lowest byte counts.
    DWORD stored = 0;
    if (ReadMySettingDword(kValueHeadSetRing, &stored)) {
        SendRingToneRoute(router, stored & 0xFF);
    }

    HANDLE queue = CreateSettingQueue(kQueueRingToneHeadsetSpeakerState);
    if (!queue) {
        CloseHandle(router);
        return 0;
    }
    HREGNOTIFY notification = WatchMySetting(kValueHeadSetRing, kQueueRingToneHeadsetSpeakerState);
    if (!notification) {
        CloseMsgQueue(queue);
        CloseHandle(router);
        return 0;
    }

    while (SettingWatcherRunning(control)) {
        DWORD value = 0;
        SettingWaitResult result = WaitForSettingChange(control, queue, &value);
        if (result == kSettingWatcherStop) {
            break;
        }
        if (result == kSettingValueChanged) {
            SendRingToneRoute(router, value);
        }
    }

    RegistryCloseNotification(notification);
    CloseMsgQueue(queue);
    CloseHandle(router);
    return 1;
}
