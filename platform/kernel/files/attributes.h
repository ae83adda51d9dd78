// What the device's file system reports about a host entry: attributes, times and size.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <windef.h>

#include "host/card_folders.h"

namespace tovarin::kernel {

struct EntryInfo {
    DWORD attributes = 0;
    FILETIME creation{};
    FILETIME last_access{};
    FILETIME last_write{};
    uint64_t size = 0;  // 0 for folders
};

// The entry at a host path (links followed), or nullopt with errno set.
//
// Attributes: a folder is FILE_ATTRIBUTE_DIRECTORY, plus FILE_ATTRIBUTE_TEMPORARY when it is a
// storage card's folder; a file is FILE_ATTRIBUTE_ARCHIVE, as a file that was written is on the
// device. FILE_ATTRIBUTE_READONLY is set when the host entry has no owner write permission.
// Times are the host's (creation falls back to the last write where the host keeps none).
std::optional<EntryInfo> InfoOf(const std::filesystem::path& host_path);

// True when the host path is the folder of a storage card: a folder in the image root named
// kStorageCardFolder (case-insensitively), or one that MarkStorageCardFolder marked.
bool IsStorageCardFolder(const std::filesystem::path& host_path);

bool IsReadOnly(const struct stat& status);

// Makes the entry read-only (no write permission for anyone) or writable by its owner.
bool SetReadOnly(const std::filesystem::path& host_path, bool read_only);

}  // namespace tovarin::kernel
