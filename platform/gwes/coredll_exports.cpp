// The window manager's functions that the device's coredll.dll exports by name (the others are
// reached through the import libraries' own names).
#include "gwes/input/keyboard.h"
#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::gwes {

void RegisterCoredllExports() {
    // Through the generic function pointer type, which converts to any other without warning.
    kernel::modules::AddBuiltinExports(
        L"coredll.dll",
        {{"UnregisterFunc1", 0,
          reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&UnregisterFunc1))}});
}

}  // namespace tovarin::gwes
