// The storage card as the pages offer it: whether one is in and where, the storage lists that
// show it, and the monitor that refills them when a card comes or goes.
//
// Threads: the storage-card monitor thread refills the storage lists (under the refresh lock) by
// sending them messages, which the platform delivers on the page thread.
#pragma once

#include <windows.h>

// Characters of cardRootPath, terminator included: "\" and at most 30 characters of name.
const int kCardRootChars = 32;

// Shared by the card monitor's thread and the pages' thread: the flag is read and written with the
// interlocked calls, the root only under the storage lists' lock (a page copies it with
// CopyCardRootPath).
extern int cardPresent;
extern WCHAR cardRootPath[kCardRootChars];

// 1 when a storage card is in, and then its root ("\" and the folder name) in `root`.
int FindStorageCard(WCHAR* root, int chars);
// FindStorageCard into cardRootPath; under the storage lists' lock, or before any thread shares it.
int DetectStorageCard();
// Copies cardRootPath ("" while no card was ever found) into `buffer` of `chars` characters.
void CopyCardRootPath(WCHAR* buffer, int chars);
void RefreshStorageLists();
void RegisterStorageList(HWND list);
// Takes a list out of the registered ones, so that no refill reaches it once its page is gone.
void UnregisterStorageList(HWND list);
// Starts a monitor, first stopping one that runs, so that at most one runs.
void StartCardMonitor();
void StopCardMonitor();
// The monitor thread's parts: a new stop event of the monitor's own (the library keeps a handle
// to it, which StopCardMonitor sets; any earlier monitor is stopped), and the thread, which takes
// over the returned handle.
HANDLE OpenCardMonitorStopEvent();
DWORD WINAPI CardMonitorThread(LPVOID stopEvent);

// Library load and unload of the storage part: the refresh lock, and the list of lists.
void InitializeStorage();
void ReleaseStorage();
