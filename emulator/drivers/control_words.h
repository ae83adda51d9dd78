// Reading and writing the 32-bit words of a control call's buffers. The device is little-endian,
// and a caller's buffer has no alignment that a driver may count on.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace tovarin::emulator {

// The word at `index` (counted in words), or nullopt when the buffer ends before it.
inline std::optional<uint32_t> WordAt(std::span<const uint8_t> buffer, size_t index) {
    if (buffer.size() < (index + 1) * sizeof(uint32_t)) {
        return std::nullopt;
    }
    uint32_t word = 0;
    std::memcpy(&word, buffer.data() + index * sizeof(uint32_t), sizeof word);
    return word;
}

// Writes the first word of the buffer; false when it holds less than one word.
inline bool PutFirstWord(std::span<uint8_t> buffer, uint32_t word) {
    if (buffer.size() < sizeof word) {
        return false;
    }
    std::memcpy(buffer.data(), &word, sizeof word);
    return true;
}

}  // namespace tovarin::emulator
