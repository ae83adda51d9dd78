#include "drivers/backlight_driver.h"

#include <string>

#include "drivers/control_words.h"
#include "host_trace.h"

namespace tovarin::emulator {
namespace {

std::wstring Describe(CEDEVICE_POWER_STATE state) {
    const std::wstring name = L" (D" + std::to_wstring(static_cast<int>(state)) + L")";
    switch (state) {
        case D0:
            return L"backlight on" + name;
        case D1:
        case D2:
            return L"backlight dimmed" + name;
        default:
            return L"backlight off" + name;
    }
}

}  // namespace

bool BacklightDriver::IoControl(uint32_t code, std::span<const uint8_t>, std::span<uint8_t> output,
                                uint32_t* bytes_returned, uint32_t* error) {
    if (code != IOCTL_POWER_SET) {
        *error = ERROR_NOT_SUPPORTED;
        return false;
    }
    std::optional<uint32_t> asked = WordAt(output, 0);
    if (!asked || *asked > static_cast<uint32_t>(D4)) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    const auto state = static_cast<CEDEVICE_POWER_STATE>(*asked);
    state_.store(state);
    PutFirstWord(output, static_cast<uint32_t>(state));
    *bytes_returned = sizeof(uint32_t);
    HostTrace(L"BKL1", Describe(state));
    return true;
}

}  // namespace tovarin::emulator
