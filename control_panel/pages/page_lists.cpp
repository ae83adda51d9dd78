// The lists the answering-machine and background-effects pages fill: the name lists of greetings
// and sounds (with the sound files of a folder), and the drop-down lists' searches and
// insertions.
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <strsafe.h>

#include "common/sound_names.h"
#include "pages/pages.h"

void NameListAppend(NameList* list, LPCWSTR name) {
    // A cut name would name no file, so a longer one is not offered at all.
    if (wcslen(name) >= static_cast<size_t>(kNameChars)) {
        return;
    }
    if (list->count == list->capacity) {
        int capacity = list->capacity == 0 ? 16 : list->capacity * 2;
        void* grown = realloc(list->entries, static_cast<size_t>(capacity) * sizeof *list->entries);
        if (grown == NULL) {
            return;
        }
        list->entries = static_cast<WCHAR(*)[kNameChars]>(grown);
        list->capacity = capacity;
    }
    StringCchCopyW(list->entries[list->count], kNameChars, name);
    ++list->count;
}

namespace {

int CompareNames(const void* left, const void* right) {
    int result = CompareStringW(LOCALE_USER_DEFAULT, 0, static_cast<LPCWSTR>(left), -1,
                                static_cast<LPCWSTR>(right), -1);
    // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN are 1, 2, 3.
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

}  // namespace

void NameListSort(NameList* list, int first) {
    if (first < 0 || first >= list->count) {
        return;
    }
    qsort(list->entries + first, static_cast<size_t>(list->count - first), sizeof *list->entries,
          CompareNames);
}

void NameListFree(NameList* list) {
    free(list->entries);
    list->entries = NULL;
    list->count = 0;
    list->capacity = 0;
}

void AppendSoundFileNames(LPCWSTR folder, NameList* first, NameList* second) {
    WCHAR pattern[kPathChars];
    StringCchPrintfW(pattern, kPathChars, kSoundSearchPatternFormat, folder);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        NameListAppend(first, found.cFileName);
        if (second != NULL) {
            NameListAppend(second, found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

int FindListItemExact(HWND list, LPCWSTR text) {
    return static_cast<int>(SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text)));
}

int InsertBeforeLastItem(HWND list, LPCWSTR text) {
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    int position = count > 0 ? count - 1 : 0;
    return static_cast<int>(
        SendMessageW(list, CB_INSERTSTRING, position, reinterpret_cast<LPARAM>(text)));
}

void GetListItemText(HWND list, int position, WCHAR* text) {
    text[0] = L'\0';
    int length = static_cast<int>(SendMessageW(list, CB_GETLBTEXTLEN, position, 0));
    if (length == CB_ERR || length >= kPathChars) {
        return;
    }
    SendMessageW(list, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text));
}
