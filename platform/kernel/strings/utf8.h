// Narrow text on the host is UTF-8 (file names, host messages); the formatter widens it with
// this decoder when a format asks for narrow text.
#pragma once

#include <cstddef>

namespace tovarin::strings {

// Decodes the character that starts at text. Returns the number of bytes it took, or 0 at the
// terminating zero (then *decoded is 0). A byte that does not start a well-formed sequence takes
// one byte and decodes to U+FFFD. Never reads past a terminating zero.
size_t DecodeUtf8(const char* text, wchar_t* decoded);

}  // namespace tovarin::strings
