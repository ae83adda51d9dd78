// The hardware-abstraction layer's KernelIoControl handler. It knows one code,
// kHalIoctlKeypadLock, whose 4-byte input is 1 to unlock the keypad and 0 to lock it.
#pragma once

#include <atomic>

#include "host/drivers.h"

namespace tovarin::emulator {

class KeypadLockControl final : public kernel::Driver {
  public:
    // kHalIoctlKeypadLock with an input of at least 4 bytes holding 0 or 1: locks or unlocks the
    // keypad and traces it. A shorter input or another flag fails with ERROR_INVALID_PARAMETER,
    // another code with ERROR_NOT_SUPPORTED.
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override;

    // The phone boots with its keypad unlocked.
    bool locked() const { return locked_.load(); }

  private:
    std::atomic<bool> locked_{false};
};

}  // namespace tovarin::emulator
