#include "image/save_temporaries.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace tovarin::emulator {
namespace {

// Whether the name is "<file>.tmp.XXXXXX", the unique name a save writes before its rename. A
// bare "<file>.tmp" may be a person's own file outside the hive folder, so it is left alone here.
bool IsSaveTemporary(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    constexpr std::string_view kMark = ".tmp.";
    constexpr size_t kUniqueChars = 6;
    if (name.size() <= kMark.size() + kUniqueChars) {
        return false;
    }
    const size_t mark = name.size() - kUniqueChars - kMark.size();
    return name.compare(mark, kMark.size(), kMark) == 0 &&
           std::all_of(name.end() - kUniqueChars, name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

}  // namespace

std::vector<std::filesystem::path> FindSaveTemporaries(const std::filesystem::path& image_root) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(image_root, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code kind_error;
        if (it->is_regular_file(kind_error) && IsSaveTemporary(it->path())) {
            found.push_back(it->path());
        }
    }
    return found;
}

std::vector<std::filesystem::path> RemoveSaveTemporaries(const std::filesystem::path& image_root) {
    std::vector<std::filesystem::path> removed;
    for (std::filesystem::path& temporary : FindSaveTemporaries(image_root)) {
        std::error_code error;
        if (std::filesystem::remove(temporary, error)) {
            removed.push_back(std::move(temporary));
        }
    }
    return removed;
}

}  // namespace tovarin::emulator
