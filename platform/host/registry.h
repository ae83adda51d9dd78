// The registry as the host sees it: the registry of a device (to save it at once, or to learn what
// its boot found in the hive files), or the hives of an image's folder while no device uses them
// (to write an image's default registry, or to preset what a test needs).
#pragma once

#include <windef.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tovarin::kernel {

class Device;
class Registry;

class HostRegistry {
  public:
    // The registry of a device that is up.
    explicit HostRegistry(Device& device);
    // The hives of a folder: loaded now, saved by Flush and when the object goes. An empty folder
    // keeps them in memory only.
    explicit HostRegistry(const std::filesystem::path& hive_dir);
    ~HostRegistry();
    HostRegistry(const HostRegistry&) = delete;
    HostRegistry& operator=(const HostRegistry&) = delete;

    // Saves the changed hives now. False when a hive could not be written.
    bool Flush();
    // What went wrong while loading the hives, one message per problem, naming file and line,
    // and the temporary files of an interrupted save that were removed.
    std::vector<std::wstring> LoadMessages() const;
    // Whether the hive of a root (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) came from its file: false
    // when the file was missing, unreadable or set aside, and for a memory-only registry.
    bool LoadedFromFile(HKEY root) const;

    // The registry calls, with the documented Win32 error codes; sizes of value data in bytes.
    LONG CreateKey(HKEY key, LPCWSTR sub_key, HKEY* result, DWORD* disposition);
    LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size);
    LONG CloseKey(HKEY key);

  private:
    std::unique_ptr<Registry> own_;  // the folder's hives; none for a device's registry
    Registry& registry_;
};

}  // namespace tovarin::kernel
