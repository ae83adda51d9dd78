#include "kernel/modules/builtin_modules.h"

#include <algorithm>
#include <mutex>

#include "host/device_paths.h"

namespace tovarin::kernel::modules {
namespace {

struct Registrations {
    std::mutex mutex;
    std::vector<std::shared_ptr<const BuiltinModule>> modules;
};

Registrations& TheRegistrations() {
    static Registrations registrations;
    return registrations;
}

}  // namespace

FARPROC BuiltinModule::FindByName(std::string_view export_name) const {
    auto found = std::ranges::find(exports, export_name, &BuiltinExport::name);
    return found != exports.end() ? found->proc : nullptr;
}

FARPROC BuiltinModule::FindByOrdinal(uint16_t ordinal) const {
    if (ordinal == 0) {
        return nullptr;
    }
    auto found = std::ranges::find(exports, ordinal, &BuiltinExport::ordinal);
    return found != exports.end() ? found->proc : nullptr;
}

void RegisterBuiltinModule(std::wstring name, std::vector<BuiltinExport> exports) {
    std::erase_if(exports, [](const BuiltinExport& entry) { return entry.proc == nullptr; });
    auto module =
        std::make_shared<const BuiltinModule>(BuiltinModule{std::move(name), std::move(exports)});
    Registrations& registrations = TheRegistrations();
    std::lock_guard lock(registrations.mutex);
    auto same_name = [&](const std::shared_ptr<const BuiltinModule>& existing) {
        return DeviceNamesEqual(existing->name, module->name);
    };
    auto existing = std::ranges::find_if(registrations.modules, same_name);
    if (existing != registrations.modules.end()) {
        *existing = std::move(module);
    } else {
        registrations.modules.push_back(std::move(module));
    }
}

void AddBuiltinExports(std::wstring_view name, std::vector<BuiltinExport> exports) {
    std::erase_if(exports, [](const BuiltinExport& entry) { return entry.proc == nullptr; });
    Registrations& registrations = TheRegistrations();
    std::lock_guard lock(registrations.mutex);
    auto existing = std::ranges::find_if(registrations.modules, [&](const auto& module) {
        return DeviceNamesEqual(module->name, name);
    });
    if (existing == registrations.modules.end()) {
        return;
    }
    // Modules are shared with loaded handles: the module is replaced by a copy with the exports.
    BuiltinModule extended = **existing;
    for (BuiltinExport& entry : exports) {
        std::erase_if(extended.exports,
                      [&](const BuiltinExport& old) { return old.name == entry.name; });
        extended.exports.push_back(std::move(entry));
    }
    *existing = std::make_shared<const BuiltinModule>(std::move(extended));
}

std::shared_ptr<const BuiltinModule> FindBuiltinModule(std::wstring_view file_name) {
    Registrations& registrations = TheRegistrations();
    std::lock_guard lock(registrations.mutex);
    for (const auto& module : registrations.modules) {
        if (DeviceNamesEqual(module->name, file_name)) {
            return module;
        }
    }
    return nullptr;
}

}  // namespace tovarin::kernel::modules
