// The bounded string functions of strsafe.h. Every function validates the destination first:
// a count of 0 or above STRSAFE_MAX_CCH gives STRSAFE_E_INVALID_PARAMETER and leaves the buffer
// as it is. Output that does not fit is cut, terminated, and reported as
// STRSAFE_E_INSUFFICIENT_BUFFER. The Cb variants count bytes of this host's wchar_t.
#include <windows.h>
#include <strsafe.h>

#include <cwchar>

#include "kernel/strings/format.h"

namespace {

constexpr size_t kMaxCch = STRSAFE_MAX_CCH;
constexpr size_t kMaxCb = kMaxCch * sizeof(wchar_t);

bool IsUsableDestination(const wchar_t* dest, size_t cch) {
    return dest && cch > 0 && cch <= kMaxCch;
}

// The destination is usable but another parameter is not: leave an empty string behind, as a
// failed copy never leaves stale text that looks like a result.
HRESULT EmptyAndReject(wchar_t* dest) {
    dest[0] = L'\0';
    return STRSAFE_E_INVALID_PARAMETER;
}

// Copies src into dest (cch characters, already validated), taking at most max_copy characters
// of src and reading no further than that.
HRESULT CopyBounded(wchar_t* dest, size_t cch, const wchar_t* src, size_t max_copy) {
    size_t i = 0;
    for (; i < max_copy && src[i] != L'\0'; ++i) {
        if (i == cch - 1) {
            dest[i] = L'\0';
            return STRSAFE_E_INSUFFICIENT_BUFFER;
        }
        dest[i] = src[i];
    }
    dest[i] = L'\0';
    return S_OK;
}

// Converts a byte count to the characters it holds, or 0 (which every caller rejects) when the
// count is beyond the limit.
size_t CharactersInBytes(size_t cb) {
    return cb <= kMaxCb ? cb / sizeof(wchar_t) : 0;
}

}  // namespace

extern "C" {

HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    if (!IsUsableDestination(pszDest, cchDest)) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (!pszSrc) {
        return EmptyAndReject(pszDest);
    }
    return CopyBounded(pszDest, cchDest, pszSrc, SIZE_MAX);
}

HRESULT StringCchCopyNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToCopy) {
    if (!IsUsableDestination(pszDest, cchDest)) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (!pszSrc || cchToCopy > kMaxCch) {
        return EmptyAndReject(pszDest);
    }
    return CopyBounded(pszDest, cchDest, pszSrc, cchToCopy);
}

HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    if (!IsUsableDestination(pszDest, cchDest) || !pszSrc) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    // A destination that is not terminated inside its count is not a string to append to.
    const size_t length = wcsnlen(pszDest, cchDest);
    if (length == cchDest) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    return CopyBounded(pszDest + length, cchDest - length, pszSrc, SIZE_MAX);
}

HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength) {
    size_t length = 0;
    HRESULT result = STRSAFE_E_INVALID_PARAMETER;
    if (psz && cchMax <= kMaxCch) {
        length = wcsnlen(psz, cchMax);
        if (length < cchMax) {
            result = S_OK;
        } else {
            length = 0;  // no terminator within cchMax characters
        }
    }
    if (pcchLength) {
        *pcchLength = length;
    }
    return result;
}

HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList) {
    if (!IsUsableDestination(pszDest, cchDest)) {
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (!pszFormat) {
        return EmptyAndReject(pszDest);
    }
    bool truncated = false;
    tovarin::strings::FormatV(pszDest, cchDest, pszFormat, argList, &truncated);
    return truncated ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    const HRESULT result = StringCchVPrintfW(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return result;
}

HRESULT StringCbCopyW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc) {
    return StringCchCopyW(pszDest, CharactersInBytes(cbDest), pszSrc);
}

HRESULT StringCbCatW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc) {
    return StringCchCatW(pszDest, CharactersInBytes(cbDest), pszSrc);
}

HRESULT StringCbPrintfW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    const HRESULT result = StringCchVPrintfW(pszDest, CharactersInBytes(cbDest), pszFormat, args);
    va_end(args);
    return result;
}

}  // extern "C"
