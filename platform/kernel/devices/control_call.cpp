#include "kernel/devices/control_call.h"

#include <algorithm>
#include <span>

#include <winbase.h>

#include "host/device_log.h"
#include "kernel/handles.h"
#include "kernel/object.h"

namespace tovarin::kernel {
namespace {

// A driver is host code: whatever it throws becomes a failed call, never an exception in the
// device code that called it.
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

BOOL MakeControlCall(const std::wstring& device_name, Driver* driver, DWORD code, LPVOID in_buffer,
                     DWORD in_size, LPVOID out_buffer, DWORD out_size, LPDWORD bytes_returned) {
    std::span<const uint8_t> input;
    if (in_buffer) {
        input = {static_cast<const uint8_t*>(in_buffer), in_size};
    }
    std::span<uint8_t> output;
    if (out_buffer) {
        output = {static_cast<uint8_t*>(out_buffer), out_size};
    }
    Record(IoctlRecord{device_name, code, {input.begin(), input.end()}});

    uint32_t returned = 0;
    uint32_t error = ERROR_SUCCESS;
    bool ok = false;
    if (driver) {
        ok = CallDriver(*driver, code, input, output, &returned, &error);
    } else {
        error = ERROR_NOT_SUPPORTED;
    }
    if (bytes_returned) {
        *bytes_returned = std::min<uint32_t>(returned, static_cast<uint32_t>(output.size()));
    }
    if (!ok) {
        SetError(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace tovarin::kernel
