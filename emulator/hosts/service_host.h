// The device's service host. At boot it loads every service listed under HKLM\Services (see
// service_list.h) with LoadLibraryW and calls its <Prefix>_Init(0), as the phone's service host
// process does; a listed library that the device does not hold (a deliverable not built yet) is
// skipped. It keeps each service it loaded, so that the console can have it call the service's
// Deinit, and its Init again, later. Every call runs on the host's own device thread, and its
// outcome is written to the trace under "services.exe".
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace tovarin::emulator {

enum class ServiceEntry { Init, Deinit };

struct ServiceCallResult {
    bool called = false;  // false: the call was refused, for the reason in `error`
    std::string error;
    DWORD result = 0;  // what the entry point returned
};

class ServiceHost {
  public:
    ServiceHost() = default;
    ServiceHost(const ServiceHost&) = delete;
    ServiceHost& operator=(const ServiceHost&) = delete;
    // The host's thread ends with the device, which must go before this object. Its handles
    // belong to the device and go with it.
    ~ServiceHost() = default;

    // Device boot: starts the host's thread and returns once every listed service has been
    // loaded and its Init has returned. False, with a description, only when the host itself
    // cannot run; a service that fails to load does not stop the boot.
    bool Start(std::string* error);

    // Has the host call Init or Deinit of a service it loaded (its library file name, in any
    // case) and waits for the result; refused when the host is stuck in an earlier call that
    // never returned. Deinit receives what the last Init returned. A service
    // whose Init returned 0, or whose Deinit was called, is stopped: Deinit is refused until
    // Init is called again, and Init is refused while the service runs.
    ServiceCallResult Call(ServiceEntry entry, const std::wstring& library);

  private:
    struct HostedService {
        std::wstring library;
        std::wstring prefix;
        HMODULE module = nullptr;
        DWORD context = 0;  // what Init returned
        bool running = false;
    };
    struct Request {
        ServiceEntry entry = ServiceEntry::Init;
        std::wstring library;
        ServiceCallResult result;
    };

    static DWORD WINAPI ThreadMain(LPVOID start);
    // On the host's thread:
    void LoadListedServices();
    void Serve();
    ServiceCallResult Carry(ServiceEntry entry, const std::wstring& library);

    std::vector<HostedService> services_;  // touched by the host's thread only
    std::mutex call_lock_;                 // one console call at a time (host threads only)
    HANDLE request_ready_ = nullptr;       // auto reset: request_ holds a call
    HANDLE request_done_ = nullptr;        // auto reset: request_ holds its result
    Request request_;
    bool stuck_ = false;  // a call never returned; guarded by call_lock_
};

}  // namespace tovarin::emulator
