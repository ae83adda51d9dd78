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

// A key watch's sink: its event is set at every change it is about; the writer's last-error
// value is kept.
class EventSink final : public tovarin::kernel::registry::NotificationSink {
  public:
    explicit EventSink(HANDLE event) : event_(event) {}
    bool Wants(const tovarin::kernel::registry::RegValue*,
               const tovarin::kernel::registry::RegValue*) const override {
        return true;
    }
    void Deliver(uint32_t, uint8_t*, uint32_t) override {
        const DWORD caller_error = GetLastError();
        SetEvent(event_);
        SetLastError(caller_error);
    }

  private:
    const HANDLE event_;
};

uintptr_t IdOf(HANDLE notify) {
    return reinterpret_cast<uintptr_t>(notify);
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

HANDLE WINAPI CeFindFirstRegChange(HKEY hKey, BOOL bWatchSubtree, DWORD dwNotifyFilter) {
    constexpr DWORD kKnown = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                             REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;
    const bool names = dwNotifyFilter & REG_NOTIFY_CHANGE_NAME;
    const bool values = dwNotifyFilter & REG_NOTIFY_CHANGE_LAST_SET;
    // The registry keeps no attributes or security to change: such a filter alone waits for ever,
    // as on the phone.
    if (dwNotifyFilter == 0 || (dwNotifyFilter & ~kKnown) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event) {
        return INVALID_HANDLE_VALUE;
    }
    const LONG error = Guarded([&](Registry& registry) {
        return registry.AddKeyWatch(hKey, bWatchSubtree != FALSE, values, names,
                                    std::make_shared<EventSink>(event), IdOf(event));
    });
    if (error != ERROR_SUCCESS) {
        CloseHandle(event);
        SetLastError(static_cast<DWORD>(error));
        return INVALID_HANDLE_VALUE;
    }
    return event;
}

BOOL WINAPI CeFindNextRegChange(HANDLE hNotify) {
    if (!Device::Current().registry().HasKeyWatch(IdOf(hNotify))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return ResetEvent(hNotify);
}

BOOL WINAPI CeFindCloseRegChange(HANDLE hNotify) {
    if (!Device::Current().registry().CloseKeyWatch(IdOf(hNotify))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(hNotify);
}

}  // extern "C"
