#include "kernel/strings/utf8.h"

#include <cstdint>

namespace tovarin::strings {

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

size_t DecodeUtf8(const char* text, wchar_t* decoded) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = bytes[0];
    if (lead < 0x80) {
        *decoded = static_cast<wchar_t>(lead);
        return lead == 0 ? 0 : 1;
    }

    // The lead byte gives the sequence's length and its own share of the code point's bits.
    size_t length = 0;
    uint32_t code_point = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code_point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code_point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code_point = lead & 0x07;
    } else {
        *decoded = kReplacementCharacter;
        return 1;
    }

    // A zero byte is not a continuation, so the loop stops at the terminator.
    for (size_t i = 1; i < length; ++i) {
        if (!IsContinuation(bytes[i])) {
            *decoded = kReplacementCharacter;
            return 1;
        }
        code_point = (code_point << 6) | (bytes[i] & 0x3F);
    }
    // Smallest code point of each length; anything below it is an overlong form.
    constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
    if (code_point < kSmallest[length] || code_point > 0x10FFFF || surrogate) {
        *decoded = kReplacementCharacter;
        return 1;
    }
    *decoded = static_cast<wchar_t>(code_point);
    return length;
}

}  // namespace tovarin::strings
