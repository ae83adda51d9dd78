// The storage lists "Сохранять в:": whether a storage card is present, what its root folder is
// called, and the contents of every registered list.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "storage/storage.h"

int cardPresent = 0;
WCHAR cardRootPath[kCardRootChars];

namespace {

// Characters of an item text, terminator included.
const int kStorageItemChars = 32;
// Longest card folder name that fits cardRootPath after its backslash.
const size_t kCardNameMaxChars = kCardRootChars - 2;

typedef HANDLE(WINAPI* FindFirstFlashCardProc)(LPWIN32_FIND_DATAW findData);

// Serialises refills: the page thread registers lists while the monitor thread refills them.
CRITICAL_SECTION refreshLock;
// The registered lists in registration order, in a block that grows as lists come.
HWND* storageLists = NULL;
int storageListCount = 0;
int storageListCapacity = 0;

// Poll period of a thread that waits for the refresh lock.
const DWORD kRefreshLockPollMs = 10;

// Takes the refresh lock while still taking the messages that other threads send to this
// thread's windows. A refill sends to the lists synchronously, and the lists belong to the page
// thread: a page thread that blocked on the lock while the monitor refills would never answer.
void EnterRefreshLock() {
    while (!TryEnterCriticalSection(&refreshLock)) {
        MSG message;
        PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE);
        Sleep(kRefreshLockPollMs);
    }
}

BOOL GrowStorageLists() {
    int capacity = storageListCapacity == 0 ? 4 : storageListCapacity * 2;
    HWND* grown = static_cast<HWND*>(LocalAlloc(LPTR, capacity * sizeof(HWND)));
    if (grown == NULL) {
        return FALSE;
    }
    if (storageLists != NULL) {
        memcpy(grown, storageLists, storageListCount * sizeof(HWND));
        LocalFree(storageLists);
    }
    storageLists = grown;
    storageListCapacity = capacity;
    return TRUE;
}

}  // namespace

void InitializeStorage() {
    InitializeCriticalSection(&refreshLock);
    cardPresent = 0;
    cardRootPath[0] = L'\0';
}

void ReleaseStorage() {
    DeleteCriticalSection(&refreshLock);
    if (storageLists != NULL) {
        LocalFree(storageLists);
    }
    storageLists = NULL;
    storageListCount = 0;
    storageListCapacity = 0;
}

int FindStorageCard(WCHAR* root, int chars) {
    HMODULE library = LoadLibraryW(kLibraryNoteProject);
    if (library == NULL) {
        return 0;
    }
    FindFirstFlashCardProc findFirstCard = reinterpret_cast<FindFirstFlashCardProc>(
        GetProcAddressW(library, MAKEINTRESOURCEW(kOrdinalFindFirstStorageCard)));
    int present = 0;
    WIN32_FIND_DATAW entry;
    memset(&entry, 0, sizeof entry);
    HANDLE search = findFirstCard != NULL ? findFirstCard(&entry) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        // A card whose folder name does not fit cardRootPath counts as no card, so that no
        // recording folder is ever built on a cut path.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY) != 0 &&
            wcslen(entry.cFileName) <= kCardNameMaxChars) {
            StringCchPrintfW(root, chars, L"\\%s", entry.cFileName);
            present = 1;
        }
        FindClose(search);
    }
    FreeLibrary(library);
    return present;
}

int DetectStorageCard() {
    WCHAR root[kCardRootChars];
    int present = FindStorageCard(root, kCardRootChars);
    if (present) {
        StringCchCopyW(cardRootPath, kCardRootChars, root);
    }
    return present;
}

void CopyCardRootPath(WCHAR* buffer, int chars) {
    EnterRefreshLock();
    StringCchCopyW(buffer, chars, cardRootPath);
    LeaveCriticalSection(&refreshLock);
}

void RefreshStorageLists() {
    EnterRefreshLock();
    const int present = DetectStorageCard();
    InterlockedExchange(&cardPresent, present);
    WCHAR mainMemory[kStorageItemChars];
    WCHAR card[kStorageItemChars];
    mainMemory[0] = L'\0';
    card[0] = L'\0';
    LoadStringW(g_instance, IDS_STORAGE_MAIN, mainMemory, kStorageItemChars);
    LoadStringW(g_instance, IDS_STORAGE_CARD, card, kStorageItemChars);
    for (int i = 0; i < storageListCount; ++i) {
        HWND list = storageLists[i];
        // The choice between the two items stays while its item is still there: another folder
        // made in the root refills the lists too. A list that offered main memory alone (no
        // choice to keep), a new list and one whose card went take the card when there is one.
        const LRESULT offered = SendMessageW(list, CB_GETCOUNT, 0, 0);
        const LRESULT chosen =
            offered == 2 ? SendMessageW(list, CB_GETCURSEL, 0, 0) : static_cast<LRESULT>(CB_ERR);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        SendMessageW(list, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(mainMemory));
        if (present) {
            SendMessageW(list, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(card));
        }
        LRESULT selection = present ? 1 : 0;
        if (chosen == 0 || (chosen == 1 && present)) {
            selection = chosen;
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    }
    LeaveCriticalSection(&refreshLock);
}

void RegisterStorageList(HWND list) {
    EnterRefreshLock();
    if (storageListCount < storageListCapacity || GrowStorageLists()) {
        storageLists[storageListCount++] = list;
    }
    LeaveCriticalSection(&refreshLock);
    RefreshStorageLists();
}

void UnregisterStorageList(HWND list) {
    EnterRefreshLock();
    for (int i = 0; i < storageListCount; ++i) {
        if (storageLists[i] == list) {
            memmove(storageLists + i, storageLists + i + 1,
                    (storageListCount - i - 1) * sizeof(HWND));
            --storageListCount;
            break;
        }
    }
    LeaveCriticalSection(&refreshLock);
}
