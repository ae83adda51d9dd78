// "BKL1:", the backlight: a device of the power manager that is set to a device power state
// (D0 full on ... D4 off) with IOCTL_POWER_SET. The caller passes the state it asks for in the
// output buffer and receives there the state that the device took.
#pragma once

#include <windows.h>
#include <pm.h>

#include <atomic>

#include "host/drivers.h"

namespace tovarin::emulator {

class BacklightDriver final : public kernel::Driver {
  public:
    // IOCTL_POWER_SET with an output of at least 4 bytes holding D0..D4: takes the state, writes
    // it back with 4 bytes returned and traces it. An output too small or a state outside D0..D4
    // fails with ERROR_INVALID_PARAMETER, another code with ERROR_NOT_SUPPORTED.
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override;

    // The phone boots with its backlight on.
    CEDEVICE_POWER_STATE state() const { return state_.load(); }

  private:
    std::atomic<CEDEVICE_POWER_STATE> state_{D0};
};

}  // namespace tovarin::emulator
