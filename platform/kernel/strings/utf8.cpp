#include "host/text.h"

#include <cstdint>

#include "kernel/strings/utf16.h"

namespace tovarin::strings {

namespace {

constexpr wchar_t kReplacementCharacter = kernel::kReplacementCharacter;

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
    if (code_point < kSmallest[length] || code_point > 0x10FFFF ||
        kernel::IsSurrogate(code_point)) {
        *decoded = kReplacementCharacter;
        return 1;
    }
    *decoded = static_cast<wchar_t>(code_point);
    return length;
}

}  // namespace tovarin::strings

namespace tovarin::kernel {

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || IsSurrogate(c)) {
        c = kReplacementCharacter;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (IsHighSurrogate(c) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            c = JoinSurrogates(c, static_cast<char32_t>(text[i + 1]));
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view text) {
    // The decoder works on terminated text; a zero byte inside the view decodes to itself.
    const std::string terminated(text);
    std::wstring out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < terminated.size()) {
        wchar_t decoded = 0;
        size_t length = strings::DecodeUtf8(terminated.c_str() + pos, &decoded);
        out += decoded;
        pos += length == 0 ? 1 : length;
    }
    return out;
}

}  // namespace tovarin::kernel
