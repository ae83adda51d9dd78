#include "drivers/keyboard_driver.h"

#include <windows.h>

#include "common/names.h"
#include "host_trace.h"

namespace tovarin::emulator {

bool KeyboardDriver::IoControl(uint32_t code, std::span<const uint8_t> input,
                               std::span<uint8_t> output, uint32_t*, uint32_t* error) {
    if (code != kIoctlKeyboardCallModeOn && code != kIoctlKeyboardCallModeOff) {
        *error = ERROR_NOT_SUPPORTED;
        return false;
    }
    if (!input.empty() || !output.empty()) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    const bool on = code == kIoctlKeyboardCallModeOn;
    call_mode_.store(on);
    HostTrace(L"KBM0", on ? L"call mode on" : L"call mode off");
    return true;
}

}  // namespace tovarin::emulator
