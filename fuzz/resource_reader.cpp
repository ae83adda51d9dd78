// The resource reader: any bytes as a module's .res image either parse into entries that lie
// wholly inside the image or are refused; every string table entry of a parsed image reads within
// its block, as LoadStringW reads it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "fuzz_check.h"
#include "kernel/resources/res_image.h"
#include "kernel/resources/string_table.h"

using namespace tovarin::kernel::resources;

namespace {

constexpr uint16_t kStringTableType = 6;  // RT_STRING

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const std::byte> image(reinterpret_cast<const std::byte*>(data), size);
    auto entries = ParseResImage(image);
    if (!entries) {
        return 0;
    }
    unsigned sum = 0;
    for (const ResourceEntry& entry : *entries) {
        FUZZ_CHECK(entry.data.empty() ||
                   (entry.data.data() >= image.data() &&
                    entry.data.data() + entry.data.size() <= image.data() + image.size()));
        // Every byte is read, so that a span reaching outside the input is one ASan reports.
        for (std::byte b : entry.data) {
            sum += std::to_integer<unsigned>(b);
        }
        const auto* type = std::get_if<uint16_t>(&entry.type);
        if (!type || *type != kStringTableType) {
            continue;
        }
        for (unsigned index = 0; index < kStringsPerBlock; ++index) {
            if (auto text = StringInBlock(entry.data, index)) {
                FUZZ_CHECK(text->size() <= entry.data.size() / 2);
            }
        }
        FUZZ_CHECK(!StringInBlock(entry.data, kStringsPerBlock));
    }
    volatile unsigned keep = sum;
    (void)keep;
    return 0;
}
