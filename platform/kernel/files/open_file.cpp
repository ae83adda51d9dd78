// Opening and creating files as CreateFileW does.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <winbase.h>

#include "host/folder_changes.h"
#include "kernel/files/attributes.h"
#include "host/device_paths.h"
#include "kernel/files/volumes.h"
#include "kernel/files/file_object.h"
#include "kernel/files/host_errors.h"

namespace tovarin::kernel {
namespace {

FileId IdOf(const struct stat& status) {
    return {status.st_dev, status.st_ino};
}

bool Truncates(DWORD disposition) {
    return disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
}

// What the device refuses about an existing file before anything is opened or truncated.
DWORD CheckExisting(const struct stat& status, const OpenRequest& request, const OpenFiles& open) {
    if (S_ISDIR(status.st_mode)) {
        return ERROR_ACCESS_DENIED;  // a folder cannot be opened as a file
    }
    if (request.disposition == CREATE_NEW) {
        return ERROR_FILE_EXISTS;
    }
    // The host's own permission check does not hold for every host user (root), so the
    // device's read-only attribute is enforced here.
    if (IsReadOnly(status) && (AccessWrites(request.access) || Truncates(request.disposition))) {
        return ERROR_ACCESS_DENIED;
    }
    // Truncating changes the file as writing does, whatever access the handle asks for.
    const DWORD access = request.access | (Truncates(request.disposition) ? GENERIC_WRITE : 0);
    if (open.Conflicts(IdOf(status), access, request.share)) {
        return ERROR_SHARING_VIOLATION;
    }
    return ERROR_SUCCESS;
}

int HostOpenFlags(const OpenRequest& request, bool exists) {
    const bool reads = AccessReads(request.access);
    // Truncating needs a descriptor that writes, even on a handle that only reads.
    const bool writes = AccessWrites(request.access) || (exists && Truncates(request.disposition));
    int flags = O_CLOEXEC | (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY);
    if (!exists) {
        flags |= O_CREAT | O_EXCL;
    }
    if (request.flags_and_attributes & FILE_FLAG_WRITE_THROUGH) {
        flags |= O_DSYNC;
    }
    return flags;
}

}  // namespace

std::optional<OpenedFile> OpenHostFile(const std::filesystem::path& host_path,
                                       const OpenRequest& request, DWORD* error) {
    if (request.disposition < CREATE_NEW || request.disposition > TRUNCATE_EXISTING) {
        *error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    if (request.disposition == TRUNCATE_EXISTING && !AccessWrites(request.access)) {
        *error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    OpenFiles& open_files = OpenFileTable();
    std::unique_lock lock(open_files.mutex());

    struct stat status {};
    const bool exists = ::stat(host_path.c_str(), &status) == 0;
    if (exists) {
        *error = CheckExisting(status, request, open_files);
        if (*error != ERROR_SUCCESS) {
            return std::nullopt;
        }
    } else if (errno != ENOENT) {
        *error = Win32ErrorForPath(errno, host_path, ERROR_ACCESS_DENIED);
        return std::nullopt;
    } else if (request.disposition == OPEN_EXISTING || request.disposition == TRUNCATE_EXISTING) {
        *error = MissingEntryError(host_path);
        return std::nullopt;
    }

    int fd = ::open(host_path.c_str(), HostOpenFlags(request, exists), 0666);
    if (fd < 0) {
        *error = errno == EEXIST ? ERROR_FILE_EXISTS
                                 : Win32ErrorForPath(errno, host_path, ERROR_ACCESS_DENIED);
        return std::nullopt;
    }
    struct stat opened {};
    if ((exists && Truncates(request.disposition) && ::ftruncate(fd, 0) != 0) ||
        ::fstat(fd, &opened) != 0) {
        *error = Win32ErrorFromErrno(errno, ERROR_WRITE_FAULT);
        ::close(fd);
        return std::nullopt;
    }
    const std::wstring volume = VolumeOf(DevicePathFor(host_path));
    if (exists && Truncates(request.disposition)) {
        GiveBackSimulatedSpace(volume, static_cast<uint64_t>(status.st_size));
    }
    if (!exists && (request.flags_and_attributes & FILE_ATTRIBUTE_READONLY)) {
        // The new file is read-only for later opens; this handle still writes, as on the device.
        ::fchmod(fd, opened.st_mode & 07555);
    }
    uint64_t ticket = open_files.Add(IdOf(opened), request.access, request.share);
    lock.unlock();
    if (!exists) {
        NotifyFolderChange(host_path, FolderChange::FileName);
    }
    return OpenedFile{std::make_shared<FileObject>(fd, request.access, ticket, volume), exists};
}

}  // namespace tovarin::kernel
