#include "kernel/files/file_object.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include <winbase.h>

#include "kernel/files/host_errors.h"
#include "kernel/files/volumes.h"

namespace tovarin::kernel {

FileObject::FileObject(int fd, DWORD access, uint64_t ticket, std::wstring volume)
    : fd_(fd), access_(access), ticket_(ticket), volume_(std::move(volume)) {}

FileObject::~FileObject() {
    ::close(fd_);
    OpenFileTable().Remove(ticket_);
}

bool FileObject::Read(void* buffer, DWORD size, DWORD* done, DWORD* error) {
    *done = 0;
    if (!AccessReads(access_)) {
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    std::lock_guard guard(mutex_);
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (*done < size) {
        ssize_t got = ::read(fd_, bytes + *done, size - *done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            *error = Win32ErrorFromErrno(errno, ERROR_READ_FAULT);
            return false;
        }
        if (got == 0) {
            break;  // the end of the file
        }
        *done += static_cast<DWORD>(got);
    }
    return true;
}

bool FileObject::Write(const void* buffer, DWORD size, DWORD* done, DWORD* error) {
    *done = 0;
    if (!AccessWrites(access_)) {
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    std::lock_guard guard(mutex_);
    struct stat status {};
    const off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position >= 0 && ::fstat(fd_, &status) == 0) {
        const uint64_t end = static_cast<uint64_t>(position) + size;
        const uint64_t current = static_cast<uint64_t>(status.st_size);
        if (end > current && !TakeSimulatedSpace(volume_, end - current)) {
            *error = ERROR_DISK_FULL;
            return false;
        }
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    while (*done < size) {
        ssize_t put = ::write(fd_, bytes + *done, size - *done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            *error = Win32ErrorFromErrno(errno, ERROR_WRITE_FAULT);
            return false;
        }
        *done += static_cast<DWORD>(put);
    }
    return true;
}

bool FileObject::Seek(int64_t distance, DWORD method, uint64_t* position, DWORD* error) {
    std::lock_guard guard(mutex_);
    int64_t base = 0;
    if (method == FILE_CURRENT) {
        base = ::lseek(fd_, 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat status {};
        base = ::fstat(fd_, &status) == 0 ? status.st_size : -1;
    } else if (method != FILE_BEGIN) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (base < 0) {
        *error = Win32ErrorFromErrno(errno, ERROR_INVALID_HANDLE);
        return false;
    }
    if ((distance < 0 && base + distance < 0) ||
        (distance > 0 && base > std::numeric_limits<int64_t>::max() - distance)) {
        *error = distance < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER;
        return false;
    }
    off_t moved = ::lseek(fd_, static_cast<off_t>(base + distance), SEEK_SET);
    if (moved < 0) {
        *error = Win32ErrorFromErrno(errno, ERROR_INVALID_PARAMETER);
        return false;
    }
    *position = static_cast<uint64_t>(moved);
    return true;
}

bool FileObject::Size(uint64_t* size, DWORD* error) {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        *error = Win32ErrorFromErrno(errno, ERROR_INVALID_HANDLE);
        return false;
    }
    *size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool FileObject::Flush(DWORD* error) {
    if (!AccessWrites(access_)) {
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (::fsync(fd_) != 0) {
        *error = Win32ErrorFromErrno(errno, ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

}  // namespace tovarin::kernel
