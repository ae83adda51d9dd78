// The device's drivers as the emulator registers them at boot. The device log records every
// control call on them (device name, code, input words) before the driver sees it; the drivers
// trace what they do under their device name ("BKL1: backlight on (D0)").
#pragma once

#include <memory>

#include "drivers/backlight_driver.h"
#include "drivers/keyboard_driver.h"
#include "drivers/keypad_lock_control.h"
#include "drivers/ring_tone_router.h"

namespace tovarin::emulator {

// What the drivers hold, for the emulator's own checks; the device reaches them by name.
struct DeviceDrivers {
    std::shared_ptr<KeyboardDriver> keyboard;        // "KBM0:"
    std::shared_ptr<RingToneRouter> ring_tone;       // "RUT1:"
    std::shared_ptr<BacklightDriver> backlight;      // "BKL1:"
    std::shared_ptr<KeypadLockControl> keypad_lock;  // KernelIoControl ("HAL" in the log)
};

// Registers on the device that is up: "WAV1:", the wave driver, which accepts every control call
// (the answering service sends it a wave message before it answers), the drivers above, and the
// KernelIoControl handler.
DeviceDrivers RegisterDeviceDrivers();

}  // namespace tovarin::emulator
