// UTF-8 <-> wide conversion of whole strings. Host file names and text files are UTF-8; the
// device's strings are wide (one wchar_t per code point on the host).
#pragma once

#include <string>
#include <string_view>

namespace tovarin::kernel {

// A code point that cannot be encoded (a lone surrogate, a value past U+10FFFF) becomes U+FFFD.
// A UTF-16 surrogate pair is taken as the one code point it stands for.
std::string WideToUtf8(std::wstring_view text);

// Each byte that does not start a well-formed sequence (overlong forms, surrogates and values
// past U+10FFFF included) becomes one U+FFFD, and decoding goes on with the next byte.
std::wstring Utf8ToWide(std::string_view text);

}  // namespace tovarin::kernel
