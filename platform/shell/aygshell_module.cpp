// aygshell.dll as a built-in module of the device, for programs that reach the shell through
// LoadLibraryW and GetProcAddressW (the start-up entry is called by its ordinal, 9).
#include <windows.h>
#include <aygshell.h>
#include <shlobj.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::shell {
namespace {

using kernel::modules::AsFarproc;

void RegisterShellModule() {
    kernel::modules::RegisterBuiltinModule(
        L"aygshell.dll", {
                             {"SHInitExtraControls", 9, AsFarproc(&SHInitExtraControls)},
                             {"SHSipPreference", 0, AsFarproc(&SHSipPreference)},
                             {"SHGetSpecialFolderPath", 0, AsFarproc(&SHGetSpecialFolderPath)},
                         });
}

}  // namespace
}  // namespace tovarin::shell

TOVARIN_SUBSYSTEM(shell, 2, &tovarin::shell::RegisterShellModule)
