// The phone's call dialog: found among the top-level windows by its title and the text of one of
// its children, both strings of the phone's own string library.
#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "callisk.h"
#include "common/names.h"

namespace {

// What the enumeration looks for, and the dialog it found.
struct CallDialogSearch {
    WCHAR title[kPhoneStringChars];
    WCHAR childText[kPhoneStringChars];
    HWND found;
};

bool HasChildWithText(HWND window, LPCWSTR expected) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR text[kWindowTextChars];
        GetWindowTextW(child, text, kWindowTextChars);
        if (wcscmp(text, expected) == 0) {
            return true;
        }
    }
    return false;
}

BOOL CALLBACK FindCallDialogProc(HWND window, LPARAM lParam) {
    CallDialogSearch* search = reinterpret_cast<CallDialogSearch*>(lParam);
    WCHAR title[kWindowTextChars];
    if (GetWindowTextW(window, title, kWindowTextChars) <= 0 || wcscmp(title, search->title) != 0) {
        return TRUE;
    }
    WCHAR className[kWindowTextChars];
    if (GetClassNameW(window, className, kWindowTextChars) <= 0 ||
        wcscmp(className, kWindowClassDialog) != 0) {
        return TRUE;
    }
    if (!HasChildWithText(window, search->childText)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

HRESULT LoadPhoneString(UINT id, LPWSTR buffer, int capacity) {
    if (!buffer || capacity <= 0) {
        return E_INVALIDARG;
    }
    buffer[0] = L'\0';
    OSVERSIONINFOW version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(&version)) {
        return E_FAIL;
    }
    // Version 5.1 keeps the strings in the library itself; 5.2 in its file for the user's
    // interface language.
    WCHAR path[MAX_PATH];
    if (version.dwMajorVersion == 5 && version.dwMinorVersion == 1) {
        StringCchCopyW(path, MAX_PATH, kLibraryPhoneResources);
    } else if (version.dwMajorVersion == 5 && version.dwMinorVersion == 2) {
        StringCchPrintfW(path, MAX_PATH, kLibraryPhoneResourcesMuiFormat,
                         static_cast<unsigned>(GetUserDefaultUILanguage()));
    } else {
        return E_FAIL;
    }
    HMODULE library = LoadLibraryW(path);
    if (!library) {
        return E_FAIL;
    }
    int length = LoadStringW(library, id, buffer, capacity);
    FreeLibrary(library);
    if (length <= 0) {
        // A missing string must match no window, not the windows without text.
        buffer[0] = L'\0';
        return E_FAIL;
    }
    return S_OK;
}

void FindCallDialog() {
    CallDialogSearch search;
    search.found = NULL;
    if (FAILED(LoadPhoneString(kPhoneStringCallDialogTitleForRecording, search.title,
                               kPhoneStringChars)) ||
        FAILED(LoadPhoneString(kPhoneStringCallDialogChild, search.childText, kPhoneStringChars))) {
        return;
    }
    EnumWindows(FindCallDialogProc, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
        EnterCriticalSection(&ServiceLock);
        g_state.callDialog = search.found;
        LeaveCriticalSection(&ServiceLock);
    }
}
