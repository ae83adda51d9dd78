#include "console/host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tovarin::emulator::console {
namespace {

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device file";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "no regular file";
}

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

}  // namespace

std::optional<std::vector<uint8_t>> ReadRegularHostFile(const std::filesystem::path& path,
                                                        uintmax_t max_bytes, std::string* error) {
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat status {};
    if (file.fd < 0 || fstat(file.fd, &status) != 0) {
        *error = "cannot read " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        *error = path.string() + " is " + KindOf(status.st_mode) + ", not a regular file";
        return std::nullopt;
    }
    if (static_cast<uintmax_t>(status.st_size) > max_bytes) {
        *error = path.string() + " is too big: " + std::to_string(status.st_size) +
                 " bytes, more than " + std::to_string(max_bytes >> 20) + " MB";
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(status.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *error = "cannot read " + path.string() + ": " + std::strerror(errno);
            return std::nullopt;
        }
        if (n == 0) {
            break;  // the file shrank while it was read: what is there
        }
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace tovarin::emulator::console
