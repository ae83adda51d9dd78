// One emulator per image: a running tovarin-emu holds its image folder, so that a second one on
// the same folder (which would load the same libraries, write the same hives and refresh the
// built files under the first one's running code) refuses to start.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace tovarin::emulator {

class ImageLock {
  public:
    // Holds the folder (made when missing) until the object goes. nullptr, with a description,
    // when another emulator holds it or it cannot be locked.
    static std::unique_ptr<ImageLock> Acquire(const std::filesystem::path& image_root,
                                              std::string* error);
    ~ImageLock();
    ImageLock(const ImageLock&) = delete;
    ImageLock& operator=(const ImageLock&) = delete;

  private:
    explicit ImageLock(int fd) : fd_(fd) {}
    const int fd_;  // the folder, locked with flock: the lock ends with the process in any case
};

}  // namespace tovarin::emulator
