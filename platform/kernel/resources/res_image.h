// The compiled resources of a module: a .res image as the resource compiler writes it.
//
// The image is a sequence of records, each starting on a 4-byte boundary:
//     DWORD data size, DWORD header size,
//     type and name: each either 0xFFFF followed by a 16-bit number, or a zero-terminated
//                    UTF-16 name,
//     padding to a 4-byte boundary,
//     DWORD data version, WORD memory flags, WORD language, DWORD version,
//     DWORD characteristics (the rest of the header, whose size the record gives),
//     the data, and padding to a 4-byte boundary.
// Every number is little-endian. The compiler starts the image with an empty record of type 0,
// which marks the format; it is not a resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tovarin::kernel::resources {

// A resource type or name: a number, or a name (which the compiler stores in capitals).
using ResourceId = std::variant<uint16_t, std::u16string>;

// Whether a stored id is the one asked for: numbers equal, or names equal apart from the case
// of ASCII letters (FindResource takes names case-insensitively).
bool SameResourceId(const ResourceId& stored, const ResourceId& wanted);

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    uint16_t language = 0;
    std::span<const std::byte> data;  // inside the image
};

// The resources of an image, in the order of the image, without the leading empty record.
// nullopt when the image is damaged anywhere: a record that does not fit in what is left, a
// header too short for its fields, a name without its terminating zero. Reads nothing outside
// the image.
std::optional<std::vector<ResourceEntry>> ParseResImage(std::span<const std::byte> image);

}  // namespace tovarin::kernel::resources
