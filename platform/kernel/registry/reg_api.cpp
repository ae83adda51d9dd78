// The registry functions of winreg.h, over the device's Registry.
#include <new>
#include <stdexcept>

#include <windows.h>
#include <winreg.h>

#include "host/device.h"
#include "kernel/registry/registry.h"

using tovarin::kernel::Device;
using tovarin::kernel::Registry;

namespace {

// No exception leaves the API: running out of memory is reported as the phone reports it.
template <typename Call>
LONG Guarded(Call call) {
    try {
        return call(Device::Current().registry());
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::exception&) {
        return ERROR_INVALID_FUNCTION;
    }
}

}  // namespace

extern "C" {

LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    return Guarded([&](Registry& registry) { return registry.OpenKey(hKey, lpSubKey, phkResult); });
}

LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM,
                            LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    return Guarded([&](Registry& registry) {
        return registry.CreateKey(hKey, lpSubKey, phkResult, lpdwDisposition);
    });
}

LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) {
    return Guarded([&](Registry& registry) {
        return registry.QueryValue(hKey, lpValueName, lpType, lpData, lpcbData);
    });
}

LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                           DWORD cbData) {
    return Guarded([&](Registry& registry) {
        return registry.SetValue(hKey, lpValueName, dwType, lpData, cbData);
    });
}

LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    return Guarded([&](Registry& registry) { return registry.DeleteValue(hKey, lpValueName); });
}

LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    return Guarded([&](Registry& registry) { return registry.DeleteKey(hKey, lpSubKey); });
}

LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcName, LPDWORD,
                          LPWSTR lpClass, LPDWORD lpcClass, PFILETIME lpftLastWriteTime) {
    return Guarded([&](Registry& registry) {
        LONG result = registry.EnumKey(hKey, dwIndex, lpName, lpcName);
        if (result == ERROR_SUCCESS) {
            // Keys have no class and no recorded write time here.
            if (lpClass && lpcClass && *lpcClass > 0) {
                *lpClass = L'\0';
            }
            if (lpcClass) {
                *lpcClass = 0;
            }
            if (lpftLastWriteTime) {
                *lpftLastWriteTime = FILETIME{};
            }
        }
        return result;
    });
}

LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcValueName,
                          LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    return Guarded([&](Registry& registry) {
        return registry.EnumValue(hKey, dwIndex, lpValueName, lpcValueName, lpType, lpData,
                                  lpcbData);
    });
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    return Guarded([&](Registry& registry) { return registry.CloseKey(hKey); });
}

LONG WINAPI RegFlushKey(HKEY hKey) {
    return Guarded([&](Registry& registry) { return registry.FlushKey(hKey); });
}

}  // extern "C"
