// CreateDirectoryW and RemoveDirectoryW.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <winbase.h>

#include "host/folder_changes.h"
#include "kernel/files/api_paths.h"
#include "kernel/files/attributes.h"
#include "kernel/files/host_errors.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

BOOL Fail(DWORD error) {
    SetError(error);
    return FALSE;
}

}  // namespace

extern "C" {

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
    (void)lpSecurityAttributes;  // the device has no file security
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpPathName, PathUse::Entry, &error);
    if (!host) {
        return Fail(error);
    }
    if (IsRootPath(AbsoluteDevicePath(lpPathName))) {
        return Fail(ERROR_ALREADY_EXISTS);
    }
    if (::mkdir(host->c_str(), 0777) != 0) {
        // Any entry of that name, file or folder, is "already exists"; a missing parent is a
        // missing path, never a missing file.
        if (errno == EEXIST) {
            return Fail(ERROR_ALREADY_EXISTS);
        }
        return Fail(errno == ENOENT || errno == ENOTDIR
                        ? ERROR_PATH_NOT_FOUND
                        : Win32ErrorFromErrno(errno, ERROR_ACCESS_DENIED));
    }
    NotifyFolderChange(*host, FolderChange::DirName);
    return TRUE;
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(lpPathName, PathUse::Entry, &error);
    if (!host) {
        return Fail(error);
    }
    // The root and a storage card's mount folder belong to the file system, not to programs.
    if (IsRootPath(AbsoluteDevicePath(lpPathName)) || IsStorageCardFolder(*host)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    struct stat status {};
    if (::stat(host->c_str(), &status) != 0) {
        return Fail(Win32ErrorForPath(errno, *host, ERROR_ACCESS_DENIED));
    }
    if (!S_ISDIR(status.st_mode)) {
        return Fail(ERROR_DIRECTORY);
    }
    if (IsReadOnly(status)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (::rmdir(host->c_str()) != 0) {
        return Fail(errno == EEXIST || errno == ENOTEMPTY
                        ? ERROR_DIR_NOT_EMPTY
                        : Win32ErrorForPath(errno, *host, ERROR_ACCESS_DENIED));
    }
    NotifyFolderChange(*host, FolderChange::DirName);
    return TRUE;
}

}  // extern "C"
