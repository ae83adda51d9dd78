// The module loader, host side: what the kernel, the emulator and tests call besides the API
// (LoadLibraryW, GetProcAddressW, ... in winbase.h).
//
// A module is either a file of the device image (a shared object named like a device DLL,
// loaded with the host's dynamic loader) or a built-in module, whose exports the platform
// itself provides (the device's coredll.dll). Module handles are 0x30000000 and up, in steps of
// 0x10000, so that they never meet kernel, registry or notification handles.
//
// A module file may define the symbols described in module_symbols.h (ordinals, resources)
// and a DllMain with C linkage:
//     extern "C" BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID lpvReserved);
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <windef.h>

#include "host/modules.h"

namespace tovarin::kernel::modules {

// A function as a built-in module's export: through the generic function pointer type, which
// converts to any other without warning.
template <typename Function>
FARPROC AsFarproc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// Device boot (Device constructor): registers the platform's built-in modules, the kernel's
// coredll.dll and then each subsystem's own, through the hooks the subsystems handed the kernel
// (kernel/subsystems.h). Calling it again is harmless.
void RegisterPlatformBuiltins();

// Device shutdown, after every device thread has ended: runs DllMain(DLL_PROCESS_DETACH) of
// every loaded module in reverse load order (lpvReserved non-NULL, as at process end), unloads
// them and forgets every handle, so that the next device starts with no loaded modules.
void UnloadAll();

// Called on every new device thread before its start routine, and after it: DllMain with
// DLL_THREAD_ATTACH / DLL_THREAD_DETACH of every loaded module (in load order) that has not
// called DisableThreadLibraryCalls.
void OnThreadAttach();
void OnThreadDetach();

// Adds exports to the registered built-in module `name` (an export of the same name is replaced):
// the subsystems of the platform each add their own functions to coredll.dll.
void AddBuiltinExports(std::wstring_view name, std::vector<BuiltinExport> exports);

// The compiled resources of a loaded module (see module_symbols.h); empty when the module has
// none or the handle is not a module's. The bytes stay valid until the module is unloaded.
std::span<const std::byte> ResourcesOf(HMODULE module);

}  // namespace tovarin::kernel::modules
