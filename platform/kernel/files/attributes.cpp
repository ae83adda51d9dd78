#include "kernel/files/attributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include <winbase.h>

#include "host/device.h"
#include "host/device_paths.h"
#include "host/text.h"

namespace tovarin::kernel {
namespace {

// FILETIME counts 100 ns intervals since 1601-01-01; the host counts from 1970-01-01.
constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;

FILETIME FileTimeOf(int64_t seconds, int64_t nanoseconds) {
    int64_t intervals = kUnixEpochIn100ns + seconds * 10'000'000 + nanoseconds / 100;
    if (intervals < 0) {
        intervals = 0;
    }
    uint64_t value = static_cast<uint64_t>(intervals);
    return {static_cast<DWORD>(value & 0xFFFFFFFF), static_cast<DWORD>(value >> 32)};
}

FILETIME FileTimeOf(const struct statx_timestamp& time) {
    return FileTimeOf(time.tv_sec, time.tv_nsec);
}

}  // namespace

bool IsReadOnly(const struct stat& status) {
    return (status.st_mode & S_IWUSR) == 0;
}

namespace {

constexpr char kStorageCardMark[] = "user.tovarin.storage-card";

}  // namespace

bool MarkStorageCardFolder(const std::filesystem::path& host_folder, std::string* error) {
    if (::setxattr(host_folder.c_str(), kStorageCardMark, "1", 1, 0) != 0) {
        *error = "cannot mark " + host_folder.string() + " as a card: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool HasStorageCardMark(const std::filesystem::path& host_folder) {
    char value = 0;
    return ::getxattr(host_folder.c_str(), kStorageCardMark, &value, 1) == 1 && value == '1';
}

bool IsStorageCardFolder(const std::filesystem::path& host_path) {
    if (!Device::IsUp()) {
        return false;
    }
    const std::filesystem::path& root = Device::Current().options().image_root;
    if (root.empty()) {
        return false;
    }
    std::filesystem::path folder = host_path.lexically_normal();
    if (!folder.has_filename()) {
        folder = folder.parent_path();  // a trailing separator
    }
    if (!DeviceNamesEqual(Utf8ToWide(folder.filename().native()), kStorageCardFolder) &&
        !HasStorageCardMark(folder)) {
        return false;
    }
    std::error_code error;
    return std::filesystem::equivalent(folder.parent_path(), root, error) &&
           std::filesystem::is_directory(folder, error);
}

std::optional<EntryInfo> InfoOf(const std::filesystem::path& host_path) {
    struct statx status {};
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (::statx(AT_FDCWD, host_path.c_str(), AT_STATX_SYNC_AS_STAT, mask, &status) != 0) {
        return std::nullopt;
    }
    EntryInfo info;
    const bool folder = S_ISDIR(status.stx_mode);
    if (folder) {
        info.attributes = FILE_ATTRIBUTE_DIRECTORY;
        if (IsStorageCardFolder(host_path)) {
            info.attributes |= FILE_ATTRIBUTE_TEMPORARY;
        }
    } else {
        info.attributes = FILE_ATTRIBUTE_ARCHIVE;
        info.size = status.stx_size;
    }
    if ((status.stx_mode & S_IWUSR) == 0) {
        info.attributes |= FILE_ATTRIBUTE_READONLY;
    }
    info.last_write = FileTimeOf(status.stx_mtime);
    info.last_access = FileTimeOf(status.stx_atime);
    info.creation =
        (status.stx_mask & STATX_BTIME) ? FileTimeOf(status.stx_btime) : info.last_write;
    return info;
}

bool SetReadOnly(const std::filesystem::path& host_path, bool read_only) {
    struct stat status {};
    if (::stat(host_path.c_str(), &status) != 0) {
        return false;
    }
    mode_t mode = status.st_mode & 07777;
    mode = read_only ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    return ::chmod(host_path.c_str(), mode) == 0;
}

}  // namespace tovarin::kernel
