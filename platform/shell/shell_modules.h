// The shell's built-in module, registered at device boot with the kernel's.
#pragma once

namespace tovarin::shell {

// aygshell.dll: SHInitExtraControls (also ordinal 9), SHSipPreference, SHGetSpecialFolderPath.
void RegisterShellModule();

}  // namespace tovarin::shell
