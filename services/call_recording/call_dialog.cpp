// The phone's call dialog: found among the top-level windows by its title and the text of one of
// its children, both strings of the phone's own string library.
#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "callisk.h"
#include "common/names.h"
#include "service_frame.h"

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
    WCHAR title[kPhoneStringChars];
    WCHAR childText[kPhoneStringChars];
    if (FAILED(
            LoadPhoneString(kPhoneStringCallDialogTitleForRecording, title, kPhoneStringChars)) ||
        FAILED(LoadPhoneString(kPhoneStringCallDialogChild, childText, kPhoneStringChars))) {
        return;
    }
    HWND found = ServiceFindCallDialog(title, childText);
    if (found) {
        EnterCriticalSection(&ServiceLock);
        g_state.callDialog = found;
        LeaveCriticalSection(&ServiceLock);
    }
}
