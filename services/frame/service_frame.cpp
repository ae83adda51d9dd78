#include "service_frame.h"

#include "common/names.h"

HANDLE ServiceCreateEvent(LPCWSTR name) {
    return CreateEventW(NULL, TRUE, TRUE, name);
}

HANDLE ServiceStartThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
    return CreateThread(NULL, 0, routine, parameter, 0, NULL);
}

void ServiceStartDetachedThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
    HANDLE thread = ServiceStartThread(routine, parameter);
    if (thread) {
        CloseHandle(thread);
    }
}

void ServiceArmStatusNotification(REGISTRYNOTIFYCALLBACK callback, HREGNOTIFY* notify) {
    NOTIFICATIONCONDITION condition;
    condition.ctComparisonType = REG_CT_NOT_EQUAL;
    condition.dwMask = 0xFFFFFFFF;
    condition.TargetValue.dw = 0;
    HREGNOTIFY handle = NULL;
    if (FAILED(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValuePhoneStatus,
                                      callback, 0, &condition, &handle))) {
        handle = NULL;
    }
    *notify = handle;
}

void ServiceDisarmNotification(HREGNOTIFY* notify) {
    if (*notify) {
        RegistryCloseNotification(*notify);
        *notify = NULL;
    }
}
