#include "image/image_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tovarin::emulator {

std::unique_ptr<ImageLock> ImageLock::Acquire(const std::filesystem::path& image_root,
                                              std::string* error) {
    std::error_code failed;
    std::filesystem::create_directories(image_root, failed);
    if (failed) {
        *error = "cannot make " + image_root.string() + ": " + failed.message();
        return nullptr;
    }
    // The folder itself carries the lock, so that the device sees no lock file in its root.
    const int fd = ::open(image_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot open " + image_root.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int failure = errno;
        ::close(fd);
        *error = failure == EWOULDBLOCK
                     ? "the device image " + image_root.string() +
                           " is in use by another tovarin-emu; end that one first or give "
                           "another --device"
                     : "cannot lock " + image_root.string() + ": " + std::strerror(failure);
        return nullptr;
    }
    return std::unique_ptr<ImageLock>(new ImageLock(fd));
}

ImageLock::~ImageLock() {
    ::close(fd_);
}

}  // namespace tovarin::emulator
