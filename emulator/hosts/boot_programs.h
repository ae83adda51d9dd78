// The programs the image starts at boot, after the services, as the phone's shell starts its
// background programs: the background-effects mixer (Sallowby.exe). A program the image does
// not hold is reported in the trace and skipped.
#pragma once

namespace tovarin::emulator {

void StartBootPrograms();

}  // namespace tovarin::emulator
