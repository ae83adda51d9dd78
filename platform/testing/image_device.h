// A fresh simulated device whose file system is a temporary image folder, for each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "host/device.h"
#include "testing/temp_image.h"

namespace tovarin::kernel::testing {

class ImageDeviceTest : public ::testing::Test {
  protected:
    ImageDeviceTest() : device_({.clock = ClockMode::Simulated, .image_root = image_.root()}) {
        self_.emplace("test");
    }
    ~ImageDeviceTest() override { self_.reset(); }

    // UTF-8 host path of a path relative to the image root ("My Documents/a.txt").
    std::filesystem::path Host(const std::string& relative) const {
        return image_.root() / std::filesystem::path(relative);
    }
    std::string HostContent(const std::string& relative) const {
        std::ifstream in(Host(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempImage image_;  // outlives the device
    Device device_;
    std::optional<AttachedThread> self_;
};

}  // namespace tovarin::kernel::testing
