// "RUT1:", the ring-tone router: sends the ring tone to the headset or to the speaker. Control
// kIoctlRingToneRoute takes two words, kRingToneRouteCommand and the route.
#pragma once

#include <atomic>
#include <cstdint>

#include "host/drivers.h"

namespace tovarin::emulator {

class RingToneRouter final : public kernel::Driver {
  public:
    // The route of a fresh device, before anyone chose one.
    static constexpr uint32_t kNoRoute = 0;

    // kIoctlRingToneRoute with an input of at least 8 bytes {kRingToneRouteCommand,
    // kRingToneRouteHeadset or kRingToneRouteSpeaker}: takes the route and traces it. A shorter
    // input or other words fail with ERROR_INVALID_PARAMETER, another code with
    // ERROR_NOT_SUPPORTED; a failed call keeps the route.
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override;

    uint32_t route() const { return route_.load(); }

  private:
    std::atomic<uint32_t> route_{kNoRoute};
};

}  // namespace tovarin::emulator
