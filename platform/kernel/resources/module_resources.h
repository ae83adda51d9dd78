// The resources of a loaded module as the resource calls see them: finding one by type and name,
// and the records behind HRSRC values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include <windows.h>

#include "kernel/resources/res_image.h"

namespace tovarin::kernel::resources {

// NULL names the module of the program that runs: the image of the calling process, or the host
// program on threads that belong to no device process.
HMODULE ModuleOfInstance(HINSTANCE instance);

// A type or name as the API takes it: MAKEINTRESOURCE(n), "#n" (a number written out) or a name.
ResourceId ResourceIdOf(LPCWSTR name_or_number);

// The bytes of a module's resource in the language closest to the device's user interface.
// nullopt with the last error set: ERROR_RESOURCE_DATA_NOT_FOUND (no or damaged resources),
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
std::optional<std::span<const std::byte>> FindModuleResource(HMODULE module, LPCWSTR type,
                                                             LPCWSTR name);

// The resource (found through FindResourceW) whose bytes hold `address`, from the address to the
// resource's end; empty when the address lies in no resource found so far. Lets a reader of a
// template given by address stop at the end of its resource.
std::span<const std::byte> ResourceBytesFrom(const void* address);

}  // namespace tovarin::kernel::resources
