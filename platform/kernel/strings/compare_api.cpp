// CompareStringW, lstrcmpW, lstrcmpiW, CharUpperW/CharLowerW and the C runtime's _wcsicmp family,
// all over the one ICU-backed helper (text_case.h).
#include <cwchar>

#include <windows.h>

#include "host/device.h"
#include "kernel/handles.h"
#include "kernel/strings/text_case.h"

using namespace tovarin::kernel;

namespace {

constexpr DWORD kCompareFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS |
                                SORT_STRINGSORT | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;

std::optional<std::string> LocaleOf(LCID lcid) {
    if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT || lcid == LOCALE_NEUTRAL) {
        lcid = Device::Current().options().user_locale;
    }
    if (lcid == LOCALE_INVARIANT) {
        return std::string("root");
    }
    return LocaleOfLanguage(lcid);
}

std::wstring_view Counted(LPCWSTR text, int count) {
    return count < 0 ? std::wstring_view(text)
                     : std::wstring_view(text, static_cast<size_t>(count));
}

// lstrcmp's rule for missing strings: NULL sorts before any string, two NULLs are equal.
std::optional<int> NullOrder(LPCWSTR a, LPCWSTR b) {
    if (a && b) {
        return std::nullopt;
    }
    return a ? 1 : (b ? -1 : 0);
}

int CompareWith(DWORD flags, LPCWSTR a, LPCWSTR b) {
    if (std::optional<int> order = NullOrder(a, b)) {
        return *order;
    }
    int result = CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

bool IsOneCharacter(LPCWSTR text) {
    return reinterpret_cast<uintptr_t>(text) <= 0xFFFF;
}

LPWSTR ConvertArgument(LPWSTR text, wchar_t (*convert)(wchar_t)) {
    if (IsOneCharacter(text)) {
        auto c = static_cast<wchar_t>(reinterpret_cast<uintptr_t>(text));
        return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(convert(c)) & 0xFFFF);
    }
    for (wchar_t* c = text; *c != L'\0'; ++c) {
        *c = convert(*c);
    }
    return text;
}

DWORD ConvertBuffer(LPWSTR text, DWORD count, wchar_t (*convert)(wchar_t)) {
    if (!text) {
        return 0;
    }
    for (DWORD i = 0; i < count; ++i) {
        text[i] = convert(text[i]);
    }
    return count;
}

}  // namespace

extern "C" {

int WINAPI CompareStringW(LCID Locale, DWORD dwCmpFlags, LPCWSTR lpString1, int cchCount1,
                          LPCWSTR lpString2, int cchCount2) {
    if (!lpString1 || !lpString2) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((dwCmpFlags & ~kCompareFlags) != 0) {
        SetError(ERROR_INVALID_FLAGS);
        return 0;
    }
    std::optional<std::string> locale = LocaleOf(Locale);
    if (!locale) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CollationOptions options{.ignore_case = (dwCmpFlags & NORM_IGNORECASE) != 0,
                             .ignore_nonspace = (dwCmpFlags & NORM_IGNORENONSPACE) != 0,
                             .ignore_symbols = (dwCmpFlags & NORM_IGNORESYMBOLS) != 0};
    std::optional<int> order =
        Collate(*locale, options, Counted(lpString1, cchCount1), Counted(lpString2, cchCount2));
    if (!order) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return CSTR_EQUAL + *order;
}

int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2) {
    return CompareWith(0, lpString1, lpString2);
}

int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2) {
    return CompareWith(NORM_IGNORECASE, lpString1, lpString2);
}

LPWSTR WINAPI CharUpperW(LPWSTR lpsz) {
    return ConvertArgument(lpsz, UpperChar);
}

LPWSTR WINAPI CharLowerW(LPWSTR lpsz) {
    return ConvertArgument(lpsz, LowerChar);
}

DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength) {
    return ConvertBuffer(lpsz, cchLength, UpperChar);
}

DWORD WINAPI CharLowerBuffW(LPWSTR lpsz, DWORD cchLength) {
    return ConvertBuffer(lpsz, cchLength, LowerChar);
}

int _wcsicmp(const wchar_t* string1, const wchar_t* string2) {
    return CompareIgnoringCaseOrdinal(string1, string2);
}

int _wcsnicmp(const wchar_t* string1, const wchar_t* string2, size_t count) {
    return CompareIgnoringCaseOrdinal(std::wstring_view(string1, wcsnlen(string1, count)),
                                      std::wstring_view(string2, wcsnlen(string2, count)));
}

int wcsicmp(const wchar_t* string1, const wchar_t* string2) {
    return CompareIgnoringCaseOrdinal(string1, string2);
}

}  // extern "C"
