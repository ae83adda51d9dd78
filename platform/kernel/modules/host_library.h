// A shared object opened with the host's dynamic loader, closed when the object goes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "kernel/files/open_files.h"

struct link_map;

namespace tovarin::kernel::modules {

class HostLibrary {
  public:
    // Opens the file with every symbol bound at once and none made global, so that two modules
    // never see each other's symbols. nullptr on failure, with the loader's message in *error.
    // The file is in use (FileInUse) until the library is closed.
    static std::unique_ptr<HostLibrary> Open(const std::filesystem::path& file, std::string* error);
    // The host program itself.
    static std::unique_ptr<HostLibrary> OpenProgram(std::string* error);

    ~HostLibrary();
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    // The address of a symbol that this object defines itself; nullptr when it does not define
    // it, even if one of the libraries it depends on does.
    void* FindOwnSymbol(const char* name) const;

    // The address of a label that marks the end of a block of this object (one past its last
    // byte), which the host loader may not count as inside the object; nullptr as above.
    void* FindOwnEndLabel(const char* name) const;

  private:
    HostLibrary(void* handle, link_map* map) : handle_(handle), map_(map) {}
    bool Defines(const void* address) const;

    void* handle_;
    link_map* map_;
    std::unique_ptr<FileInUse> file_in_use_;  // released after the library is closed
};

}  // namespace tovarin::kernel::modules
