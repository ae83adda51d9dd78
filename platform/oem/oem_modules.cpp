// The device's own libraries that the platform provides as built-in modules of \Windows.
#include <windows.h>
#include <projects.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::oem {
namespace {

template <typename Function>
FARPROC AsFarproc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

void RegisterOemModules() {
    kernel::modules::RegisterBuiltinModule(
        L"Note_prj.dll", {
                             {"FindFirstFlashCard", 7, AsFarproc(&FindFirstFlashCard)},
                             {"FindNextFlashCard", 8, AsFarproc(&FindNextFlashCard)},
                         });
}

}  // namespace tovarin::oem
