// FindFirstFlashCard / FindNextFlashCard: a storage card is a folder in the root with the
// temporary attribute, so the search is a search of the root that passes over everything else.
#include <windows.h>
#include <projects.h>

namespace {

bool IsCardFolder(const WIN32_FIND_DATAW& entry) {
    const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
    return (entry.dwFileAttributes & card) == card;
}

}  // namespace

extern "C" {

HANDLE WINAPI FindFirstFlashCard(LPWIN32_FIND_DATAW lpFindFlashData) {
    if (!lpFindFlashData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(L"\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_NO_MORE_FILES);
        return INVALID_HANDLE_VALUE;
    }
    while (!IsCardFolder(entry)) {
        if (!FindNextFileW(search, &entry)) {
            FindClose(search);
            SetLastError(ERROR_NO_MORE_FILES);
            return INVALID_HANDLE_VALUE;
        }
    }
    *lpFindFlashData = entry;
    return search;
}

BOOL WINAPI FindNextFlashCard(HANDLE hFlashCard, LPWIN32_FIND_DATAW lpFindFlashData) {
    if (!lpFindFlashData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WIN32_FIND_DATAW entry{};
    do {
        if (!FindNextFileW(hFlashCard, &entry)) {
            return FALSE;  // FindNextFileW's error: ERROR_NO_MORE_FILES, or a bad handle
        }
    } while (!IsCardFolder(entry));
    *lpFindFlashData = entry;
    return TRUE;
}

}  // extern "C"
