// The device's own libraries that the platform provides as built-in modules of \Windows,
// registered at device boot with the kernel's.
#pragma once

namespace tovarin::oem {

// Note_prj.dll: FindFirstFlashCard (ordinal 7) and FindNextFlashCard (ordinal 8).
void RegisterOemModules();

}  // namespace tovarin::oem
