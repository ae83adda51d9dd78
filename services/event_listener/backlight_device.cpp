// Switching the backlight on: the backlight driver is told to enter full power.
#include <pm.h>

#include "common/names.h"
#include "wexmoor.h"

void BacklightOn() {
    HANDLE backlight = CreateFileW(kDeviceBacklight, 0, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (backlight == INVALID_HANDLE_VALUE) {
        NKDbgPrintfW(L"Wexmoor: cannot open %s (error %u)\r\n", kDeviceBacklight, GetLastError());
        return;
    }
    CEDEVICE_POWER_STATE state = D0;
    DWORD returned = 0;
    if (!DeviceIoControl(backlight, IOCTL_POWER_SET, NULL, 0, &state, sizeof state, &returned,
                         NULL)) {
        NKDbgPrintfW(L"Wexmoor: %s control 0x%08X failed (error %u)\r\n", kDeviceBacklight,
                     IOCTL_POWER_SET, GetLastError());
    }
    CloseHandle(backlight);
}
