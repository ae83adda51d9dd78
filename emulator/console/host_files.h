// Host files that console commands read for the device (`mic "FILE"`, `call voice "FILE"`, the
// recordings `expect amr` checks): only regular files, and only up to a bound, so that a device
// file, a FIFO or a folder named by mistake (or on purpose) gives a clear error instead of a read
// that never ends or fills the memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tovarin::emulator::console {

// The most a sound file for the microphone or the line may hold: about six minutes of 48 kHz
// stereo PCM.
inline constexpr uintmax_t kMaxHostSoundBytes = 64ull << 20;

// The whole file; nullopt, with *error naming the file and the reason, when it is no regular file
// (checked on the opened file itself), cannot be read, or holds more than max_bytes.
std::optional<std::vector<uint8_t>> ReadRegularHostFile(const std::filesystem::path& path,
                                                        uintmax_t max_bytes, std::string* error);

}  // namespace tovarin::emulator::console
