#include "kernel/files/open_files.h"

#include <sys/stat.h>

#include <winbase.h>

namespace tovarin::kernel {

bool AccessReads(DWORD access) {
    return (access & (GENERIC_READ | GENERIC_ALL | GENERIC_EXECUTE)) != 0;
}

bool AccessWrites(DWORD access) {
    return (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
}

bool OpenFiles::Conflicts(const FileId& id, DWORD access, DWORD share) const {
    const bool reads = AccessReads(access);
    const bool writes = AccessWrites(access);
    for (const auto& [ticket, open] : entries_) {
        if (open.id != id) {
            continue;
        }
        if ((reads && !(open.share & FILE_SHARE_READ)) ||
            (writes && !(open.share & FILE_SHARE_WRITE)) ||
            (open.reads && !(share & FILE_SHARE_READ)) ||
            (open.writes && !(share & FILE_SHARE_WRITE))) {
            return true;
        }
    }
    return false;
}

bool OpenFiles::IsOpen(const FileId& id) const {
    for (const auto& [ticket, open] : entries_) {
        if (open.id == id) {
            return true;
        }
    }
    return false;
}

uint64_t OpenFiles::Add(const FileId& id, DWORD access, DWORD share) {
    uint64_t ticket = next_ticket_++;
    entries_.emplace(ticket, Entry{id, AccessReads(access), AccessWrites(access), share});
    return ticket;
}

void OpenFiles::Remove(uint64_t ticket) {
    std::lock_guard guard(mutex_);
    entries_.erase(ticket);
}

std::unique_ptr<FileInUse> FileInUse::Hold(const std::filesystem::path& host_path) {
    struct stat status {};
    if (::stat(host_path.c_str(), &status) != 0) {
        return nullptr;
    }
    OpenFiles& table = OpenFileTable();
    std::lock_guard guard(table.mutex());
    const uint64_t ticket =
        table.Add({status.st_dev, status.st_ino}, GENERIC_READ, FILE_SHARE_READ);
    return std::unique_ptr<FileInUse>(new FileInUse(ticket));
}

FileInUse::~FileInUse() {
    OpenFileTable().Remove(ticket_);
}

OpenFiles& OpenFileTable() {
    // Never destroyed: a handle may be closed while static destruction runs.
    static OpenFiles* table = new OpenFiles;
    return *table;
}

}  // namespace tovarin::kernel
