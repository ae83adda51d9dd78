// Storage cards as the host makes them: a card is a folder in the image root that the device's
// file system reports with FILE_ATTRIBUTE_TEMPORARY (the console's "card insert").
#pragma once

#include <filesystem>
#include <string>

namespace tovarin::kernel {

// The folder in the root that a storage card is mounted on while it is inserted.
inline constexpr wchar_t kStorageCardFolder[] = L"Storage Card";

// Marks a host folder as a storage card's folder (a card with another name than
// kStorageCardFolder), with an extended attribute of the host file system, so that the mark
// stays with the image. False, with the reason, when the host file system keeps no such
// attributes.
bool MarkStorageCardFolder(const std::filesystem::path& host_folder, std::string* error);
bool HasStorageCardMark(const std::filesystem::path& host_folder);

}  // namespace tovarin::kernel
