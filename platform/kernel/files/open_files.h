// The files that device code holds open, with the access and sharing of each handle, so that an
// open, a delete or a move that the device would refuse with ERROR_SHARING_VIOLATION is refused
// here too. Files are known by the host's device and inode numbers, whatever path or letter case
// opened them.
#pragma once

#include <sys/types.h>

#include <compare>
#include <filesystem>
#include <memory>
#include <cstdint>
#include <map>
#include <mutex>

#include <windef.h>

namespace tovarin::kernel {

struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    auto operator<=>(const FileId&) const = default;
};

class OpenFiles {
  public:
    // Checking for a conflict and acting on the result (opening, deleting) is one step under this
    // lock.
    std::mutex& mutex() { return mutex_; }

    // Lock held. Whether a new handle with this access (GENERIC_READ / GENERIC_WRITE) and share
    // mode (FILE_SHARE_READ / FILE_SHARE_WRITE) may be opened beside the handles open on `id`:
    // each side must share what the other side uses.
    bool Conflicts(const FileId& id, DWORD access, DWORD share) const;
    // Lock held. Whether any handle is open on `id` (a file cannot be deleted or moved then).
    bool IsOpen(const FileId& id) const;
    // Lock held. Enters a handle; returns the ticket that Remove takes.
    uint64_t Add(const FileId& id, DWORD access, DWORD share);

    // Takes the lock.
    void Remove(uint64_t ticket);

  private:
    struct Entry {
        FileId id;
        bool reads = false;
        bool writes = false;
        DWORD share = 0;
    };
    std::mutex mutex_;
    std::map<uint64_t, Entry> entries_;
    uint64_t next_ticket_ = 1;
};

// Handles of every device: a device's file handles are all closed when it shuts down.
OpenFiles& OpenFileTable();

// A file that the device uses while this object lives, as the loader uses a loaded module's
// file: it is read and shares only reading, so that writing, truncating, deleting or moving it
// fails with ERROR_SHARING_VIOLATION, for device code and the console alike. (Writing over a
// mapped library would pull the code from under the threads that run it.)
class FileInUse {
  public:
    // nullptr when the file cannot be looked at (it is then not held).
    static std::unique_ptr<FileInUse> Hold(const std::filesystem::path& host_path);
    ~FileInUse();
    FileInUse(const FileInUse&) = delete;
    FileInUse& operator=(const FileInUse&) = delete;

  private:
    explicit FileInUse(uint64_t ticket) : ticket_(ticket) {}
    const uint64_t ticket_;
};

// Whether an access mask reads or writes (GENERIC_ALL does both, GENERIC_EXECUTE reads).
bool AccessReads(DWORD access);
bool AccessWrites(DWORD access);

}  // namespace tovarin::kernel
