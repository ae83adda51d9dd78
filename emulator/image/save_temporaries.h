// Temporary files of whole-file saves (a registry hive, the greeting list): a save writes
// "<file>.tmp.XXXXXX" and renames it over the file, so a temporary is left only by an emulator
// that was killed in the middle of a save. The device must never see one.
#pragma once

#include <filesystem>
#include <vector>

namespace tovarin::emulator {

// The temporaries of saves ("<file>.tmp.XXXXXX") anywhere in the image.
std::vector<std::filesystem::path> FindSaveTemporaries(const std::filesystem::path& image_root);

// Removes them; call it only while no emulator runs on the image. Returns those removed.
std::vector<std::filesystem::path> RemoveSaveTemporaries(const std::filesystem::path& image_root);

}  // namespace tovarin::emulator
