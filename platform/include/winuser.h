// The window manager's API. This header grows with the window manager; for now it carries the
// user-side formatting functions that every module uses.
#pragma once

#include <windef.h>

#ifndef RC_INVOKED
#include <stdarg.h>

TOVARIN_BEGIN_C
// Windows formatting rules: %s is a wide string, %S a narrow one; output is limited to 1024
// characters including the terminator, and the result is the number of characters written.
WINUSERAPI int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...);
WINUSERAPI int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist);
TOVARIN_END_C

#define wsprintf wsprintfW
#define wvsprintf wvsprintfW
#endif  // RC_INVOKED
