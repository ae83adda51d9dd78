// A simulated device on a fresh image, the test thread attached and the component library
// initialised on it, and ffmpeg's reading of the AMR files a test makes: every recording is
// checked with a decoder that is not ours.
#pragma once

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "host/device.h"
#include "testing/temp_image.h"

namespace tovarin::media::testing {

// The audio of a file as ffmpeg decodes it, in milliseconds; nullopt when ffmpeg cannot read it.
inline std::optional<long> FfmpegDurationMs(const std::filesystem::path& file) {
    const std::string command =
        "ffmpeg -nostdin -v error -i '" + file.string() + "' -f s16le -ac 1 -ar 8000 - 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    char buffer[65536];
    long bytes = 0;
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        bytes += static_cast<long>(n);
    }
    const int status = pclose(pipe);
    if (status != 0 || bytes == 0) {
        return std::nullopt;
    }
    return bytes / 16;  // 8000 samples of 2 bytes a second
}

class MediaDeviceTest : public ::testing::Test {
  protected:
    MediaDeviceTest() : device_(Options(image_)) {
        image_.AddFolder("Windows");
        image_.AddFolder("My Documents");
        self_.emplace("test");
        EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    }
    ~MediaDeviceTest() override {
        CoUninitialize();
        self_.reset();
    }

    static kernel::DeviceOptions Options(const kernel::testing::TempImage& image) {
        kernel::DeviceOptions options;
        options.clock = kernel::ClockMode::Simulated;
        options.image_root = image.root();
        options.boot_unix_ms = 1'700'000'000'000;
        return options;
    }

    std::filesystem::path HostPath(const std::filesystem::path& relative) const {
        return image_.root() / relative;
    }

    kernel::testing::TempImage image_;
    kernel::Device device_;
    std::optional<kernel::AttachedThread> self_;
};

}  // namespace tovarin::media::testing
