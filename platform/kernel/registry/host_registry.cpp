// The host door's registry (host/registry.h), over a running device's registry or an image's hives.
#include "host/registry.h"

#include "host/device.h"
#include "kernel/registry/registry.h"

namespace tovarin::kernel {

HostRegistry::HostRegistry(Device& device) : registry_(device.registry()) {}

HostRegistry::HostRegistry(const std::filesystem::path& hive_dir)
    : own_(std::make_unique<Registry>(hive_dir)), registry_(*own_) {}

HostRegistry::~HostRegistry() = default;

bool HostRegistry::Flush() {
    return registry_.Flush();
}

std::vector<std::wstring> HostRegistry::LoadMessages() const {
    return registry_.LoadMessages();
}

bool HostRegistry::LoadedFromFile(HKEY root) const {
    return registry_.LoadedFromFile(root);
}

LONG HostRegistry::CreateKey(HKEY key, LPCWSTR sub_key, HKEY* result, DWORD* disposition) {
    return registry_.CreateKey(key, sub_key, result, disposition);
}

LONG HostRegistry::SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    return registry_.SetValue(key, name, type, data, size);
}

LONG HostRegistry::CloseKey(HKEY key) {
    return registry_.CloseKey(key);
}

}  // namespace tovarin::kernel
