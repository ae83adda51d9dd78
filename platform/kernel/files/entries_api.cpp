// DeleteFileW, MoveFileW, GetFileAttributesW and SetFileAttributesW.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include <winbase.h>

#include "host/folder_changes.h"
#include "kernel/files/api_paths.h"
#include "kernel/files/attributes.h"
#include "host/device_paths.h"
#include "kernel/files/host_errors.h"
#include "kernel/files/open_files.h"
#include "kernel/files/volumes.h"
#include "host/text.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

BOOL Fail(DWORD error) {
    SetError(error);
    return FALSE;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

FileId IdOf(const struct stat& status) {
    return {status.st_dev, status.st_ino};
}

// The last component of a device path as the caller wrote it ("B.txt" of "\a\B.txt\").
std::wstring LastComponent(std::wstring_view path) {
    size_t end = path.size();
    while (end > 0 && IsSeparator(path[end - 1])) {
        --end;
    }
    size_t start = end;
    while (start > 0 && !IsSeparator(path[start - 1])) {
        --start;
    }
    return std::wstring(path.substr(start, end - start));
}

// Renames on the host; a move to another host file system copies a file and removes the source.
int HostRename(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    if (errno != EXDEV || std::filesystem::is_directory(from)) {
        return errno;
    }
    std::error_code error;
    std::filesystem::copy_file(from, to, error);
    if (error) {
        return error.value();
    }
    return std::filesystem::remove(from, error) ? 0 : error.value();
}

// The bytes of the files of an entry (a file, or a folder with everything below it).
uint64_t BytesOf(const std::filesystem::path& entry, const struct stat& status) {
    if (!S_ISDIR(status.st_mode)) {
        return static_cast<uint64_t>(status.st_size);
    }
    uint64_t bytes = 0;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(entry, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code size_error;
        if (it->is_regular_file(size_error)) {
            bytes += it->file_size(size_error);
        }
    }
    return bytes;
}

}  // namespace

extern "C" {

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpFileName, PathUse::Entry, &error);
    if (!host) {
        return Fail(error);
    }
    OpenFiles& open_files = OpenFileTable();
    std::lock_guard guard(open_files.mutex());
    struct stat status {};
    if (::stat(host->c_str(), &status) != 0) {
        return Fail(Win32ErrorForPath(errno, *host, ERROR_ACCESS_DENIED));
    }
    if (S_ISDIR(status.st_mode) || IsReadOnly(status)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (open_files.IsOpen(IdOf(status))) {
        return Fail(ERROR_SHARING_VIOLATION);
    }
    if (::unlink(host->c_str()) != 0) {
        return Fail(Win32ErrorForPath(errno, *host, ERROR_ACCESS_DENIED));
    }
    if (status.st_nlink == 1) {
        GiveBackSimulatedSpace(VolumeOf(DevicePathFor(*host)),
                               static_cast<uint64_t>(status.st_size));
    }
    NotifyFolderChange(*host, FolderChange::FileName);
    return TRUE;
}

BOOL WINAPI MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> from =
        HostPathForApi(lpExistingFileName, PathUse::Entry, &error);
    if (!from) {
        return Fail(error);
    }
    std::optional<std::filesystem::path> to = HostPathForApi(lpNewFileName, PathUse::Entry, &error);
    if (!to) {
        return Fail(error);
    }
    if (IsRootPath(AbsoluteDevicePath(lpExistingFileName)) || IsStorageCardFolder(*from)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    OpenFiles& open_files = OpenFileTable();
    std::lock_guard guard(open_files.mutex());
    struct stat source {};
    if (::stat(from->c_str(), &source) != 0) {
        return Fail(Win32ErrorForPath(errno, *from, ERROR_ACCESS_DENIED));
    }
    if (open_files.IsOpen(IdOf(source))) {
        return Fail(ERROR_SHARING_VIOLATION);
    }
    struct stat target {};
    if (::stat(to->c_str(), &target) == 0) {
        if (IdOf(target) != IdOf(source)) {
            return Fail(ERROR_ALREADY_EXISTS);
        }
        // The new name is the old one in another letter case: the entry takes the new spelling.
        *to = to->parent_path() / WideToUtf8(LastComponent(lpNewFileName));
    }
    // A move to the other volume uses up its space and gives the bytes back to the first one.
    const std::wstring from_volume = VolumeOf(DevicePathFor(*from));
    const std::wstring to_volume = VolumeOf(DevicePathFor(*to));
    const uint64_t moved_bytes = from_volume != to_volume ? BytesOf(*from, source) : 0;
    if (!TakeSimulatedSpace(to_volume, moved_bytes)) {
        return Fail(ERROR_DISK_FULL);
    }
    int failure = HostRename(*from, *to);
    if (failure != 0) {
        GiveBackSimulatedSpace(to_volume, moved_bytes);
        return Fail(Win32ErrorForPath(failure, *to, ERROR_ACCESS_DENIED));
    }
    GiveBackSimulatedSpace(from_volume, moved_bytes);
    const FolderChange change =
        S_ISDIR(source.st_mode) ? FolderChange::DirName : FolderChange::FileName;
    NotifyFolderChange(*from, change);
    NotifyFolderChange(*to, change);
    return TRUE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpFileName, PathUse::Entry, &error);
    if (!host) {
        SetError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (IsRootPath(AbsoluteDevicePath(lpFileName))) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    std::optional<EntryInfo> info = InfoOf(*host);
    if (!info) {
        SetError(Win32ErrorForPath(errno, *host, ERROR_ACCESS_DENIED));
        return INVALID_FILE_ATTRIBUTES;
    }
    return info->attributes;
}

BOOL WINAPI SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpFileName, PathUse::Entry, &error);
    if (!host) {
        return Fail(error);
    }
    if (IsRootPath(AbsoluteDevicePath(lpFileName))) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    struct stat status {};
    if (::stat(host->c_str(), &status) != 0) {
        return Fail(Win32ErrorForPath(errno, *host, ERROR_ACCESS_DENIED));
    }
    // The host keeps only the read-only attribute (as its write permission); hidden, system and
    // archive are accepted and not kept.
    const bool read_only = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only != IsReadOnly(status) && !SetReadOnly(*host, read_only)) {
        return Fail(Win32ErrorFromErrno(errno, ERROR_ACCESS_DENIED));
    }
    return TRUE;
}

}  // extern "C"
