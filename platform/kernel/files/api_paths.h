// The path arguments of the file API, checked and mapped to the host.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <windef.h>

namespace tovarin::kernel {

enum class PathUse {
    Entry,    // names one file or folder: wildcards are not allowed
    Pattern,  // FindFirstFileW: the last component may hold * and ?
};

// The device path as the file system takes it: a path without a leading separator is taken
// from the root ("Windows\x" is "\Windows\x").
std::wstring AbsoluteDevicePath(std::wstring_view path);

// True for "\" (and "\\", "/"): the root folder, which cannot be created, removed or opened.
bool IsRootPath(std::wstring_view device_path);

// ERROR_SUCCESS when the text of a path argument can name an entry (or, for a pattern, entries),
// else the error that HostPathForApi reports for it.
DWORD CheckPathText(std::wstring_view path, PathUse use);

// The host path for a path argument, or nullopt with *error set: ERROR_INVALID_PARAMETER for
// NULL, ERROR_PATH_NOT_FOUND for an empty path or a device without files, ERROR_INVALID_NAME
// for characters a device file name cannot hold (control characters, < > : " |, and * ? outside
// a pattern) or a ".." component.
std::optional<std::filesystem::path> HostPathForApi(LPCWSTR path, PathUse use, DWORD* error);

}  // namespace tovarin::kernel
