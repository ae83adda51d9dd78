// The device's registered drivers and the handles opened on them.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <windef.h>

#include "host/drivers.h"
#include "kernel/object.h"

namespace tovarin::kernel {

// One registration of a driver under a device name. It goes inactive when the name is
// unregistered or registered again, so that handles opened on it no longer reach the driver.
struct DriverRegistration {
    std::wstring device_name;  // "WAV1:", upper case
    std::shared_ptr<Driver> driver;
    std::atomic<bool> active{true};
};

// What CreateFileW returns for a device name.
class DriverHandle final : public KernelObject {
  public:
    DriverHandle(std::shared_ptr<DriverRegistration> registration, DWORD access)
        : registration_(std::move(registration)), access_(access) {}
    const char* TypeName() const override { return "device"; }

    const std::shared_ptr<DriverRegistration>& registration() const { return registration_; }
    DWORD access() const { return access_; }

  private:
    std::shared_ptr<DriverRegistration> registration_;
    DWORD access_;
};

// The device name that a file name stands for: three letters, a digit and a colon ("WAV1:"),
// returned in upper case; nullopt for anything else.
std::optional<std::wstring> DeviceNameOf(std::wstring_view file_name);

// The active registration of a device name (as DeviceNameOf returns it), or nullptr.
std::shared_ptr<DriverRegistration> FindDriver(const std::wstring& device_name);

// The handler that SetKernelIoControlHandler set, or nullptr.
std::shared_ptr<Driver> KernelIoControlHandler();

// CreateFileW on a device name: a handle on its driver, or INVALID_HANDLE_VALUE with the last
// error set (ERROR_FILE_NOT_FOUND when no driver is registered under the name).
HANDLE OpenDriver(const std::wstring& device_name, DWORD access);

}  // namespace tovarin::kernel
