// Finding one resource of a module by type, name and language.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "kernel/resources/res_image.h"

namespace tovarin::kernel::resources {

// The language of the device's user interface: the phone is Russian.
inline constexpr uint16_t kDeviceUiLanguage = 0x0419;  // LANG_RUSSIAN, SUBLANG_DEFAULT

// Numbered types of the resources the platform reads.
inline constexpr uint16_t kStringTableType = 6;  // RT_STRING

// The resource of this type and name in the language closest to `language`: that language
// itself, then the same primary language with another sublanguage, then a neutral one
// (LANG_NEUTRAL with any sublanguage), then any other; among equals the first in the image.
// nullptr when the image has no resource of this type and name.
const ResourceEntry* FindResourceEntry(const std::vector<ResourceEntry>& entries,
                                       const ResourceId& type, const ResourceId& name,
                                       uint16_t language = kDeviceUiLanguage);

}  // namespace tovarin::kernel::resources
