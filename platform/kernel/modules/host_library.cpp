#include "kernel/modules/host_library.h"

#include <dlfcn.h>
#include <link.h>

namespace tovarin::kernel::modules {
namespace {

std::string LastLoaderError() {
    const char* message = dlerror();
    return message ? message : "unknown error of the host loader";
}

}  // namespace

std::unique_ptr<HostLibrary> HostLibrary::Open(const std::filesystem::path& file,
                                               std::string* error) {
    // A path without a slash would send the host loader searching its own folders.
    std::filesystem::path absolute = file.is_absolute() ? file : "./" / file;
    void* handle = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        *error = LastLoaderError();
        return nullptr;
    }
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) {
        *error = LastLoaderError();
        dlclose(handle);
        return nullptr;
    }
    std::unique_ptr<HostLibrary> library(new HostLibrary(handle, map));
    library->file_in_use_ = FileInUse::Hold(absolute);
    return library;
}

std::unique_ptr<HostLibrary> HostLibrary::OpenProgram(std::string* error) {
    void* handle = dlopen(nullptr, RTLD_NOW);
    link_map* map = nullptr;
    if (!handle || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) {
        *error = LastLoaderError();
        if (handle) {
            dlclose(handle);
        }
        return nullptr;
    }
    return std::unique_ptr<HostLibrary>(new HostLibrary(handle, map));
}

HostLibrary::~HostLibrary() {
    dlclose(handle_);
}

bool HostLibrary::Defines(const void* address) const {
    Dl_info info{};
    link_map* owner = nullptr;
    return dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) != 0 &&
           owner == map_;
}

void* HostLibrary::FindOwnSymbol(const char* name) const {
    // dlsym on a handle searches the object and then its dependencies; only the first counts.
    void* address = dlsym(handle_, name);
    return address && Defines(address) ? address : nullptr;
}

void* HostLibrary::FindOwnEndLabel(const char* name) const {
    void* address = dlsym(handle_, name);
    if (!address) {
        return nullptr;
    }
    const char* last_byte = static_cast<const char*>(address) - 1;
    return Defines(address) || Defines(last_byte) ? address : nullptr;
}

}  // namespace tovarin::kernel::modules
