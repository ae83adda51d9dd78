#include "kernel/files/host_errors.h"

#include <sys/stat.h>

#include <cerrno>

#include <winerror.h>

namespace tovarin::kernel {

DWORD Win32ErrorFromErrno(int error, DWORD fallback) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERROR_DISK_FULL;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENAMETOOLONG:
        case EILSEQ:
            return ERROR_INVALID_NAME;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        default:
            return fallback;
    }
}

DWORD MissingEntryError(const std::filesystem::path& host_path) {
    struct stat folder {};
    if (::stat(host_path.parent_path().c_str(), &folder) == 0 && S_ISDIR(folder.st_mode)) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_PATH_NOT_FOUND;
}

DWORD Win32ErrorForPath(int error, const std::filesystem::path& host_path, DWORD fallback) {
    if (error == ENOENT || error == ENOTDIR) {
        return MissingEntryError(host_path);
    }
    return Win32ErrorFromErrno(error, fallback);
}

}  // namespace tovarin::kernel
