// The registry as the page's Registry view shows it: one key at a time, its subkeys and its values
// with their types. Read on the console's thread through the device's own registry calls, so the
// page sees what the device's programs see.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace tovarin::emulator::web {

// {"keys": ["Name", ...], "values": [{"name", "type": "dword" | "sz" | "binary" | ...,
// "data": N | "TEXT" | "hex bytes"}]}, sorted by name; or {"error": ...} when the key cannot be
// opened. `root` is "HKLM" or "HKCU"; `key` is a path without the root ("" for the root itself).
nlohmann::json ReadRegistryKey(const std::string& root, const std::string& key);

}  // namespace tovarin::emulator::web
