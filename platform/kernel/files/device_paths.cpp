#include "host/device_paths.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "host/device.h"
#include "host/text.h"
#include "kernel/strings/text_case.h"

namespace tovarin::kernel {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The components of an absolute device path, or nullopt when it is not one the device accepts.
std::optional<std::vector<std::wstring_view>> SplitDevicePath(std::wstring_view path) {
    if (path.empty() || !IsSeparator(path.front())) {
        return std::nullopt;
    }
    if (path.find(L'\0') != std::wstring_view::npos) {
        return std::nullopt;
    }
    std::vector<std::wstring_view> components;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = pos;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        std::wstring_view component = path.substr(pos, end - pos);
        if (component == L"..") {
            return std::nullopt;
        }
        if (!component.empty() && component != L".") {
            components.push_back(component);
        }
        pos = end + 1;
    }
    return components;
}

// The name under which `folder` holds `component`: the exact spelling if it exists, else the
// first (in byte order, so that the choice does not depend on the order of the directory) of the
// entries that match case-insensitively. nullopt when there is none.
std::optional<std::string> ExistingEntry(const std::filesystem::path& folder,
                                         std::wstring_view component) {
    std::string written = WideToUtf8(component);
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder / written, error))) {
        return written;
    }
    std::optional<std::string> found;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        std::string name = entries->path().filename().native();
        if (DeviceNamesEqual(Utf8ToWide(name), component) && (!found || name < *found)) {
            found = std::move(name);
        }
    }
    return found;
}

std::optional<std::filesystem::path> ImageRoot() {
    if (!Device::IsUp()) {
        return std::nullopt;
    }
    const std::filesystem::path& root = Device::Current().options().image_root;
    if (root.empty()) {
        return std::nullopt;
    }
    return root;
}

// Whether `path` is `folder` or lies below it (both canonical).
bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto [folder_end, path_at] =
        std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return folder_end == folder.end();
}

}  // namespace

bool IsInDeviceFileSystem(const std::filesystem::path& host_path) {
    std::optional<std::filesystem::path> root = ImageRoot();
    if (!root) {
        return false;
    }
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(host_path, error);
    const std::filesystem::path canonical_root = std::filesystem::weakly_canonical(*root, error);
    if (error || !IsWithin(resolved, canonical_root)) {
        return false;
    }
    // A dangling link at the end would let a create follow it wherever it points.
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(resolved, error))) {
        return false;
    }
    const std::filesystem::path& hives = Device::Current().options().registry_dir;
    if (!hives.empty()) {
        const std::filesystem::path canonical_hives =
            std::filesystem::weakly_canonical(hives, error);
        if (!error && IsWithin(resolved, canonical_hives)) {
            return false;
        }
    }
    return true;
}

std::optional<std::filesystem::path> HostPathFor(std::wstring_view device_path) {
    std::optional<std::filesystem::path> result = ImageRoot();
    if (!result) {
        return std::nullopt;
    }
    auto components = SplitDevicePath(device_path);
    if (!components) {
        return std::nullopt;
    }
    // Once a component does not exist, nothing below it does: the rest is taken as written.
    bool exists = true;
    for (std::wstring_view component : *components) {
        std::optional<std::string> entry;
        if (exists) {
            entry = ExistingEntry(*result, component);
            exists = entry.has_value();
        }
        *result /= entry ? *entry : WideToUtf8(component);
    }
    if (!IsInDeviceFileSystem(*result)) {
        return std::nullopt;
    }
    return result;
}

std::wstring DevicePathFor(const std::filesystem::path& host_path) {
    std::optional<std::filesystem::path> root = ImageRoot();
    if (!root) {
        return {};
    }
    std::error_code error;
    std::filesystem::path absolute_root =
        std::filesystem::absolute(*root, error).lexically_normal();
    std::filesystem::path absolute_host = std::filesystem::absolute(host_path, error);
    if (error) {
        return {};
    }
    std::filesystem::path relative =
        absolute_host.lexically_normal().lexically_relative(absolute_root);
    if (relative.empty()) {
        return {};
    }
    std::wstring device_path;
    for (const std::filesystem::path& component : relative) {
        const std::string& name = component.native();
        if (name == "..") {
            return {};
        }
        if (name.empty() || name == ".") {
            continue;
        }
        device_path += L'\\';
        device_path += Utf8ToWide(name);
    }
    return device_path.empty() ? L"\\" : device_path;
}

bool DeviceNamesEqual(std::wstring_view a, std::wstring_view b) {
    return TextsEqualIgnoringCase(a, b);
}

}  // namespace tovarin::kernel
