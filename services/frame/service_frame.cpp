#include "service_frame.h"

#include <wchar.h>

#include "common/names.h"

namespace {

// Characters of the window texts and class names that the search reads.
const int kWindowTextChars = 255;

struct CallDialogSearch {
    LPCWSTR title;
    LPCWSTR childText;
    HWND found;
};

bool HasChildWithText(HWND window, LPCWSTR expected) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR text[kWindowTextChars];
        if (GetWindowTextW(child, text, kWindowTextChars) > 0 && wcscmp(text, expected) == 0) {
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
    // A window that has gone meanwhile fills no class name: it is not the dialog.
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

HANDLE ServiceCreateEvent(LPCWSTR name) {
    return CreateEventW(NULL, TRUE, TRUE, name);
}

HANDLE ServiceStartThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
    return CreateThread(NULL, 0, routine, parameter, 0, NULL);
}

BOOL ServiceStartDetachedThread(LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
    HANDLE thread = ServiceStartThread(routine, parameter);
    if (!thread) {
        return FALSE;
    }
    CloseHandle(thread);
    return TRUE;
}

HWND ServiceFindCallDialog(LPCWSTR title, LPCWSTR childText) {
    // Empty strings would match the windows without text.
    if (!title || !*title || !childText || !*childText) {
        return NULL;
    }
    CallDialogSearch search = {title, childText, NULL};
    EnumWindows(FindCallDialogProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void ServiceArmStatusNotification(REGISTRYNOTIFYCALLBACK callback, HREGNOTIFY* notify) {
    NOTIFICATIONCONDITION condition;
    condition.ctComparisonType = REG_CT_NOT_EQUAL;
    condition.dwMask = 0xFFFFFFFF;
    condition.TargetValue.dw = 0;
    HREGNOTIFY handle = NULL;
    if (FAILED(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValuePhoneStatus,
                                      callback, 0, &condition, &handle))) {
        handle = NULL;
    }
    *notify = handle;
}

void ServiceDisarmNotification(HREGNOTIFY* notify) {
    if (*notify) {
        RegistryCloseNotification(*notify);
        *notify = NULL;
    }
}
