// Folder-change notifications: what the file calls and the emulator's console report when an
// entry's name appears or goes, and the watches (FindFirstChangeNotificationW) that wake on it.
#pragma once

#include <filesystem>

namespace tovarin::kernel {

enum class FolderChange {
    FileName,  // a file was created, deleted or renamed
    DirName,   // a folder was created, removed or renamed (a storage card came or went)
};

// The entry at host_path (under the image root of the device that is up) was created, deleted
// or renamed: signals every watch that sees its folder with a matching filter. A rename reports
// the old and the new path. Does nothing when no device is up.
void NotifyFolderChange(const std::filesystem::path& host_path, FolderChange change);

}  // namespace tovarin::kernel
