// The loader's steps behind the API: finding a module by the device's rules, loading and
// unloading it and running its DllMain.
#pragma once

#include <string_view>

#include <windef.h>

namespace tovarin::kernel::modules {

// LoadLibraryW: a name with a folder is that device path (a relative one is taken from "\", as
// the device has no current folder); a bare name (".dll" added when it has no extension, a
// trailing dot meaning none) is a module already loaded under that name, a built-in module or
// the file in "\Windows". Sets the last error and returns nullptr on failure.
HMODULE Load(std::wstring_view name);

// GetModuleHandleW for a name, by the same rules, without loading or counting.
HMODULE FindLoaded(std::wstring_view name);

// The module of the program that runs on the device (GetModuleHandleW(NULL)). Until the kernel
// runs device processes, that is the host program, named \Windows\<its file name> unless it lies
// under the image root.
HMODULE ProgramModule();

// FreeLibrary: false (last error set) when the handle is not a loaded module's.
bool Free(HMODULE module);

// Whether the calling thread runs a module's own loading or unloading: its static objects'
// constructors and destructors, its DllMain(DLL_PROCESS_ATTACH or DLL_PROCESS_DETACH). What it
// makes there belongs to the module.
bool InModuleEntry();

// DllMain(DLL_THREAD_ATTACH or DLL_THREAD_DETACH) of the modules that take thread calls.
void NotifyThread(DWORD reason);

}  // namespace tovarin::kernel::modules
