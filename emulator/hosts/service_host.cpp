#include "hosts/service_host.h"

#include <windows.h>

#include <vector>

#include "host_trace.h"
#include "hosts/ready_thread.h"
#include "hosts/service_registry.h"

namespace tovarin::emulator {
namespace {

constexpr wchar_t kTracePart[] = L"services.exe";

struct ServiceListing {
    std::wstring key;
    std::wstring library;
    std::wstring prefix;
};

typedef DWORD (*ServiceInitProc)(DWORD context);

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

void StartService(const ServiceListing& service) {
    if (service.library.empty() || service.prefix.empty()) {
        HostTrace(kTracePart, service.key + L": no library or prefix listed; not started");
        return;
    }
    HMODULE module = LoadLibraryW(service.library.c_str());
    if (module == nullptr) {
        HostTrace(kTracePart, service.library + L" is not loaded (error " +
                                  std::to_wstring(GetLastError()) + L"); not started");
        return;
    }
    std::wstring entry = service.prefix + L"_Init";
    auto init = reinterpret_cast<ServiceInitProc>(GetProcAddressW(module, entry.c_str()));
    if (init == nullptr) {
        HostTrace(kTracePart, service.library + L" has no " + entry + L"; not started");
        FreeLibrary(module);
        return;
    }
    DWORD result = init(0);
    HostTrace(kTracePart,
              service.library + L" started: " + entry + L" returned " + std::to_wstring(result));
}

DWORD WINAPI ServiceHostThread(LPVOID start) {
    ReadySignal ready = static_cast<ReadyThreadStart*>(start)->ready;
    for (const ServiceListing& service : ListedServices()) {
        StartService(service);
    }
    ready.Ready();
    return 0;
}

}  // namespace

bool StartServices(std::string* error) {
    return StartReadyThread(&ServiceHostThread, nullptr, "the service host", error);
}

}  // namespace tovarin::emulator
