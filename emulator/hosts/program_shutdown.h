// Programs at the emulator's shutdown: before the device goes, each running program is asked to
// close as a user would close it, so that a recorder completes its file and a player lets go of
// its sound; what does not end in time ends with the device.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovarin::emulator {

// From the console's (attached) thread: posts WM_CLOSE to every top-level window of a running
// program and lets up to `wait_ms` of device time pass for the programs to end. The number of
// programs still running then.
size_t CloseRunningPrograms(uint32_t wait_ms);

}  // namespace tovarin::emulator
