#include "greeting_choice.h"

#include <strsafe.h>
#include <wchar.h>
#include <wctype.h>

#include "common/names.h"
#include "sound_paths.h"

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

BOOL IsPlayableGreeting(LPCWSTR path) {
    if (!HasPlainSteps(path)) {
        return FALSE;
    }
    WCHAR greetings[MAX_PATH];
    JoinPath(kFolderMyDocuments, kFolderGreetings, greetings, MAX_PATH);
    return (IsBelowFolder(path, kFolderWindows) || IsBelowFolder(path, greetings)) ? TRUE : FALSE;
}
