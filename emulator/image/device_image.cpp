#include "image/device_image.h"

#include "image/default_registry.h"
#include "image/save_temporaries.h"
#include "host/text.h"

namespace tovarin::emulator {
namespace fs = std::filesystem;

namespace {

constexpr char kWindowsFolder[] = "Windows";
constexpr char kDocumentsFolder[] = "My Documents";
constexpr char kRegistryFolder[] = "registry";

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code failed;
    auto size_a = fs::file_size(a, failed);
    auto size_b = failed ? 0 : fs::file_size(b, failed);
    auto time_a = failed ? fs::file_time_type() : fs::last_write_time(a, failed);
    auto time_b = failed ? fs::file_time_type() : fs::last_write_time(b, failed);
    return !failed && size_a == size_b && time_a == time_b;
}

// Copies through a temporary file in the target folder, so that an interrupted copy never
// leaves a half-written library in the image.
bool CopyBuiltFile(const fs::path& from, const fs::path& to, std::string* error) {
    fs::path partial = to;
    partial += ".copying";
    std::error_code failed;
    fs::copy_file(from, partial, fs::copy_options::overwrite_existing, failed);
    if (!failed) {
        fs::last_write_time(partial, fs::last_write_time(from, failed), failed);
    }
    if (!failed) {
        fs::rename(partial, to, failed);
    }
    if (failed) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        *error = "cannot copy " + from.string() + " to " + to.string() + ": " + failed.message();
        return false;
    }
    return true;
}

// What is wrong with an entry of the image that must be a folder (or, for want_folder false, a
// file) when it exists; empty when it is right or missing (a missing one is made).
std::string WrongKind(const fs::path& path, bool want_folder) {
    std::error_code failed;
    const fs::file_status status = fs::symlink_status(path, failed);
    if (failed || status.type() == fs::file_type::not_found) {
        return {};
    }
    if (want_folder && status.type() != fs::file_type::directory) {
        return path.string() + " must be a folder, but it is " +
               (fs::is_symlink(status) ? "a symbolic link" : "a file");
    }
    if (!want_folder && status.type() != fs::file_type::regular) {
        return path.string() + " must be a file, but it is " +
               (fs::is_directory(status) ? "a folder"
                : fs::is_symlink(status) ? "a symbolic link"
                                         : "not a plain file");
    }
    return {};
}

// The layout of an existing image: its three folders, the hives and the built files in
// \Windows are what their names say. Empty when it is right, else what is wrong.
std::string CheckLayout(const fs::path& image_root, const std::vector<BuiltFile>& files) {
    for (const char* folder : {kWindowsFolder, kDocumentsFolder, kRegistryFolder}) {
        if (std::string wrong = WrongKind(image_root / folder, true); !wrong.empty()) {
            return wrong;
        }
    }
    for (const char* hive : {"HKLM.reg", "HKCU.reg"}) {
        if (std::string wrong = WrongKind(image_root / kRegistryFolder / hive, false);
            !wrong.empty()) {
            return wrong;
        }
    }
    for (const BuiltFile& file : files) {
        if (std::string wrong = WrongKind(
                image_root / kWindowsFolder / fs::path(kernel::WideToUtf8(file.device_name)),
                false);
            !wrong.empty()) {
            return wrong;
        }
    }
    return {};
}

}  // namespace

namespace {

// A file named by its device path ("\Program Files\...") goes there; a bare name goes into
// \Windows.
fs::path TargetOf(const fs::path& image_root, const BuiltFile& file) {
    if (file.device_name.empty() || file.device_name.front() != L'\\') {
        return WindowsFolderOf(image_root) / fs::path(kernel::WideToUtf8(file.device_name));
    }
    fs::path target = image_root;
    std::wstring_view rest(file.device_name);
    while (!rest.empty()) {
        rest.remove_prefix(1);
        size_t end = std::min(rest.find(L'\\'), rest.size());
        if (end > 0) {
            // The host's names are UTF-8, whatever the host's locale says.
            target /= fs::path(kernel::WideToUtf8(rest.substr(0, end)));
        }
        rest.remove_prefix(end);
    }
    return target;
}

}  // namespace

fs::path WindowsFolderOf(const fs::path& image_root) {
    return image_root / kWindowsFolder;
}

fs::path RegistryFolderOf(const fs::path& image_root) {
    return image_root / kRegistryFolder;
}

bool PrepareImage(const fs::path& image_root, const std::vector<BuiltFile>& files,
                  PreparedImage* prepared, std::string* error) {
    std::error_code failed;
    if (std::string wrong = CheckLayout(image_root, files); !wrong.empty()) {
        *error = "the image's layout is wrong: " + wrong;
        return false;
    }
    prepared->made = !fs::exists(WindowsFolderOf(image_root), failed);
    for (const char* folder : {kDocumentsFolder, kRegistryFolder}) {
        // A folder that a person removed from an existing image is made again.
        if (!prepared->made) {
            fs::create_directories(image_root / folder, failed);
        }
    }
    if (prepared->made) {
        for (const char* folder : {kWindowsFolder, kDocumentsFolder, kRegistryFolder}) {
            fs::create_directories(image_root / folder, failed);
            if (failed) {
                *error = "cannot make " + (image_root / folder).string() + ": " + failed.message();
                return false;
            }
        }
        if (!WriteDefaultRegistry(RegistryFolderOf(image_root), error)) {
            return false;
        }
    }
    for (const BuiltFile& file : files) {
        fs::path target = TargetOf(image_root, file);
        if (SameFile(file.host_path, target)) {
            continue;
        }
        fs::create_directories(target.parent_path(), failed);
        if (!CopyBuiltFile(file.host_path, target, error)) {
            return false;
        }
        prepared->copied.push_back(file.device_name);
    }
    prepared->removed_temporaries = RemoveSaveTemporaries(image_root);
    return true;
}

}  // namespace tovarin::emulator
