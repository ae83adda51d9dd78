#include "kernel/strings/utf16.h"

#include "host/text.h"

namespace tovarin::kernel {

std::u16string Utf16Units(std::span<const std::byte> bytes, ByteOrder order) {
    const bool big_endian = order == ByteOrder::BigEndian;
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = std::to_integer<unsigned>(bytes[i]);
        const auto second = std::to_integer<unsigned>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first));
    }
    return units;
}

namespace {

// Decodes up to the first lone surrogate: false there when `lone` is nullopt (the text must be
// well-formed), true at the end.
bool Decode(std::u16string_view units, std::optional<LoneSurrogates> lone, std::wstring& out) {
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            out.push_back(static_cast<wchar_t>(JoinSurrogates(unit, units[++i])));
        } else if (!IsSurrogate(unit) || lone == LoneSurrogates::Keep) {
            out.push_back(static_cast<wchar_t>(unit));
        } else if (lone == LoneSurrogates::Replace) {
            out.push_back(static_cast<wchar_t>(kReplacementCharacter));
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::wstring Utf16ToWide(std::u16string_view units, LoneSurrogates lone) {
    std::wstring text;
    Decode(units, lone, text);
    return text;
}

std::optional<std::wstring> WellFormedUtf16ToWide(std::u16string_view units) {
    std::wstring text;
    if (!Decode(units, std::nullopt, text)) {
        return std::nullopt;
    }
    return text;
}

std::u16string WideToUtf16(std::wstring_view text, LoneSurrogates lone) {
    std::u16string units;
    units.reserve(text.size());
    for (wchar_t wide : text) {
        auto c = static_cast<char32_t>(wide);
        if (c > 0x10FFFF || (IsSurrogate(c) && lone == LoneSurrogates::Replace)) {
            c = kReplacementCharacter;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    return units;
}

std::optional<std::string> Utf16TextToUtf8(std::string_view bytes, ByteOrder order) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::optional<std::wstring> text =
        WellFormedUtf16ToWide(Utf16Units(std::as_bytes(std::span(bytes)), order));
    if (!text) {
        return std::nullopt;
    }
    return WideToUtf8(*text);
}

}  // namespace tovarin::kernel
