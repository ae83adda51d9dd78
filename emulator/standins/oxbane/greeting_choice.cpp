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
