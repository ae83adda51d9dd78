// Language-aware text: locale identifiers, CompareStringW, the lstrcmp family and the case
// conversions of characters and strings.
#pragma once

#include <windef.h>

#define LOCALE_NEUTRAL 0x0000
#define LOCALE_INVARIANT 0x007F
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800

// CompareStringW flags.
#define NORM_IGNORECASE 0x00000001
#define NORM_IGNORENONSPACE 0x00000002
#define NORM_IGNORESYMBOLS 0x00000004
#define SORT_STRINGSORT 0x00001000
#define NORM_IGNOREKANATYPE 0x00010000
#define NORM_IGNOREWIDTH 0x00020000

// Code pages of MultiByteToWideChar: the device converts UTF-8 only.
#define CP_UTF8 65001

// CompareStringW results (0 is a failure).
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

#ifndef RC_INVOKED

TOVARIN_BEGIN_C

WINBASEAPI int WINAPI CompareStringW(LCID Locale, DWORD dwCmpFlags, LPCWSTR lpString1,
                                     int cchCount1, LPCWSTR lpString2, int cchCount2);
// Converts UTF-8 bytes (cbMultiByte -1: up to and with the terminating zero) to wide
// characters; with cchWideChar 0 returns the count needed. Other code pages and flags fail with
// ERROR_INVALID_PARAMETER, a short buffer with ERROR_INSUFFICIENT_BUFFER.
WINBASEAPI int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                          int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);
WINBASEAPI int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2);
WINBASEAPI int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2);

// A string argument whose pointer value is below 0x10000 is one character (in the low word),
// converted and returned the same way; any other is converted in place and returned.
WINBASEAPI LPWSTR WINAPI CharUpperW(LPWSTR lpsz);
WINBASEAPI LPWSTR WINAPI CharLowerW(LPWSTR lpsz);
WINBASEAPI DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength);
WINBASEAPI DWORD WINAPI CharLowerBuffW(LPWSTR lpsz, DWORD cchLength);

// The C runtime's case-insensitive comparisons: characters folded to lower case, compared by
// code.
int _wcsicmp(const wchar_t* string1, const wchar_t* string2);
int _wcsnicmp(const wchar_t* string1, const wchar_t* string2, size_t count);
int wcsicmp(const wchar_t* string1, const wchar_t* string2);

TOVARIN_END_C

#define CompareString CompareStringW
#define lstrcmp lstrcmpW
#define lstrcmpi lstrcmpiW
#define CharUpper CharUpperW
#define CharLower CharLowerW
#define CharUpperBuff CharUpperBuffW
#define CharLowerBuff CharLowerBuffW

#endif  // RC_INVOKED
