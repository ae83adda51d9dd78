// Built-in modules as host code registers them: a stand-in for a library of the phone's ROM whose
// exports the host provides, found by LoadLibraryW and GetModuleHandleW without any file.
#pragma once

#include <windef.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tovarin::kernel::modules {

struct BuiltinExport {
    std::string name;      // exported name, matched exactly as GetProcAddress matches names
    uint16_t ordinal = 0;  // 0: reachable by name only
    FARPROC proc = nullptr;
};

// Makes a module named `name` ("coredll.dll") with these exports available to LoadLibraryW and
// GetModuleHandleW without any file, as a module of the device's ROM: it is always loaded, has no
// DllMain and its path is \Windows\<name>. Registering a name again replaces its exports.
// Registrations outlive a device; the handles of built-in modules are per device.
void RegisterBuiltinModule(std::wstring name, std::vector<BuiltinExport> exports);

}  // namespace tovarin::kernel::modules
