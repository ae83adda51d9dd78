// What the device says about itself: the platform version and the user's interface language, both
// fixed when the device boots (DeviceOptions).
#include <windows.h>

#include "host/device.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

extern "C" {

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
    // The size field tells which revision of the record the caller has; the device knows only
    // this one.
    if (!lpVersionInformation ||
        lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DeviceOptions& options = Device::Current().options();
    lpVersionInformation->dwMajorVersion = options.os_major_version;
    lpVersionInformation->dwMinorVersion = options.os_minor_version;
    lpVersionInformation->dwBuildNumber = options.os_build_number;
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_CE;
    lpVersionInformation->szCSDVersion[0] = L'\0';  // no service pack
    return TRUE;
}

LANGID WINAPI GetUserDefaultUILanguage(void) {
    return Device::Current().options().ui_language;
}

}  // extern "C"
