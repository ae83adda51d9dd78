// UTF-16, the text of the device's own records (string tables, dialog templates, registry
// values, exported .reg and XML files), and the device's wide strings (one wchar_t per code point
// on the host): the one place that converts between them and knows the surrogates.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovarin::kernel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool IsSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}
// The code point a high and a low surrogate stand for.
constexpr char32_t JoinSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

enum class ByteOrder { LittleEndian, BigEndian };

// The 16-bit units that `bytes` hold two by two; an odd last byte is no unit.
std::u16string Utf16Units(std::span<const std::byte> bytes,
                          ByteOrder order = ByteOrder::LittleEndian);

// What becomes of a surrogate that is not half of a pair (in UTF-16) or that stands alone as a
// character (in wide text): kept as a character or unit of its own, or U+FFFD.
enum class LoneSurrogates { Keep, Replace };

// Surrogate pairs become the one character they stand for.
std::wstring Utf16ToWide(std::u16string_view units, LoneSurrogates lone);
// The same for text that must be well-formed UTF-16: nullopt at a lone surrogate.
std::optional<std::wstring> WellFormedUtf16ToWide(std::u16string_view units);

// A character past U+FFFF becomes a surrogate pair, one past U+10FFFF U+FFFD.
std::u16string WideToUtf16(std::wstring_view text, LoneSurrogates lone);

// The bytes of a UTF-16 text file after its byte-order mark, as UTF-8; nullopt when they are no
// well-formed UTF-16 (an odd number of bytes, a lone surrogate).
std::optional<std::string> Utf16TextToUtf8(std::string_view bytes, ByteOrder order);

}  // namespace tovarin::kernel
