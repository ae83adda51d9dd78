// A device image in a fresh temporary folder, removed with the object: what a script runs on
// when it is given no --device.
#pragma once

#include <filesystem>
#include <string>

namespace tovarin::emulator {

class TemporaryImage {
  public:
    TemporaryImage() = default;
    ~TemporaryImage();
    TemporaryImage(const TemporaryImage&) = delete;
    TemporaryImage& operator=(const TemporaryImage&) = delete;

    // Makes the empty folder. False, with a description, when it cannot.
    bool Make(std::string* error);
    const std::filesystem::path& root() const { return root_; }

  private:
    std::filesystem::path root_;
};

}  // namespace tovarin::emulator
