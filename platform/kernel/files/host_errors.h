// Win32 error codes for what the host's file system reports.
#pragma once

#include <filesystem>

#include <windef.h>

namespace tovarin::kernel {

// The code for a failed host call's errno. `fallback` is used for errors that have no closer
// Win32 meaning (an I/O error while reading is ERROR_READ_FAULT, while writing ERROR_WRITE_FAULT).
DWORD Win32ErrorFromErrno(int error, DWORD fallback);

// For an entry that does not exist: ERROR_FILE_NOT_FOUND when its folder exists,
// ERROR_PATH_NOT_FOUND when the folder itself is missing (or is a file).
DWORD MissingEntryError(const std::filesystem::path& host_path);

// Win32ErrorFromErrno, with a missing entry told apart by MissingEntryError.
DWORD Win32ErrorForPath(int error, const std::filesystem::path& host_path, DWORD fallback);

}  // namespace tovarin::kernel
