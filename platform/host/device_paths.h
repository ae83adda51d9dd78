// Device paths and the host folder that holds the device's file system.
//
// A device path is absolute ("\Windows\x.dll", "\My Documents\a b\c.amr"), with backslash
// separators (a forward slash separates as well). Names compare case-insensitively as on the
// device. The device's "\" is the image root of the running device
// (DeviceOptions::image_root).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tovarin::kernel {

// The host path of a device path. Each component that matches an existing host entry
// case-insensitively takes that entry's spelling (an exact match wins over others); any other
// component is taken as written. Empty components and "." are skipped.
//
// nullopt: no device is up or it has no image root, the path is not absolute, or it has a ".."
// component (a device path never leaves the root) or a NUL character, or it leads outside the
// device's file system (IsInDeviceFileSystem).
std::optional<std::filesystem::path> HostPathFor(std::wstring_view device_path);

// Whether a host path, with its symbolic links followed, lies in the device's file system: under
// the image root and not in the registry's hive folder (the hives are the registry's, not files
// device code may open, change or delete). A symbolic link inside the image that points outside
// it, or at the hives, leads nowhere for device code.
bool IsInDeviceFileSystem(const std::filesystem::path& host_path);

// The device path of a host path under the image root ("\" for the root itself), or an empty
// string when the host path lies outside it or no device with an image root is up.
std::wstring DevicePathFor(const std::filesystem::path& host_path);

// Name comparison of the device's file system and loader: case-insensitive over Latin, Greek
// and Cyrillic letters ("ФАЙЛ.txt" names the same file as "файл.TXT"), the fold of registry
// names.
bool DeviceNamesEqual(std::wstring_view a, std::wstring_view b);

}  // namespace tovarin::kernel
