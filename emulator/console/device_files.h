// The console's file commands, carried out through the device's own file API, so that they obey
// the rules device code meets: the device's name rules, files in use (a loaded module), the
// simulated free space.
#pragma once

#include <optional>
#include <string>

namespace tovarin::emulator::console {

// Writes the bytes as the whole content of the file at the device path, making the folders on
// the way. Empty on success, else why it failed.
std::string WriteDeviceFile(const std::wstring& device_path, const std::string& content);

// The whole content of the file at the device path, read through the device's file calls;
// nullopt when device code could not open it.
std::optional<std::string> ReadDeviceFile(const std::wstring& device_path);

// The reason a file call failed, for a person: the error's meaning and its number.
std::string FileErrorText(const char* what, unsigned long error);

}  // namespace tovarin::emulator::console
