#include "sound_paths.h"

#include <strsafe.h>
#include <wchar.h>
#include <wctype.h>

void JoinPath(LPCWSTR folder, LPCWSTR name, LPWSTR path, size_t cchPath) {
    size_t length = wcslen(folder);
    bool hasSeparator = length > 0 && folder[length - 1] == L'\\';
    StringCchPrintfW(path, cchPath, hasSeparator ? L"%s%s" : L"%s\\%s", folder, name);
}

BOOL HasPlainSteps(LPCWSTR path) {
    if (path == NULL || path[0] != L'\\' || wcschr(path, L'/') != NULL) {
        return FALSE;
    }
    // Each step is checked between backslashes.
    for (LPCWSTR step = path + 1; *step != L'\0';) {
        LPCWSTR end = wcschr(step, L'\\');
        size_t length = end != NULL ? static_cast<size_t>(end - step) : wcslen(step);
        if (length == 0 || (length == 1 && step[0] == L'.') ||
            (length == 2 && step[0] == L'.' && step[1] == L'.')) {
            return FALSE;
        }
        step += length + (end != NULL ? 1 : 0);
    }
    return TRUE;
}

BOOL IsBelowFolder(LPCWSTR path, LPCWSTR folder) {
    size_t length = wcslen(folder);
    if (wcslen(path) <= length + 1 || path[length] != L'\\') {
        return FALSE;
    }
    for (size_t i = 0; i < length; ++i) {
        if (towlower(path[i]) != towlower(folder[i])) {
            return FALSE;
        }
    }
    return TRUE;
}
