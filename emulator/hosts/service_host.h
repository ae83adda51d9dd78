// The device's service host: at boot it loads every service listed under HKLM\Services (see
// service_registry.h) with LoadLibraryW and calls its <Prefix>_Init(0), as the phone's service
// host process does. A listed library that the device does not hold (a deliverable not built
// yet) is skipped. Each outcome is written to the trace under "services.exe".
#pragma once

#include <string>

namespace tovarin::emulator {

// Device boot: runs the host on a device thread of its own and returns once every listed
// service has been loaded and its Init has returned. False, with a description, only when the
// host itself cannot run; a service that fails to load does not stop the boot.
bool StartServices(std::string* error);

}  // namespace tovarin::emulator
