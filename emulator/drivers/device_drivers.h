// The device's drivers as the emulator registers them at boot.
#pragma once

namespace tovarin::emulator {

// "WAV1:", the wave driver: accepts every control call; the device log records each one (the
// answering service sends it a wave message before it answers).
void RegisterDeviceDrivers();

}  // namespace tovarin::emulator
