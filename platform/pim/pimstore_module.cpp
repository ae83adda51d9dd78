// pimstore.dll as a built-in module of the device: programs reach the contact chooser through
// LoadLibraryW and GetProcAddressW, by its ordinal 12.
#include <windows.h>
#include <pimstore.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::pim {
namespace {

void RegisterPimModule() {
    kernel::modules::RegisterBuiltinModule(
        L"pimstore.dll", {{"ChooseContact", 12, kernel::modules::AsFarproc(&ChooseContact)}});
}

}  // namespace
}  // namespace tovarin::pim

TOVARIN_SUBSYSTEM(pim, 4, &tovarin::pim::RegisterPimModule)
