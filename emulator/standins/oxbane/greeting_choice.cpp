#include "greeting_choice.h"

#include <strsafe.h>
#include <wchar.h>
#include <wctype.h>

#include "common/names.h"

namespace {

bool IsEmpty(LPCWSTR text) {
    return text == NULL || text[0] == L'\0';
}

bool SameName(LPCWSTR a, LPCWSTR b) {
    while (*a != L'\0' && towlower(*a) == towlower(*b)) {
        ++a;
        ++b;
    }
    return towlower(*a) == towlower(*b);
}

void JoinPath(LPCWSTR folder, LPCWSTR name, LPWSTR path, size_t cchPath) {
    size_t length = wcslen(folder);
    bool hasSeparator = length > 0 && folder[length - 1] == L'\\';
    StringCchPrintfW(path, cchPath, hasSeparator ? L"%s%s" : L"%s\\%s", folder, name);
}

}  // namespace

void ChooseGreetingPath(DWORD found, LPCWSTR playFile, LPCWSTR saveDir, LPCWSTR fileName,
                        LPWSTR path, size_t cchPath) {
    if (found == 1 && !IsEmpty(playFile)) {
        if (wcschr(playFile, L'\\') != NULL) {
            StringCchCopyW(path, cchPath, playFile);
        } else if (SameName(playFile, kSoundGreeting)) {
            JoinPath(kFolderWindows, playFile, path, cchPath);
        } else {
            WCHAR folder[MAX_PATH];
            JoinPath(kFolderMyDocuments, kFolderGreetings, folder, MAX_PATH);
            JoinPath(folder, playFile, path, cchPath);
        }
        return;
    }
    if (!IsEmpty(saveDir) && !IsEmpty(fileName)) {
        JoinPath(saveDir, fileName, path, cchPath);
        return;
    }
    JoinPath(kFolderWindows, kSoundGreeting, path, cchPath);
}

namespace {

// Whether path lies below folder (a case-insensitive match followed by a backslash and more).
bool IsBelow(LPCWSTR path, LPCWSTR folder) {
    size_t length = wcslen(folder);
    if (wcslen(path) <= length + 1 || path[length] != L'\\') {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (towlower(path[i]) != towlower(folder[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

BOOL IsPlayableGreeting(LPCWSTR path) {
    if (path == NULL || path[0] != L'\\' || wcschr(path, L'/') != NULL) {
        return FALSE;
    }
    // No step may be "." or "..": each is checked between backslashes.
    for (LPCWSTR step = path + 1; *step != L'\0';) {
        LPCWSTR end = wcschr(step, L'\\');
        size_t length = end != NULL ? static_cast<size_t>(end - step) : wcslen(step);
        if (length == 0 || (length == 1 && step[0] == L'.') ||
            (length == 2 && step[0] == L'.' && step[1] == L'.')) {
            return FALSE;
        }
        step += length + (end != NULL ? 1 : 0);
    }
    WCHAR greetings[MAX_PATH];
    JoinPath(kFolderMyDocuments, kFolderGreetings, greetings, MAX_PATH);
    return (IsBelow(path, kFolderWindows) || IsBelow(path, greetings)) ? TRUE : FALSE;
}
