#include "hosts/service_host.h"

#include "host_trace.h"
#include "hosts/ready_thread.h"
#include "hosts/service_list.h"
#include "host/device_paths.h"
#include "host/text.h"

namespace tovarin::emulator {
namespace {

constexpr wchar_t kTracePart[] = L"services.exe";

typedef DWORD (*ServiceInitProc)(DWORD context);
typedef BOOL (*ServiceDeinitProc)(DWORD context);

std::wstring EntryName(const std::wstring& prefix, ServiceEntry entry) {
    return prefix + (entry == ServiceEntry::Init ? L"_Init" : L"_Deinit");
}

ServiceCallResult Refused(std::string reason) {
    return {false, std::move(reason), 0};
}

}  // namespace

bool ServiceHost::Start(std::string* error) {
    request_ready_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    request_done_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (request_ready_ == nullptr || request_done_ == nullptr) {
        *error = "cannot make the service host's events";
        return false;
    }
    return StartReadyThread(&ServiceHost::ThreadMain, this, "the service host", error);
}

DWORD WINAPI ServiceHost::ThreadMain(LPVOID start) {
    auto* record = static_cast<ReadyThreadStart*>(start);
    auto* host = static_cast<ServiceHost*>(record->context);
    ReadySignal ready = record->ready;
    host->LoadListedServices();
    ready.Ready();
    host->Serve();
    return 0;
}

void ServiceHost::LoadListedServices() {
    for (const ServiceListing& listing : ListedServices()) {
        if (listing.library.empty() || listing.prefix.empty()) {
            HostTrace(kTracePart, listing.key + L": no library or prefix listed; not started");
            continue;
        }
        HMODULE module = LoadLibraryW(listing.library.c_str());
        if (module == nullptr) {
            HostTrace(kTracePart, listing.library + L" is not loaded (error " +
                                      std::to_wstring(GetLastError()) + L"); not started");
            continue;
        }
        std::wstring entry = EntryName(listing.prefix, ServiceEntry::Init);
        auto init = reinterpret_cast<ServiceInitProc>(GetProcAddressW(module, entry.c_str()));
        if (init == nullptr) {
            HostTrace(kTracePart, listing.library + L" has no " + entry + L"; not started");
            FreeLibrary(module);
            continue;
        }
        DWORD context = init(0);
        HostTrace(kTracePart, listing.library + (context != 0 ? L" started: " : L" not started: ") +
                                  entry + L" returned " + std::to_wstring(context));
        // A service whose Init failed stays loaded, stopped, so that it may be initialised again.
        services_.push_back({listing.library, listing.prefix, module, context, context != 0});
    }
}

void ServiceHost::Serve() {
    for (;;) {
        // The device's shutdown ends the thread in this wait.
        if (WaitForSingleObject(request_ready_, INFINITE) != WAIT_OBJECT_0) {
            return;
        }
        request_.result = Carry(request_.entry, request_.library);
        SetEvent(request_done_);
    }
}

ServiceCallResult ServiceHost::Call(ServiceEntry entry, const std::wstring& library) {
    std::lock_guard<std::mutex> lock(call_lock_);
    if (stuck_) {
        return Refused("the service host is still inside an earlier call");
    }
    request_.entry = entry;
    request_.library = library;
    SetEvent(request_ready_);
    ServiceCallResult result;
    if (WaitForSingleObject(request_done_, INFINITE) == WAIT_OBJECT_0) {
        result = std::move(request_.result);
    } else {
        // The device found every thread blocked (a service's entry point waits for something
        // that never comes). The host's thread still owns the request; leave it alone.
        stuck_ = true;
        result = Refused("the service host did not return from the call (error " +
                         std::to_string(GetLastError()) + ")");
    }
    return result;
}

ServiceCallResult ServiceHost::Carry(ServiceEntry entry, const std::wstring& library) {
    const std::string name = kernel::WideToUtf8(library);
    HostedService* service = nullptr;
    for (HostedService& each : services_) {
        if (kernel::DeviceNamesEqual(each.library, library)) {
            service = &each;
            break;
        }
    }
    if (service == nullptr) {
        return Refused(name + " is not a service that the host has loaded");
    }
    if (entry == ServiceEntry::Deinit && !service->running) {
        return Refused(name + " is stopped: its Deinit was called, or its Init failed");
    }
    if (entry == ServiceEntry::Init && service->running) {
        return Refused(name + " is running: its Init was called and succeeded");
    }
    const std::wstring entry_name = EntryName(service->prefix, entry);
    FARPROC address = GetProcAddressW(service->module, entry_name.c_str());
    if (address == nullptr) {
        return Refused(name + " has no " + kernel::WideToUtf8(entry_name));
    }
    DWORD result = 0;
    if (entry == ServiceEntry::Init) {
        result = reinterpret_cast<ServiceInitProc>(address)(0);
        service->context = result;
        service->running = result != 0;
    } else {
        result = static_cast<DWORD>(reinterpret_cast<ServiceDeinitProc>(address)(service->context));
        service->running = false;
    }
    HostTrace(kTracePart,
              service->library + L": " + entry_name + L" returned " + std::to_wstring(result));
    return {true, {}, result};
}

}  // namespace tovarin::emulator
