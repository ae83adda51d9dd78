#include "kernel/resources/string_table.h"

#include "kernel/strings/utf16.h"

namespace tovarin::kernel::resources {

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
    const std::u16string units = Utf16Units(block);
    size_t at = 0;
    for (unsigned entry = 0;; ++entry) {
        if (at >= units.size()) {
            return std::nullopt;
        }
        const size_t length = units[at++];
        if (length > units.size() - at) {
            return std::nullopt;
        }
        if (entry == index) {
            return Utf16ToWide(std::u16string_view(units).substr(at, length),
                               LoneSurrogates::Replace);
        }
        at += length;
    }
}

}  // namespace tovarin::kernel::resources
