// DeviceIoControl: the control calls of device code on driver handles, recorded in the device log
// before the driver sees them, so that a script can assert what was sent even when the driver
// fails.
#include <algorithm>
#include <span>

#include <winbase.h>

#include "kernel/device_log.h"
#include "kernel/devices/driver_table.h"
#include "kernel/files/file_object.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

// A file handle is a handle to a file system object: it understands none of the drivers' codes.
DWORD ErrorForNonDriver(const std::shared_ptr<KernelObject>& object) {
    return std::dynamic_pointer_cast<FileObject>(object) ? ERROR_NOT_SUPPORTED
                                                         : ERROR_INVALID_HANDLE;
}

bool CallDriver(Driver& driver, DWORD code, std::span<const uint8_t> input,
                std::span<uint8_t> output, uint32_t* bytes_returned, uint32_t* error) {
    try {
        return driver.IoControl(code, input, output, bytes_returned, error);
    } catch (const ThreadExit&) {
        throw;  // the device thread ends; that passes through any driver
    } catch (...) {
        *error = ERROR_GEN_FAILURE;
        return false;
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DeviceIoControl(HANDLE hDevice, DWORD dwIoControlCode, LPVOID lpInBuffer,
                            DWORD nInBufferSize, LPVOID lpOutBuffer, DWORD nOutBufferSize,
                            LPDWORD lpBytesReturned, LPOVERLAPPED lpOverlapped) {
    (void)lpOverlapped;  // the device has no overlapped I/O; calls complete before they return
    std::shared_ptr<KernelObject> object = Handles().Lookup(hDevice);
    auto device = std::dynamic_pointer_cast<DriverHandle>(object);
    if (!device) {
        SetError(ErrorForNonDriver(object));
        return FALSE;
    }
    const std::shared_ptr<DriverRegistration>& registration = device->registration();
    if (!registration->active.load()) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::span<const uint8_t> input;
    if (lpInBuffer) {
        input = {static_cast<const uint8_t*>(lpInBuffer), nInBufferSize};
    }
    std::span<uint8_t> output;
    if (lpOutBuffer) {
        output = {static_cast<uint8_t*>(lpOutBuffer), nOutBufferSize};
    }
    Record(IoctlRecord{registration->device_name, dwIoControlCode, {input.begin(), input.end()}});

    uint32_t bytes_returned = 0;
    uint32_t error = ERROR_SUCCESS;
    bool ok =
        CallDriver(*registration->driver, dwIoControlCode, input, output, &bytes_returned, &error);
    if (lpBytesReturned) {
        *lpBytesReturned = std::min<uint32_t>(bytes_returned, static_cast<uint32_t>(output.size()));
    }
    if (!ok) {
        SetError(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
