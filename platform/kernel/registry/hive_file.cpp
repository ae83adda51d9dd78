#include "kernel/registry/hive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/text.h"
#include "kernel/registry/reg_text.h"

namespace tovarin::kernel::registry {
namespace {

std::wstring Describe(const std::filesystem::path& path) {
    return Utf8ToWide(path.string());
}

std::string ErrnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the result (a failed close can mean lost data).
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

HiveLoadResult LoadHive(const std::filesystem::path& file, std::wstring_view root_name,
                        KeyNode& root) {
    HiveLoadResult result;
    std::error_code exists_error;
    if (!std::filesystem::exists(file, exists_error)) {
        return result;
    }
    std::ifstream stream(file, std::ios::binary);
    std::string content;
    if (stream.is_open()) {
        content.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    }
    if (!stream.is_open() || stream.bad()) {
        result.savable = false;
        result.messages.push_back(L"cannot read " + Describe(file) + L"; " +
                                  std::wstring(root_name) +
                                  L" starts empty and will not be saved over the file");
        return result;
    }
    auto syntax_error = ParseHive(content, root_name, root);
    if (!syntax_error) {
        result.loaded = true;
        return result;
    }
    root.ClearSubkeys();
    root.values.clear();
    std::wstring problem = Describe(file) + L", line " + std::to_wstring(syntax_error->line) +
                           L": " + Utf8ToWide(syntax_error->message) + L".";
    std::string rename_error;
    if (auto moved = SetAside(file, &rename_error)) {
        result.messages.push_back(problem + L" The file was moved to " + Describe(*moved) + L"; " +
                                  std::wstring(root_name) + L" starts empty.");
    } else {
        result.savable = false;
        result.messages.push_back(problem + L" It could not be moved aside (" +
                                  Utf8ToWide(rename_error) + L"); " + std::wstring(root_name) +
                                  L" starts empty and will not be saved over the file.");
    }
    return result;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                         std::string* error) {
    std::error_code folder_error;
    std::filesystem::create_directories(file.parent_path(), folder_error);
    if (folder_error) {
        *error = "cannot create " + file.parent_path().string() + ": " + folder_error.message();
        return false;
    }
    std::string name = file.string() + ".tmp.XXXXXX";
    FileDescriptor out(::mkostemp(name.data(), O_CLOEXEC));
    const std::filesystem::path temporary = name;
    if (out.get() < 0) {
        *error = ErrnoText(("cannot create " + temporary.string()).c_str());
        return false;
    }
    ::fchmod(out.get(), 0644);  // a hive is a file a person reads, as any other
    // The data must be on the disk before the rename makes it the hive.
    if (!WriteAll(out.get(), content) || ::fsync(out.get()) != 0 || !out.Close()) {
        *error = ErrnoText(("cannot write " + temporary.string()).c_str());
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        *error = ErrnoText(("cannot rename " + temporary.string()).c_str());
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself lives in the folder; flush it too so that it survives a power cut.
    FileDescriptor folder(::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
    return true;
}

std::vector<std::filesystem::path> RemoveStaleTemporaries(const std::filesystem::path& file) {
    std::vector<std::filesystem::path> removed;
    const std::string prefix = file.filename().string() + ".tmp";
    std::error_code failed;
    std::filesystem::directory_iterator entries(file.parent_path(), failed);
    for (; !failed && entries != std::filesystem::directory_iterator(); entries.increment(failed)) {
        const std::string name = entries->path().filename().string();
        // "<file>.tmp" of older versions and "<file>.tmp.XXXXXX".
        const bool temporary =
            name == prefix || (name.size() == prefix.size() + 7 && name.starts_with(prefix + "."));
        std::error_code kind_error;
        if (temporary && entries->is_regular_file(kind_error) &&
            std::filesystem::remove(entries->path(), kind_error)) {
            removed.push_back(entries->path());
        }
    }
    return removed;
}

std::optional<std::filesystem::path> SetAside(const std::filesystem::path& file,
                                              std::string* error) {
    for (int number = 1; number < 1000; ++number) {
        std::filesystem::path target = file;
        target += number == 1 ? std::string(".bad") : ".bad." + std::to_string(number);
        std::error_code exists_error;
        if (std::filesystem::exists(target, exists_error) || exists_error) {
            continue;
        }
        std::error_code rename_error;
        std::filesystem::rename(file, target, rename_error);
        if (rename_error) {
            *error = rename_error.message();
            return std::nullopt;
        }
        return target;
    }
    *error = "too many earlier .bad files";
    return std::nullopt;
}

}  // namespace tovarin::kernel::registry
