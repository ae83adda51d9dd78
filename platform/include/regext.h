// Registry helpers and change notifications of the shell.
#pragma once

#include <windef.h>
#include <winerror.h>
#include <winreg.h>

// Results of the registry helpers beyond the Win32 codes they pass on.
#define E_INSUFFICIENT_BUFFER HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)
#define E_DATATYPE_MISMATCH HRESULT_FROM_WIN32(ERROR_DATATYPE_MISMATCH)

#ifndef RC_INVOKED
typedef HANDLE HREGNOTIFY;

typedef enum tagREG_COMPARISONTYPE {
    REG_CT_ANYCHANGE,
    REG_CT_EQUAL,
    REG_CT_NOT_EQUAL,
    REG_CT_GREATER,
    REG_CT_GREATER_OR_EQUAL,
    REG_CT_LESS,
    REG_CT_LESS_OR_EQUAL,
    REG_CT_CONTAINS,
    REG_CT_STARTS_WITH,
    REG_CT_ENDS_WITH
} REG_COMPARISONTYPE;

// dwMask applies to DWORD values only; with a mask of 0 the target is taken as a string.
typedef struct tagNOTIFICATIONCONDITION {
    REG_COMPARISONTYPE ctComparisonType;
    DWORD dwMask;
    union {
        LPCTSTR psz;
        DWORD dw;
    } TargetValue;
} NOTIFICATIONCONDITION;

typedef void (*REGISTRYNOTIFYCALLBACK)(HREGNOTIFY hNotify, DWORD dwUserData, const PBYTE pData,
                                       const UINT cbData);

TOVARIN_BEGIN_C
HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD* pdwData);
HRESULT WINAPI RegistryGetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPTSTR pszData,
                                 UINT cchData);
HRESULT WINAPI RegistrySetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD dwData);
HRESULT WINAPI RegistrySetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                 LPCTSTR pszData);
HRESULT WINAPI RegistryNotifyCallback(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                      REGISTRYNOTIFYCALLBACK pfnRegistryNotifyCallback,
                                      DWORD dwUserData, NOTIFICATIONCONDITION* pCondition,
                                      HREGNOTIFY* phNotify);
HRESULT WINAPI RegistryNotifyMsgQueue(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                      LPCTSTR pszMsgQueue, DWORD dwUserData,
                                      NOTIFICATIONCONDITION* pCondition, HREGNOTIFY* phNotify);
HRESULT WINAPI RegistryCloseNotification(HREGNOTIFY hNotify);
TOVARIN_END_C
#endif  // RC_INVOKED
