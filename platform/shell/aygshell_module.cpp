// aygshell.dll as a built-in module of the device, for programs that reach the shell through
// LoadLibraryW and GetProcAddressW (the start-up entry is called by its ordinal, 9).
#include <windows.h>
#include <aygshell.h>
#include <shlobj.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

namespace tovarin::shell {
namespace {

template <typename Function>
FARPROC AsFarproc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

void RegisterShellModule() {
    kernel::modules::RegisterBuiltinModule(
        L"aygshell.dll", {
                             {"SHInitExtraControls", 9, AsFarproc(&SHInitExtraControls)},
                             {"SHSipPreference", 0, AsFarproc(&SHSipPreference)},
                             {"SHGetSpecialFolderPath", 0, AsFarproc(&SHGetSpecialFolderPath)},
                         });
}

}  // namespace tovarin::shell
