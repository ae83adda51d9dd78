#include "drivers/device_drivers.h"

#include <memory>

#include "common/names.h"
#include "kernel/devices/driver.h"

namespace tovarin::emulator {

void RegisterDeviceDrivers() {
    kernel::RegisterDriver(kDeviceWave, std::make_shared<kernel::RecordingDriver>());
}

}  // namespace tovarin::emulator
