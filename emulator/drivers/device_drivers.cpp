#include "drivers/device_drivers.h"

#include "common/names.h"
#include "host/drivers.h"

namespace tovarin::emulator {

DeviceDrivers RegisterDeviceDrivers() {
    DeviceDrivers drivers{std::make_shared<KeyboardDriver>(), std::make_shared<RingToneRouter>(),
                          std::make_shared<BacklightDriver>(),
                          std::make_shared<KeypadLockControl>()};
    kernel::RegisterDriver(kDeviceWave, std::make_shared<kernel::RecordingDriver>());
    kernel::RegisterDriver(kDeviceKeyboard, drivers.keyboard);
    kernel::RegisterDriver(kDeviceRingToneRouter, drivers.ring_tone);
    kernel::RegisterDriver(kDeviceBacklight, drivers.backlight);
    kernel::SetKernelIoControlHandler(drivers.keypad_lock);
    return drivers;
}

}  // namespace tovarin::emulator
