#include "image/temporary_image.h"

#include "image/storage_cards.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tovarin::emulator {

TemporaryImage::~TemporaryImage() {
    if (!root_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
        std::filesystem::remove_all(RemovedCardsFolderOf(root_), ignored);
    }
}

bool TemporaryImage::Make(std::string* error) {
    std::error_code failed;
    std::filesystem::path base = std::filesystem::temp_directory_path(failed);
    if (failed) {
        base = "/tmp";
    }
    std::string pattern = (base / "tovarin-emu-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        *error = "cannot make a temporary folder in " + base.string() + ": " + std::strerror(errno);
        return false;
    }
    root_ = pattern;
    return true;
}

}  // namespace tovarin::emulator
