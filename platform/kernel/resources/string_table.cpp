#include "kernel/resources/string_table.h"

namespace tovarin::kernel::resources {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The 16-bit little-endian unit at `index`; the caller has checked the bounds.
uint16_t UnitAt(std::span<const std::byte> bytes, size_t index) {
    return static_cast<uint16_t>(std::to_integer<unsigned>(bytes[2 * index]) |
                                 std::to_integer<unsigned>(bytes[2 * index + 1]) << 8);
}

std::wstring DecodeUtf16(std::span<const std::byte> bytes, size_t units) {
    std::wstring text;
    text.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        const uint16_t unit = UnitAt(bytes, i);
        if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(UnitAt(bytes, i + 1))) {
            const uint32_t low = UnitAt(bytes, ++i);
            text.push_back(
                static_cast<wchar_t>(0x10000 + ((unit - 0xD800u) << 10) + (low - 0xDC00u)));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            text.push_back(kReplacement);
        } else {
            text.push_back(static_cast<wchar_t>(unit));
        }
    }
    return text;
}

}  // namespace

std::optional<uint16_t> StringBlockOf(uint32_t id) {
    if (id > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(id / kStringsPerBlock + 1);
}

std::optional<std::wstring> StringInBlock(std::span<const std::byte> block, unsigned index) {
    if (index >= kStringsPerBlock) {
        return std::nullopt;
    }
    const size_t block_units = block.size() / 2;
    size_t at = 0;  // in units
    for (unsigned entry = 0;; ++entry) {
        if (at >= block_units) {
            return std::nullopt;
        }
        const size_t length = UnitAt(block, at++);
        if (length > block_units - at) {
            return std::nullopt;
        }
        if (entry == index) {
            return DecodeUtf16(block.subspan(2 * at), length);
        }
        at += length;
    }
}

}  // namespace tovarin::kernel::resources
