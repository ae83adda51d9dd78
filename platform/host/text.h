// Text as the host and the device share it. UTF-8, the host's narrow text (file names, text
// files, host messages), and the device's wide strings (one wchar_t per code point on the host):
// the one place that converts between them; and the device's comparison without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovarin::strings {

// Decodes the character that starts at text. Returns the number of bytes it took, or 0 at the
// terminating zero (then *decoded is 0). A byte that does not start a well-formed sequence takes
// one byte and decodes to U+FFFD. Never reads past a terminating zero.
size_t DecodeUtf8(const char* text, wchar_t* decoded);

}  // namespace tovarin::strings

namespace tovarin::kernel {

// A code point that cannot be encoded (a lone surrogate, a value past U+10FFFF) becomes U+FFFD.
// A UTF-16 surrogate pair is taken as the one code point it stands for.
std::string WideToUtf8(std::wstring_view text);

// Each byte that does not start a well-formed sequence (overlong forms, surrogates and values
// past U+10FFFF included) becomes one U+FFFD, and decoding goes on with the next byte.
std::wstring Utf8ToWide(std::string_view text);

// Appends the UTF-8 bytes of one code point; a lone surrogate or a value past U+10FFFF becomes
// U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// Equal when the texts are the same after the case fold ("ГР142530.AMR", "гр142530.amr"), over
// Latin, Greek and Cyrillic alike and never by the host's locale.
bool TextsEqualIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace tovarin::kernel
