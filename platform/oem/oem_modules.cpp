// The device's own libraries that the platform provides as built-in modules of \Windows.
#include <windows.h>
#include <projects.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::oem {
namespace {

using kernel::modules::AsFarproc;

void RegisterOemModules() {
    kernel::modules::RegisterBuiltinModule(
        L"Note_prj.dll", {
                             {"FindFirstFlashCard", 7, AsFarproc(&FindFirstFlashCard)},
                             {"FindNextFlashCard", 8, AsFarproc(&FindNextFlashCard)},
                         });
}

}  // namespace
}  // namespace tovarin::oem

TOVARIN_SUBSYSTEM(oem, 3, &tovarin::oem::RegisterOemModules)
