// The device's files as the page's Files view shows them: one folder at a time, as the device's
// programs see it (through its own file calls: the registry's hives are not there), and a file's
// bytes for a download. Read on the console's thread.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace tovarin::emulator::web {

// Files larger than this are not offered for download.
inline constexpr uint32_t kMaxDownloadBytes = 8 * 1024 * 1024;

// {"entries": [{"name", "folder": bool, "size", "time": "YYYY-MM-DD HH:MM:SS"}]}, folders first,
// then by name; or {"error": ...}. `path` is a device path ("\\" or "" for the root).
nlohmann::json ListDeviceFolder(const std::string& path);

// {"name", "size", "base64"}; or {"error": ...} for a folder, a missing file or one too large.
// `as_wave`: an AMR-NB file decoded by the platform's own decoder into a WAVE file (8000 Hz mono
// 16-bit), which browsers play (they do not play AMR); "name" then ends in ".wav".
nlohmann::json ReadDeviceFile(const std::string& path, bool as_wave = false);

}  // namespace tovarin::emulator::web
