// Hive files on the host disk: loading one into a tree, writing one so that a reader never sees
// it half-written, and setting aside a file that cannot be read.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/registry/key_tree.h"

namespace tovarin::kernel::registry {

struct HiveLoadResult {
    // Problems worth telling a person, each naming the file (and the line, for a syntax error).
    std::vector<std::wstring> messages;
    // False when the file could not be read or set aside: saving over it would destroy it.
    bool savable = true;
    // The root holds the file's keys: false for a missing, unreadable or set-aside file.
    bool loaded = false;
};

// Loads file into root (a fresh root). A missing file is an empty hive. A file that does not
// parse is renamed to "<file>.bad" (".bad.2", ".bad.3", ... when earlier ones exist) and the root
// stays empty.
HiveLoadResult LoadHive(const std::filesystem::path& file, std::wstring_view root_name,
                        KeyNode& root);

// Writes the content to a temporary file of a unique name ("<file>.tmp.XXXXXX") in the same
// folder, flushes it to the disk and renames it over file, so that two writers never share a
// temporary file. Creates the folder when needed. On failure returns false with a description.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view content,
                         std::string* error);

// Removes the temporary files that a writer of file left when it was killed during a save.
// Returns the names of those removed. Call it only while no one writes file.
std::vector<std::filesystem::path> RemoveStaleTemporaries(const std::filesystem::path& file);

// Renames file to the first free "<file>.bad", "<file>.bad.2", ...; nullopt when it fails.
std::optional<std::filesystem::path> SetAside(const std::filesystem::path& file,
                                              std::string* error);

}  // namespace tovarin::kernel::registry
