// String tables: a string's place among the resources, and its text.
//
// Strings are stored in blocks of 16: string `id` is entry id % 16 of the string table
// resource numbered id / 16 + 1. A block holds its 16 entries one after the other, each a
// 16-bit count of UTF-16 units followed by that many units (no terminating zero); an empty
// entry is a count of zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tovarin::kernel::resources {

inline constexpr unsigned kStringsPerBlock = 16;

// The resource name of the block that holds string `id` (ids are 16-bit; larger ones have none).
std::optional<uint16_t> StringBlockOf(uint32_t id);

// The text of entry `index` (below 16) of a block, as host wide characters (a UTF-16 surrogate
// pair becomes one character, a lone surrogate U+FFFD). Empty for an empty entry; nullopt when
// the block ends before the entry does.
std::optional<std::wstring> StringInBlock(std::span<const std::byte> block, unsigned index);

}  // namespace tovarin::kernel::resources
