// MultiByteToWideChar: the device reads UTF-8 text files (web pages, help documents) through the
// kernel's one codec. UTF-8 is the one code page it knows; a byte that does not start a
// well-formed sequence becomes U+FFFD, as everywhere else on the device.
#include <string_view>

#include <windows.h>

#include "host/text.h"
#include "kernel/handles.h"

using tovarin::kernel::SetError;

extern "C" {

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if (CodePage != CP_UTF8 || dwFlags != 0 || lpMultiByteStr == nullptr || cbMultiByte == 0 ||
        cchWideChar < 0 || (cchWideChar > 0 && lpWideCharStr == nullptr)) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // A count of -1 takes the text up to and with its terminating zero.
    const std::string_view bytes =
        cbMultiByte < 0
            ? std::string_view(lpMultiByteStr, std::char_traits<char>::length(lpMultiByteStr) + 1)
            : std::string_view(lpMultiByteStr, static_cast<size_t>(cbMultiByte));
    const std::wstring wide = tovarin::kernel::Utf8ToWide(bytes);
    const int needed = static_cast<int>(wide.size());
    if (cchWideChar == 0) {
        return needed;
    }
    if (needed > cchWideChar) {
        SetError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    wide.copy(lpWideCharStr, wide.size());
    return needed;
}

}  // extern "C"
