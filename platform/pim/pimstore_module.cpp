// pimstore.dll as a built-in module of the device: programs reach the contact chooser through
// LoadLibraryW and GetProcAddressW, by its ordinal 12.
#include <windows.h>
#include <pimstore.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::pim {

void RegisterPimModule() {
    kernel::modules::RegisterBuiltinModule(
        L"pimstore.dll",
        {{"ChooseContact", 12,
          reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&ChooseContact))}});
}

}  // namespace tovarin::pim
