// The registrations of built-in modules: modules without a file, whose exports the platform
// provides. They are process-wide; a device makes a module record of one when it is first named.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/modules/modules.h"

namespace tovarin::kernel::modules {

struct BuiltinModule {
    std::wstring name;  // file name ("coredll.dll")
    std::vector<BuiltinExport> exports;

    FARPROC FindByName(std::string_view export_name) const;
    FARPROC FindByOrdinal(uint16_t ordinal) const;
};

// The registration with this file name (case-insensitive), or nullptr.
std::shared_ptr<const BuiltinModule> FindBuiltinModule(std::wstring_view file_name);

}  // namespace tovarin::kernel::modules
