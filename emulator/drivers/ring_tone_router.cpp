#include "drivers/ring_tone_router.h"

#include <windows.h>

#include "common/names.h"
#include "drivers/control_words.h"
#include "host_trace.h"

namespace tovarin::emulator {

bool RingToneRouter::IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t>,
                               uint32_t*, uint32_t* error) {
    if (code != kIoctlRingToneRoute) {
        *error = ERROR_NOT_SUPPORTED;
        return false;
    }
    std::optional<uint32_t> command = WordAt(input, 0);
    std::optional<uint32_t> route = WordAt(input, 1);
    if (!command || !route || *command != kRingToneRouteCommand ||
        (*route != kRingToneRouteHeadset && *route != kRingToneRouteSpeaker)) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    route_.store(*route);
    HostTrace(L"RUT1", *route == kRingToneRouteHeadset ? L"ring tone through the headset"
                                                       : L"ring tone through the speaker");
    return true;
}

}  // namespace tovarin::emulator
