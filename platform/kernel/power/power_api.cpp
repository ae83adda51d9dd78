// The power manager's functions for device code: the power status, the system power state and
// power notifications.
#include <windows.h>
#include <pm.h>

#include "kernel/handles.h"
#include "kernel/power/power_manager.h"

using namespace tovarin::kernel;
using tovarin::kernel::power::CurrentPowerManager;

extern "C" {

BOOL WINAPI GetSystemPowerStatusEx(PSYSTEM_POWER_STATUS_EX pSystemPowerStatusEx, BOOL fUpdate) {
    // The status is always current: there is no cached copy that a refresh would renew.
    (void)fUpdate;
    if (!pSystemPowerStatusEx) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pSystemPowerStatusEx = CurrentPowerManager()->Status();
    return TRUE;
}

DWORD WINAPI GetSystemPowerState(LPWSTR pBuffer, DWORD dwBufChars, PDWORD pdwFlags) {
    // No buffer (and no length) asks only for the flags.
    if (!pBuffer && dwBufChars != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    power::SystemPowerState state = CurrentPowerManager()->State();
    if (pBuffer) {
        if (dwBufChars < state.name.size() + 1) {
            return ERROR_INSUFFICIENT_BUFFER;
        }
        state.name.copy(pBuffer, state.name.size());
        pBuffer[state.name.size()] = L'\0';
    }
    if (pdwFlags) {
        *pdwFlags = state.flags;
    }
    return ERROR_SUCCESS;
}

HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags) {
    return CurrentPowerManager()->Subscribe(hMsgQ, Flags);
}

DWORD WINAPI StopPowerNotifications(HANDLE h) {
    return CurrentPowerManager()->Unsubscribe(h);
}

}  // extern "C"
