#include "kernel/files/open_files.h"

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

OpenFiles& OpenFileTable() {
    // Never destroyed: a handle may be closed while static destruction runs.
    static OpenFiles* table = new OpenFiles;
    return *table;
}

}  // namespace tovarin::kernel
