#include "drivers/keypad_lock_control.h"

#include <windows.h>

#include "common/names.h"
#include "drivers/control_words.h"
#include "host_trace.h"

namespace tovarin::emulator {
namespace {

constexpr uint32_t kKeypadLocked = 0;
constexpr uint32_t kKeypadUnlocked = 1;

}  // namespace

bool KeypadLockControl::IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t>,
                                  uint32_t*, uint32_t* error) {
    if (code != kHalIoctlKeypadLock) {
        *error = ERROR_NOT_SUPPORTED;
        return false;
    }
    std::optional<uint32_t> flag = WordAt(input, 0);
    if (!flag || (*flag != kKeypadLocked && *flag != kKeypadUnlocked)) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    const bool lock = *flag == kKeypadLocked;
    locked_.store(lock);
    HostTrace(L"HAL", lock ? L"keypad locked" : L"keypad unlocked");
    return true;
}

}  // namespace tovarin::emulator
