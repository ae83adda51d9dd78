// FindResourceW, LoadResource, LockResource and SizeofResource over a module's compiled resources.
//
// An HRSRC stands for a record of the resource's place (its module and bytes), kept for the
// life of the host process: the same resource always gives the same HRSRC, and a stale HRSRC of
// an unloaded module is still a valid record whose bytes nobody reads without its module. The
// HGLOBAL of LoadResource is the address of the bytes themselves, so LockResource returns it as
// it is, as the device does for resources of a loaded module.
#include <algorithm>
#include <cwctype>
#include <deque>
#include <map>
#include <mutex>
#include <new>
#include <string>

#include <windows.h>

#include "kernel/handles.h"
#include "kernel/modules/modules.h"
#include "host/processes.h"
#include "kernel/resources/module_resources.h"
#include "kernel/resources/resource_finder.h"

using namespace tovarin::kernel;
using namespace tovarin::kernel::resources;

namespace {

struct FoundResource {
    HMODULE module = nullptr;
    std::span<const std::byte> bytes;
};

class FoundResources {
  public:
    const FoundResource* Remember(HMODULE module, std::span<const std::byte> bytes) {
        std::lock_guard guard(mutex_);
        auto found = by_address_.find(bytes.data());
        if (found != by_address_.end() && found->second->bytes.size() == bytes.size()) {
            found->second->module = module;
            return found->second;
        }
        records_.push_back({module, bytes});
        by_address_[bytes.data()] = &records_.back();
        return &records_.back();
    }

    const FoundResource* Find(HRSRC handle) const {
        std::lock_guard guard(mutex_);
        for (const FoundResource& record : records_) {
            if (reinterpret_cast<HRSRC>(const_cast<FoundResource*>(&record)) == handle) {
                return &record;
            }
        }
        return nullptr;
    }

    std::span<const std::byte> From(const std::byte* address) const {
        std::lock_guard guard(mutex_);
        auto next = by_address_.upper_bound(address);
        if (next == by_address_.begin()) {
            return {};
        }
        const FoundResource* record = std::prev(next)->second;
        const std::byte* begin = record->bytes.data();
        const std::byte* end = begin + record->bytes.size();
        if (address < begin || address >= end) {
            return {};
        }
        return {address, static_cast<size_t>(end - address)};
    }

  private:
    mutable std::mutex mutex_;
    std::deque<FoundResource> records_;  // a deque: records never move
    std::map<const std::byte*, FoundResource*> by_address_;
};

FoundResources& Found() {
    static FoundResources* found = new FoundResources();  // outlives every module and device
    return *found;
}

}  // namespace

namespace tovarin::kernel::resources {

HMODULE ModuleOfInstance(HINSTANCE instance) {
    if (instance) {
        return instance;
    }
    if (HMODULE image = processes::CurrentProcessModule()) {
        return image;
    }
    return GetModuleHandleW(nullptr);
}

ResourceId ResourceIdOf(LPCWSTR name_or_number) {
    if (IS_INTRESOURCE(name_or_number)) {
        return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name_or_number));
    }
    std::wstring text = name_or_number;
    if (text.size() > 1 && text[0] == L'#' &&
        std::all_of(text.begin() + 1, text.end(),
                    [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        unsigned long number = std::wcstoul(text.c_str() + 1, nullptr, 10);
        if (number <= 0xFFFF) {
            return static_cast<uint16_t>(number);
        }
    }
    std::u16string name;
    for (wchar_t c : text) {
        name.push_back(static_cast<char16_t>(c));  // resource names are plain ASCII words
    }
    return name;
}

std::optional<std::span<const std::byte>> FindModuleResource(HMODULE module, LPCWSTR type,
                                                             LPCWSTR name) {
    const std::span<const std::byte> image = modules::ResourcesOf(module);
    if (image.empty()) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    std::optional<std::vector<ResourceEntry>> entries = ParseResImage(image);
    if (!entries) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    const ResourceId wanted_type = ResourceIdOf(type);
    const ResourceId wanted_name = ResourceIdOf(name);
    if (const ResourceEntry* entry = FindResourceEntry(*entries, wanted_type, wanted_name)) {
        return entry->data;
    }
    const bool type_present = std::any_of(entries->begin(), entries->end(), [&](const auto& e) {
        return SameResourceId(e.type, wanted_type);
    });
    SetError(type_present ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return std::nullopt;
}

std::span<const std::byte> ResourceBytesFrom(const void* address) {
    return Found().From(static_cast<const std::byte*>(address));
}

}  // namespace tovarin::kernel::resources

extern "C" {

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    if (!lpName || !lpType) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    try {
        HMODULE module = ModuleOfInstance(hModule);
        std::optional<std::span<const std::byte>> bytes =
            FindModuleResource(module, lpType, lpName);
        if (!bytes) {
            return nullptr;
        }
        return reinterpret_cast<HRSRC>(
            const_cast<FoundResource*>(Found().Remember(module, *bytes)));
    } catch (const std::bad_alloc&) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
    const FoundResource* record = hResInfo ? Found().Find(hResInfo) : nullptr;
    if (!record) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (modules::ResourcesOf(record->module).empty()) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);  // its module has been unloaded
        return nullptr;
    }
    return const_cast<std::byte*>(record->bytes.data());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
    const FoundResource* record = hResInfo ? Found().Find(hResInfo) : nullptr;
    if (!record) {
        SetError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(record->bytes.size());
}

}  // extern "C"
