// Whole-file reads and writes on the host disk for the component objects.
#pragma once

#include <windef.h>
#include <winerror.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tovarin::com {

// The bytes of a regular file; nullopt when it is missing, not a regular file or unreadable.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Replaces the file's content so that a reader sees either the old or the new content, never a
// mix (a temporary file beside it is flushed and renamed over it). The folder must exist, as on
// the device: HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) otherwise; E_FAIL when the write fails,
// which leaves the old file as it was.
HRESULT ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tovarin::com
