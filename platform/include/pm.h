// The power manager: system power states, device power states and power notifications.
#pragma once

#include <windef.h>

// System power state flags.
#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_CRITICAL 0x00040000
#define POWER_STATE_BOOT 0x00080000
#define POWER_STATE_IDLE 0x00100000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_STATE_UNATTENDED 0x00400000
#define POWER_STATE_RESET 0x00800000
#define POWER_STATE_USERIDLE 0x01000000
#define POWER_STATE_BACKLIGHTON 0x02000000
#define POWER_STATE_PASSWORD 0x10000000

// Kinds of power broadcast; RequestPowerNotifications takes a mask of them.
#define PBT_TRANSITION 0x00000001
#define PBT_RESUME 0x00000002
#define PBT_POWERSTATUSCHANGE 0x00000004
#define PBT_POWERINFOCHANGE 0x00000008
#define POWER_NOTIFY_ALL 0xFFFFFFFF

// Device power states.
typedef enum _CEDEVICE_POWER_STATE {
    PwrDeviceUnspecified = -1,
    D0 = 0,  // full on
    D1 = 1,
    D2 = 2,
    D3 = 3,
    D4 = 4,  // off
    PwrDeviceMaximum = 5
} CEDEVICE_POWER_STATE,
    *PCEDEVICE_POWER_STATE;

// Control codes of drivers that take part in power management.
#define FILE_DEVICE_POWER 0x00000032
#define IOCTL_POWER_CAPABILITIES 0x00321000
#define IOCTL_POWER_GET 0x00321004
#define IOCTL_POWER_SET 0x00321008

#ifndef RC_INVOKED
// A message that the power manager writes into a notification queue. SystemPowerState holds
// Length bytes: the name of the new system power state for PBT_TRANSITION, nothing for
// PBT_POWERSTATUSCHANGE.
typedef struct _POWER_BROADCAST {
    DWORD Message;
    DWORD Flags;
    DWORD Length;
    WCHAR SystemPowerState[1];
} POWER_BROADCAST, *PPOWER_BROADCAST;

TOVARIN_BEGIN_C
// Writes the name of the current system power state (at most dwBufChars characters with the
// terminator) and its POWER_STATE_* flags. Returns ERROR_SUCCESS or an error code.
DWORD WINAPI GetSystemPowerState(LPWSTR pBuffer, DWORD dwBufChars, PDWORD pdwFlags);
// Asks for the broadcasts of the kinds in Flags to be written into the message queue hMsgQ
// (a queue the caller reads). Returns a handle for StopPowerNotifications, or NULL.
HANDLE WINAPI RequestPowerNotifications(HANDLE hMsgQ, DWORD Flags);
DWORD WINAPI StopPowerNotifications(HANDLE h);
TOVARIN_END_C
#endif  // RC_INVOKED
