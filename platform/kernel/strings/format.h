// The platform's printf engine with the device's rules: %s and %c take wide text, %S and %C (or
// %hs, %hc) narrow text, "l" means 32 bits, "ll" and "I64" 64 bits. wsprintfW, the strsafe
// printf functions and NKDbgPrintfW format through it.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace tovarin::strings {

// Formats into out, which holds cch characters including the terminator. The output is always
// terminated when cch > 0 and never runs past out[cch - 1]; with cch == 0 nothing is written.
// Returns the number of characters written without the terminator. *truncated (optional) tells
// whether some output did not fit. args is only read; the caller still owns it and ends it.
int FormatV(wchar_t* out, size_t cch, const wchar_t* fmt, va_list args, bool* truncated);

}  // namespace tovarin::strings
