// "KBM0:", the keyboard driver. During a call the call-recording service switches it into call
// mode, in which the phone's record key is offered to the call; it switches it back when the call
// is over. The two codes carry no buffers.
#pragma once

#include <atomic>

#include "host/drivers.h"

namespace tovarin::emulator {

class KeyboardDriver final : public kernel::Driver {
  public:
    // kIoctlKeyboardCallModeOn / Off with no input and no output: switches the call mode and
    // traces it. A code with buffers fails with ERROR_INVALID_PARAMETER, any other code with
    // ERROR_NOT_SUPPORTED; neither changes the mode.
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override;

    bool call_mode() const { return call_mode_.load(); }

  private:
    std::atomic<bool> call_mode_{false};
};

}  // namespace tovarin::emulator
