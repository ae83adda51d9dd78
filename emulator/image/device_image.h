// A device image on the host disk: the folder of the device's "\", with
//   Windows/       the deliverables, the stand-ins and the phone's string libraries
//   My Documents/  the user's documents
//   registry/      the hives as .reg text files
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "image/built_files.h"

namespace tovarin::emulator {

std::filesystem::path WindowsFolderOf(const std::filesystem::path& image_root);
std::filesystem::path RegistryFolderOf(const std::filesystem::path& image_root);

struct PreparedImage {
    bool made = false;                 // the image was made now
    std::vector<std::wstring> copied;  // built files copied into \Windows now
    // Temporaries of saves that an emulator killed in the middle of a save left (removed now).
    std::vector<std::filesystem::path> removed_temporaries;
};

// Makes the image at image_root when it has no Windows folder yet (its folders and the default
// registry), then brings the built files in \Windows up to date: a file is copied when the image
// lacks it or when the build's file differs in size or time, so that an image follows the build.
// Temporaries left by a save that never finished are removed (see save_temporaries.h).
// Everything else in an existing image (registry, documents) is left as it is. False, with a
// description, when the image cannot be made or a file cannot be copied.
bool PrepareImage(const std::filesystem::path& image_root, const std::vector<BuiltFile>& files,
                  PreparedImage* prepared, std::string* error);

}  // namespace tovarin::emulator
