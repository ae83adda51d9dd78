// What the kernel asks of the platform's other subsystems. Each function is defined by its
// subsystem; the kernel includes none of their headers, so no include runs from the kernel up.
#pragma once

namespace tovarin::gwes {

// Device boot: adds the window manager's functions to coredll.dll's exports.
void RegisterCoredllExports();

// A device thread is ending, on that thread, after its modules have seen DLL_THREAD_DETACH and
// before its handle is signalled: its windows, hot keys and message queue go.
void DeviceThreadEnding();

}  // namespace tovarin::gwes

// Device boot: each subsystem registers its own built-in modules after the kernel's coredll.dll.

namespace tovarin::shell {

// aygshell.dll: SHInitExtraControls (also ordinal 9), SHSipPreference, SHGetSpecialFolderPath.
void RegisterShellModule();

}  // namespace tovarin::shell

namespace tovarin::oem {

// The device's own libraries in \Windows. Note_prj.dll: FindFirstFlashCard (ordinal 7) and
// FindNextFlashCard (ordinal 8).
void RegisterOemModules();

}  // namespace tovarin::oem

namespace tovarin::pim {

// pimstore.dll: ChooseContact (also ordinal 12).
void RegisterPimModule();

}  // namespace tovarin::pim
