// The device clock of an image: the local time the phone shows when it boots. An image keeps it
// in registry/clock.txt ("YYYY-MM-DD HH:MM:SS"), written by `time set` and when the device shuts
// down, so that the phone's time goes on from where it stopped; a fresh image starts at
// 2026-01-01 00:00:00.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tovarin::emulator {

inline constexpr int64_t kFreshImageClockMs = 1'767'225'600'000;  // 2026-01-01 00:00:00

// The image's clock in milliseconds since 1970-01-01; kFreshImageClockMs when it keeps none or
// the file cannot be read.
int64_t ReadImageClock(const std::filesystem::path& image_root);
// False, with the reason, when the file cannot be written.
bool WriteImageClock(const std::filesystem::path& image_root, int64_t unix_ms, std::string* error);

}  // namespace tovarin::emulator
