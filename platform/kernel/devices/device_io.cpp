// DeviceIoControl: the control calls of device code on driver handles.
#include <winbase.h>

#include "kernel/devices/control_call.h"
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
    return MakeControlCall(registration->device_name, registration->driver.get(), dwIoControlCode,
                           lpInBuffer, nInBufferSize, lpOutBuffer, nOutBufferSize, lpBytesReturned);
}

}  // extern "C"
