#include "image/device_clock.h"

#include <chrono>
#include <cstdio>
#include <fstream>

#include "console/host_commands.h"
#include "image/device_image.h"

namespace tovarin::emulator {
namespace {

std::filesystem::path ClockFileOf(const std::filesystem::path& image_root) {
    return RegistryFolderOf(image_root) / "clock.txt";
}

std::string Formatted(int64_t unix_ms) {
    using namespace std::chrono;
    sys_time<milliseconds> point{milliseconds(unix_ms)};
    auto day = floor<days>(point);
    year_month_day date{day};
    hh_mm_ss<milliseconds> time{point - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

}  // namespace

int64_t ReadImageClock(const std::filesystem::path& image_root) {
    std::ifstream file(ClockFileOf(image_root));
    std::string line;
    if (!std::getline(file, line)) {
        return kFreshImageClockMs;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return console::ParseLocalTime(line).value_or(kFreshImageClockMs);
}

bool WriteImageClock(const std::filesystem::path& image_root, int64_t unix_ms, std::string* error) {
    std::filesystem::path file_path = ClockFileOf(image_root);
    std::filesystem::path partial = file_path;
    partial += ".new";
    {
        std::ofstream file(partial, std::ios::trunc);
        file << Formatted(unix_ms) << '\n';
        file.flush();
        if (!file) {
            *error = "cannot write " + partial.string();
            return false;
        }
    }
    std::error_code failed;
    std::filesystem::rename(partial, file_path, failed);
    if (failed) {
        *error = "cannot write " + file_path.string() + ": " + failed.message();
        return false;
    }
    return true;
}

}  // namespace tovarin::emulator
