// What the device's file system reports about a host entry: attributes, times and size.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <windef.h>

namespace tovarin::kernel {

// The folder in the root that a storage card is mounted on while it is inserted.
inline constexpr wchar_t kStorageCardFolder[] = L"Storage Card";

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

// Marks a host folder as a storage card's folder (a card with another name than
// kStorageCardFolder), with an extended attribute of the host file system, so that the mark
// stays with the image. False, with the reason, when the host file system keeps no such
// attributes.
bool MarkStorageCardFolder(const std::filesystem::path& host_folder, std::string* error);
bool HasStorageCardMark(const std::filesystem::path& host_folder);

bool IsReadOnly(const struct stat& status);

// Makes the entry read-only (no write permission for anyone) or writable by its owner.
bool SetReadOnly(const std::filesystem::path& host_path, bool read_only);

}  // namespace tovarin::kernel
