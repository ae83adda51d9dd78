// wsprintfW and wvsprintfW: the window manager's formatting functions. Their buffer has no size
// parameter; the device limits their output to 1024 characters including the terminator.
#include <windows.h>

#include "kernel/strings/format.h"

namespace {

constexpr size_t kWsprintfBufferLimit = 1024;

}  // namespace

extern "C" {

int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist) {
    if (!lpOut || !lpFmt) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return tovarin::strings::FormatV(lpOut, kWsprintfBufferLimit, lpFmt, arglist, nullptr);
}

int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...) {
    va_list args;
    va_start(args, lpFmt);
    const int written = wvsprintfW(lpOut, lpFmt, args);
    va_end(args);
    return written;
}

}  // extern "C"
