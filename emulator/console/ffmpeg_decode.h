// A second opinion on a recording for `expect amr`: ffmpeg's decoding of it, when the environment
// names ffmpeg (TOVARIN_FFMPEG, as the test runs do). ffmpeg is started with an argument vector,
// never through a shell, so that any file name (quotes, $(...), spaces) is only a file name.
#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace tovarin::emulator::console {

// Milliseconds of 8 kHz mono audio that ffmpeg decodes from file, or a reason.
std::variant<long, std::string> FfmpegDurationMs(const std::string& ffmpeg,
                                                 const std::filesystem::path& file);

}  // namespace tovarin::emulator::console
