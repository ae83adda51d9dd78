#include "image/save_temporaries.h"

#include "kernel/registry/hive_file.h"

namespace tovarin::emulator {
namespace {

// The file a temporary was written for: "<file>" of "<file>.tmp.XXXXXX" (or of "<file>.tmp",
// which older versions wrote); nullopt for any other name.
std::optional<std::filesystem::path> SavedFileOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    constexpr std::string_view kMark = ".tmp";
    constexpr size_t kUniquePart = 7;  // ".XXXXXX"
    size_t at = std::string::npos;
    if (name.ends_with(kMark)) {
        at = name.size() - kMark.size();
    } else if (name.size() > kMark.size() + kUniquePart &&
               name.compare(name.size() - kUniquePart - kMark.size(), kMark.size() + 1, ".tmp.") ==
                   0) {
        at = name.size() - kUniquePart - kMark.size();
    }
    if (at == std::string::npos || at == 0) {
        return std::nullopt;
    }
    return path.parent_path() / name.substr(0, at);
}

}  // namespace

std::vector<std::filesystem::path> FindSaveTemporaries(const std::filesystem::path& image_root) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(image_root, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code kind_error;
        if (it->is_regular_file(kind_error) && SavedFileOf(it->path())) {
            found.push_back(it->path());
        }
    }
    return found;
}

std::vector<std::filesystem::path> RemoveSaveTemporaries(const std::filesystem::path& image_root) {
    std::vector<std::filesystem::path> removed;
    for (const std::filesystem::path& temporary : FindSaveTemporaries(image_root)) {
        // The hive files' own rule decides what is a temporary of the file, so that both agree.
        for (std::filesystem::path& gone :
             kernel::registry::RemoveStaleTemporaries(*SavedFileOf(temporary))) {
            removed.push_back(std::move(gone));
        }
    }
    return removed;
}

}  // namespace tovarin::emulator
