// Debug output of the device.
#pragma once

#include <windef.h>

#ifndef RC_INVOKED
TOVARIN_BEGIN_C
// Formats with the wsprintfW rules and writes one trace entry to the device trace.
WINBASEAPI void NKDbgPrintfW(LPCWSTR lpszFmt, ...);
TOVARIN_END_C

#define RETAILMSG(cond, printf_exp) ((cond) ? (NKDbgPrintfW printf_exp), 1 : 0)
#define DEBUGMSG(cond, printf_exp) ((void)0)
#endif
