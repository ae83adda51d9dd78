// The settings pages' procedures, and the lists they fill: the names of greetings and sounds,
// and the drop-down lists that show them.
#pragma once

#include <windows.h>

#include "path_chars.h"

INT_PTR CALLBACK AnsweringPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OverdubPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PhonePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Characters of a name-list entry, terminator included; a longer file name is left out.
const int kNameChars = 64;

// A growable list of fixed 64-character entries (the pages' greeting and sound names).
struct NameList {
    WCHAR (*entries)[kNameChars];
    int count;
    int capacity;
};

// Appends a name; a name of more than 63 characters, or one that finds no memory, is left out.
void NameListAppend(NameList* list, LPCWSTR name);
// Sorts the entries from `first` to the end, ascending, with the platform's locale-aware
// comparison; the entries before `first` keep their places.
void NameListSort(NameList* list, int first);
// Empties the list and gives its memory back.
void NameListFree(NameList* list);
// Appends the name of every sound file (*.amr) of the folder to each of the lists given.
void AppendSoundFileNames(LPCWSTR folder, NameList* first, NameList* second);

// The position of the item whose text equals `text` without regard to case, searched over the
// whole list, or CB_ERR.
int FindListItemExact(HWND list, LPCWSTR text);
// Inserts `text` just before the last item of the list and returns its position.
int InsertBeforeLastItem(HWND list, LPCWSTR text);
// The text of item `position` into a buffer of kPathChars characters (empty when there is none).
void GetListItemText(HWND list, int position, WCHAR* text);
