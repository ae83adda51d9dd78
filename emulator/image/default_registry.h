// The registry of a fresh device image.
//
// HKLM\Services lists the suite's three service libraries (each under a key named like the
// library without ".dll", with its file name and entry-point prefix); the service host loads
// those of them that the image holds. HKCU\ControlPanel\Notifications\ShellOverrides "Mode" is
// kDefaultShellMode.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <windef.h>

namespace tovarin::kernel {
class HostRegistry;
}

namespace tovarin::emulator {

// The shell's ring-mode override of a fresh phone. 1 is the mode that the answering service,
// after restoring it at the end of an answered call, applies again through the taskbar, so a
// fresh phone takes that whole path.
inline constexpr uint32_t kDefaultShellMode = 1;

// Writes the hives of a fresh image into hive_dir (which holds no hives yet). False, with a
// description, when they cannot be written.
bool WriteDefaultRegistry(const std::filesystem::path& hive_dir, std::string* error);

// Puts the default keys and values of one root (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER) into a
// registry, for a hive whose file is missing or was set aside. False, with a description, when
// they cannot be written.
bool FillDefaultHive(kernel::HostRegistry& registry, HKEY root, std::string* error);

}  // namespace tovarin::emulator
