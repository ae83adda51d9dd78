// The window manager's functions that the device's coredll.dll exports by name (the others are
// reached through the import libraries' own names).
#include "gwes/input/keyboard.h"
#include "gwes/subsystem.h"
#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::gwes {

void RegisterCoredllExports() {
    kernel::modules::AddBuiltinExports(
        L"coredll.dll", {{"UnregisterFunc1", 0, kernel::modules::AsFarproc(&UnregisterFunc1)}});
}

}  // namespace tovarin::gwes

// The window manager comes first: coredll's exports are complete before any other module exists.
TOVARIN_SUBSYSTEM(gwes, 1, &tovarin::gwes::RegisterCoredllExports,
                  &tovarin::gwes::DeviceThreadEnding)
