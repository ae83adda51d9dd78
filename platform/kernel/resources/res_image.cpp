#include "kernel/resources/res_image.h"

#include <algorithm>

namespace tovarin::kernel::resources {
namespace {

constexpr uint16_t kNumberedId = 0xFFFF;
// Data version, memory flags, language, version and characteristics.
constexpr size_t kHeaderTailSize = 16;
constexpr size_t kLanguageOffsetInTail = 6;

size_t AlignedToDword(size_t offset) {
    return (offset + 3) & ~size_t{3};
}

// Little-endian reads within one bounded range of the image. Every read checks the range
// first; a failed read leaves the value alone and returns false.
class BoundedReader {
  public:
    explicit BoundedReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    size_t size() const { return bytes_.size(); }

    bool Word(size_t offset, uint16_t* value) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 2) {
            return false;
        }
        *value = static_cast<uint16_t>(Byte(offset) | Byte(offset + 1) << 8);
        return true;
    }

    bool Dword(size_t offset, uint32_t* value) const {
        uint16_t low = 0;
        uint16_t high = 0;
        if (!Word(offset, &low) || !Word(offset + 2, &high)) {
            return false;
        }
        *value = low | static_cast<uint32_t>(high) << 16;
        return true;
    }

    // A type or a name at *offset; moves *offset past it.
    bool Id(size_t* offset, ResourceId* id) const {
        uint16_t first = 0;
        if (!Word(*offset, &first)) {
            return false;
        }
        if (first == kNumberedId) {
            uint16_t number = 0;
            if (!Word(*offset + 2, &number)) {
                return false;
            }
            *id = number;
            *offset += 4;
            return true;
        }
        std::u16string name;
        size_t at = *offset;
        for (uint16_t unit = first; unit != 0;) {
            name.push_back(static_cast<char16_t>(unit));
            at += 2;
            if (!Word(at, &unit)) {
                return false;  // no terminating zero inside the header
            }
        }
        *id = std::move(name);
        *offset = at + 2;
        return true;
    }

  private:
    unsigned Byte(size_t offset) const { return std::to_integer<unsigned>(bytes_[offset]); }

    std::span<const std::byte> bytes_;
};

// The record that starts at `offset`; sets *next to where the following one starts.
bool ParseRecord(std::span<const std::byte> image, size_t offset, ResourceEntry* entry,
                 size_t* next) {
    const std::span<const std::byte> rest = image.subspan(offset);
    uint32_t data_size = 0;
    uint32_t header_size = 0;
    BoundedReader record(rest);
    if (!record.Dword(0, &data_size) || !record.Dword(4, &header_size)) {
        return false;
    }
    if (header_size > rest.size() || data_size > rest.size() - header_size) {
        return false;
    }
    // Ids and fields are read within the header only.
    BoundedReader header(rest.first(header_size));
    size_t at = 8;
    if (!header.Id(&at, &entry->type) || !header.Id(&at, &entry->name)) {
        return false;
    }
    at = AlignedToDword(at);
    if (at > header.size() || header.size() - at < kHeaderTailSize) {
        return false;
    }
    header.Word(at + kLanguageOffsetInTail, &entry->language);
    entry->data = rest.subspan(header_size, data_size);
    // The padding after the last record may be left out.
    *next = std::min(image.size(), AlignedToDword(offset + header_size + data_size));
    return true;
}

bool IsFormatMarker(const ResourceEntry& entry) {
    const uint16_t* type = std::get_if<uint16_t>(&entry.type);
    return type && *type == 0;
}

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c;
}

}  // namespace

bool SameResourceId(const ResourceId& stored, const ResourceId& wanted) {
    if (stored.index() != wanted.index()) {
        return false;
    }
    if (const uint16_t* number = std::get_if<uint16_t>(&stored)) {
        return *number == std::get<uint16_t>(wanted);
    }
    const std::u16string& a = std::get<std::u16string>(stored);
    const std::u16string& b = std::get<std::u16string>(wanted);
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<ResourceEntry>> ParseResImage(std::span<const std::byte> image) {
    std::vector<ResourceEntry> entries;
    size_t offset = 0;
    while (offset < image.size()) {
        ResourceEntry entry;
        size_t next = 0;
        if (!ParseRecord(image, offset, &entry, &next)) {
            return std::nullopt;
        }
        if (!IsFormatMarker(entry)) {
            entries.push_back(std::move(entry));
        }
        offset = next;
    }
    return entries;
}

}  // namespace tovarin::kernel::resources
