#include "hosts/service_list.h"

#include <windows.h>

#include "hosts/service_registry.h"

namespace tovarin::emulator {
namespace {

std::wstring ReadString(HKEY key, const wchar_t* name) {
    WCHAR text[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof text - sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return text;
}

}  // namespace

std::vector<ServiceListing> ListedServices() {
    std::vector<ServiceListing> services;
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyServices, 0, KEY_READ, &list) != ERROR_SUCCESS) {
        return services;
    }
    for (DWORD index = 0;; ++index) {
        WCHAR name[MAX_PATH];
        DWORD length = MAX_PATH;
        if (RegEnumKeyExW(list, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        HKEY service = nullptr;
        if (RegOpenKeyExW(list, name, 0, KEY_READ, &service) != ERROR_SUCCESS) {
            continue;
        }
        services.push_back({name, ReadString(service, kValueServiceDll),
                            ReadString(service, kValueServicePrefix)});
        RegCloseKey(service);
    }
    RegCloseKey(list);
    return services;
}

}  // namespace tovarin::emulator
