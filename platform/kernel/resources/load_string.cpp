// LoadStringW (winuser.h): a string of a module's string tables.
//
// The string comes from the block in the language closest to the device's user interface (see
// FindResourceEntry); a string missing from that block is missing, as on the device, even when
// a block of another language has it.
//
// Errors: a module without resources (or a handle that is not a module's) or with damaged
// ones gives ERROR_RESOURCE_DATA_NOT_FOUND; a string that is not there (no block, an empty
// entry, an id past 0xFFFF) ERROR_RESOURCE_NAME_NOT_FOUND. lpBuffer NULL gives
// ERROR_INVALID_PARAMETER: the device's variant that returns the string's address as the
// result cannot carry a host pointer in an int; the zero-sized buffer form does that job.
#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

#include "host/device.h"
#include "kernel/handles.h"
#include "kernel/modules/modules.h"
#include "host/processes.h"
#include "kernel/resources/res_image.h"
#include "kernel/resources/resource_finder.h"
#include "kernel/resources/string_pool.h"
#include "kernel/resources/string_table.h"
#include "host/trace.h"

using namespace tovarin::kernel;
using namespace tovarin::kernel::resources;

namespace {

// NULL names the module of the program that runs: the image of the calling process, or the
// host program on threads that belong to no device process.
HMODULE ModuleOf(HINSTANCE instance) {
    if (instance) {
        return instance;
    }
    if (HMODULE image = processes::CurrentProcessModule()) {
        return image;
    }
    return GetModuleHandleW(nullptr);
}

void TraceDamagedResources(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    Device& device = Device::Current();
    device.trace().Write(
        {device.NowMs(), L"",
         L"LoadString: the resources of " + std::wstring(path) + L" are damaged\r\n"});
}

// The text of string `id` of the module, or nullopt with the last error set.
std::optional<std::wstring> FindString(HMODULE module, UINT id) {
    const std::span<const std::byte> image = modules::ResourcesOf(module);
    if (image.empty()) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    std::optional<std::vector<ResourceEntry>> entries = ParseResImage(image);
    if (!entries) {
        TraceDamagedResources(module);
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (std::optional<uint16_t> block = StringBlockOf(id)) {
        if (const ResourceEntry* entry =
                FindResourceEntry(*entries, kStringTableType, *block, kDeviceUiLanguage)) {
            text = StringInBlock(entry->data, id % kStringsPerBlock);
        }
    }
    if (!text || text->empty()) {
        SetError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return std::nullopt;
    }
    return text;
}

int CopyString(HINSTANCE instance, UINT id, LPWSTR buffer, int buffer_chars) {
    if (!buffer || buffer_chars < 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::optional<std::wstring> text = FindString(ModuleOf(instance), id);
    if (!text) {
        return 0;
    }
    if (buffer_chars == 0) {
        // The buffer receives a pointer to the string itself, which is not to be written.
        const wchar_t* resource = ReadOnlyCopy(*text);
        std::memcpy(buffer, &resource, sizeof resource);
        return static_cast<int>(text->size());
    }
    const size_t copied = std::min(text->size(), static_cast<size_t>(buffer_chars) - 1);
    std::wmemcpy(buffer, text->data(), copied);
    buffer[copied] = L'\0';
    return static_cast<int>(copied);
}

}  // namespace

extern "C" {

int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    try {
        return CopyString(hInstance, uID, lpBuffer, cchBufferMax);
    } catch (const std::bad_alloc&) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

}  // extern "C"
