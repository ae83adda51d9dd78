// One control call of device code on a driver, as DeviceIoControl and KernelIoControl make it:
// recorded in the device log before the driver sees it, so that a script can assert what was sent
// even when the driver fails.
#pragma once

#include <string>

#include <windef.h>

#include "host/drivers.h"

namespace tovarin::kernel {

// Records the call under device_name, then hands it to the driver. With no driver the call fails
// with ERROR_NOT_SUPPORTED (it is recorded all the same). The result follows the Win32 contract:
// TRUE, or FALSE with the last error set; *bytes_returned (when given) is what the driver wrote,
// cut to the output buffer.
BOOL MakeControlCall(const std::wstring& device_name, Driver* driver, DWORD code, LPVOID in_buffer,
                     DWORD in_size, LPVOID out_buffer, DWORD out_size, LPDWORD bytes_returned);

}  // namespace tovarin::kernel
