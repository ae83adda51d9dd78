// The applet: the module, the titles and trace lines of its sheets, and what the settings pages
// share from the shell (the empty menu bar, the help viewer, the documents folder, programs).
//
// The control-panel host's thread runs CPlApplet, the modal sheet and every page.
#pragma once

#include <windows.h>

extern HINSTANCE g_instance;

// Capacities of the title buffers, terminator included.
const int kTitleAnsweringChars = 16;
const int kTitleOverdubChars = 32;
const int kTitleRecordingChars = 16;
const int kTitleCaptionChars = 16;
const int kTitleAppletChars = 20;
const int kTitleGreetingChars = 16;
const int kTitleGreetingSheetChars = 16;
const int kTitlePhoneChars = 16;

extern WCHAR g_titleAnswering[kTitleAnsweringChars];
extern WCHAR g_titleOverdub[kTitleOverdubChars];
extern WCHAR g_titleRecording[kTitleRecordingChars];
extern WCHAR g_titleCaption[kTitleCaptionChars];
extern WCHAR g_titleApplet[kTitleAppletChars];
extern WCHAR g_titleGreeting[kTitleGreetingChars];
extern WCHAR g_titleGreetingSheet[kTitleGreetingSheetChars];
extern WCHAR g_titlePhone[kTitlePhoneChars];

// Fills the title buffers from the string table (at library load).
void LoadTitles();

// Formats a trace line with the tag "MultiCPlApplet" as the first argument and the millisecond
// tick count as the second, and hands it to the debug output.
void CplTrace(LPCWSTR format);

// The empty menu bar that the settings pages share: the first page to be initialised makes it,
// the first to be destroyed removes it.
extern HWND menuBarSlot;
// Makes the empty menu bar for the page when the slot is empty.
void CreatePageMenuBar(HWND page);
// Destroys the bar in the slot, if any, and empties the slot.
void DestroyPageMenuBar();

// Starts the help viewer on a help document and lets it run.
void ShowPageHelp(LPCWSTR document);

// Asks the maker's library whether a program of this file name runs: 1 when it does; 0 when it
// does not or the library cannot tell.
int VerifyRunProcess(LPCWSTR fileName);

// The documents folder (the special folder 0, "\My Documents"), empty when it cannot be told.
void GetDocumentsFolder(WCHAR* folder, int chars);
// Joins the documents folder and a folder name loaded from the string table.
void BuildDocumentsSubfolder(UINT folderString, WCHAR* path, int chars);
// Starts a program with an optional command line and lets it run; nothing is reported.
void LaunchProgram(LPCWSTR path, LPCWSTR commandLine);
