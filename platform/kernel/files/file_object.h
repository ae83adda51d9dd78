// An open file of the device: what CreateFileW returns for a path, and the I/O on it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <windef.h>

#include "kernel/files/open_files.h"
#include "kernel/object.h"

namespace tovarin::kernel {

class FileObject final : public KernelObject {
  public:
    // Takes ownership of the host descriptor and of the open-file ticket. volume: the device
    // path of the file's volume, whose simulated free space its writes use up.
    FileObject(int fd, DWORD access, uint64_t ticket, std::wstring volume = L"\\");
    ~FileObject() override;
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    const char* TypeName() const override { return "file"; }
    DWORD access() const { return access_; }

    // I/O at the handle's file pointer. Each returns false with *error set to the Win32 code.
    // Reading at or past the end succeeds with 0 bytes; writing extends the file, and a write
    // that would extend it beyond the volume's simulated free space fails with ERROR_DISK_FULL,
    // writing nothing.
    bool Read(void* buffer, DWORD size, DWORD* done, DWORD* error);
    bool Write(const void* buffer, DWORD size, DWORD* done, DWORD* error);
    // Moves the pointer by `distance` from FILE_BEGIN, FILE_CURRENT or FILE_END. A position
    // before the start fails with ERROR_NEGATIVE_SEEK and leaves the pointer where it was.
    bool Seek(int64_t distance, DWORD method, uint64_t* position, DWORD* error);
    bool Size(uint64_t* size, DWORD* error);
    bool Flush(DWORD* error);

  private:
    std::mutex mutex_;  // one operation at a time moves the pointer
    const int fd_;
    const DWORD access_;
    const uint64_t ticket_;
    const std::wstring volume_;
};

struct OpenRequest {
    DWORD access = 0;       // GENERIC_READ / GENERIC_WRITE, or 0 to query
    DWORD share = 0;        // FILE_SHARE_READ / FILE_SHARE_WRITE
    DWORD disposition = 0;  // CREATE_NEW ... TRUNCATE_EXISTING
    DWORD flags_and_attributes = 0;
};

struct OpenedFile {
    std::shared_ptr<FileObject> file;
    bool existed = false;  // the file was there before (CREATE_ALWAYS / OPEN_ALWAYS report it)
};

// Opens or creates the file at a host path as CreateFileW does, with its documented errors:
// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND, ERROR_FILE_EXISTS (CREATE_NEW), ERROR_ACCESS_DENIED
// (a folder, or writing a read-only file), ERROR_SHARING_VIOLATION.
std::optional<OpenedFile> OpenHostFile(const std::filesystem::path& host_path,
                                       const OpenRequest& request, DWORD* error);

}  // namespace tovarin::kernel
