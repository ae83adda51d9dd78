#include "kernel/devices/driver_table.h"

#include <map>
#include <mutex>

#include <winbase.h>

#include "kernel/device_local.h"
#include "kernel/handles.h"

namespace tovarin::kernel {
namespace {

struct DriverTable {
    std::mutex mutex;
    std::map<std::wstring, std::shared_ptr<DriverRegistration>> by_name;
    std::shared_ptr<Driver> kernel_io_control_handler;
};

std::shared_ptr<DriverTable> Drivers() {
    static DeviceLocal<DriverTable>* drivers = new DeviceLocal<DriverTable>;
    return drivers->Get();
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c;
}

// The key under which a name is registered: device names in upper case, any other name as
// given (it can be registered, but no CreateFileW reaches it).
std::wstring TableKey(std::wstring name) {
    std::optional<std::wstring> device_name = DeviceNameOf(name);
    return device_name ? *device_name : name;
}

void Deactivate(std::shared_ptr<DriverRegistration>& registration) {
    if (registration) {
        registration->active.store(false);
    }
}

}  // namespace

Driver::~Driver() = default;

bool RecordingDriver::IoControl(uint32_t, std::span<const uint8_t>, std::span<uint8_t>,
                                uint32_t* bytes_returned, uint32_t*) {
    *bytes_returned = 0;
    return true;
}

std::optional<std::wstring> DeviceNameOf(std::wstring_view file_name) {
    if (file_name.size() != 5 || file_name[4] != L':' || file_name[3] < L'0' ||
        file_name[3] > L'9') {
        return std::nullopt;
    }
    std::wstring name(file_name);
    for (size_t i = 0; i < 3; ++i) {
        if (!IsAsciiLetter(name[i])) {
            return std::nullopt;
        }
        name[i] = AsciiUpper(name[i]);
    }
    return name;
}

void RegisterDriver(std::wstring name, std::shared_ptr<Driver> driver) {
    auto registration = std::make_shared<DriverRegistration>();
    registration->device_name = TableKey(std::move(name));
    registration->driver = std::move(driver);
    std::shared_ptr<DriverTable> table = Drivers();
    std::lock_guard guard(table->mutex);
    std::shared_ptr<DriverRegistration>& slot = table->by_name[registration->device_name];
    Deactivate(slot);
    slot = std::move(registration);
}

void UnregisterDriver(const std::wstring& name) {
    std::shared_ptr<DriverTable> table = Drivers();
    std::lock_guard guard(table->mutex);
    auto found = table->by_name.find(TableKey(name));
    if (found != table->by_name.end()) {
        Deactivate(found->second);
        table->by_name.erase(found);
    }
}

void SetKernelIoControlHandler(std::shared_ptr<Driver> handler) {
    std::shared_ptr<DriverTable> table = Drivers();
    std::lock_guard guard(table->mutex);
    table->kernel_io_control_handler = std::move(handler);
}

std::shared_ptr<Driver> KernelIoControlHandler() {
    std::shared_ptr<DriverTable> table = Drivers();
    std::lock_guard guard(table->mutex);
    return table->kernel_io_control_handler;
}

std::shared_ptr<DriverRegistration> FindDriver(const std::wstring& device_name) {
    std::shared_ptr<DriverTable> table = Drivers();
    std::lock_guard guard(table->mutex);
    auto found = table->by_name.find(device_name);
    return found != table->by_name.end() ? found->second : nullptr;
}

HANDLE OpenDriver(const std::wstring& device_name, DWORD access) {
    std::shared_ptr<DriverRegistration> registration = FindDriver(device_name);
    if (!registration || !registration->driver) {
        SetError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = Handles().Insert(std::make_shared<DriverHandle>(registration, access));
    if (!handle) {
        SetError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    SetError(ERROR_SUCCESS);
    return handle;
}

}  // namespace tovarin::kernel
