// The files of the build that a device image carries in \Windows: the five deliverables, the
// emulator's stand-ins and the phone's string libraries. Their host paths are fixed when the
// build is configured.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tovarin::emulator {

struct BuiltFile {
    std::wstring device_name;  // the file's name in \Windows ("Ansley.dll"), or its device path
    std::filesystem::path host_path;
};

const std::vector<BuiltFile>& BuiltFiles();

}  // namespace tovarin::emulator
